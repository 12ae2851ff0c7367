#include "compat/registry/RegistryFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

#include "compat/registry/RegFormat.h"

namespace qrv::regfile {

namespace {

[[noreturn]] void throwErrno(const std::string& what) {
  throw std::system_error(errno, std::generic_category(), what);
}

// An open file descriptor, closed when it goes out of scope.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

// The text of the file, or nothing when it does not exist.
std::optional<std::string> readWhole(const std::string& path) {
  const Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) {
    if (errno == ENOENT) return std::nullopt;
    throwErrno("cannot open the registry file " + path);
  }
  std::string text;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throwErrno("cannot read the registry file " + path);
    if (n == 0) return text;
    text.append(buffer, static_cast<std::size_t>(n));
  }
}

void writeAll(int fd, const std::string& text, const std::string& path) {
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throwErrno("cannot write " + path);
    done += static_cast<std::size_t>(n);
  }
}

// The file that path names once its symbolic links are followed: the one to
// replace, so that each link stays a link and keeps pointing at it.
std::string finalTarget(const std::string& path) {
  constexpr int kMaxLinks = 40;  // as the kernel follows at most
  std::filesystem::path current = path;
  for (int links = 0; std::filesystem::is_symlink(std::filesystem::symlink_status(current)); ++links) {
    if (links == kMaxLinks) throw std::system_error(ELOOP, std::generic_category(), "cannot follow " + path);
    const std::filesystem::path target = std::filesystem::read_symlink(current);
    current = target.is_absolute() ? target : current.parent_path() / target;
  }
  return current.string();
}

void createParentDirectory(const std::string& path) {
  const std::filesystem::path directory = std::filesystem::path(path).parent_path();
  if (directory.empty()) return;
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  if (error) throw std::system_error(error, "cannot create the registry directory " + directory.string());
}

// An open descriptor of "<path>.lock", held with an exclusive flock.
Fd lockBeside(const std::string& path) {
  const std::string lockPath = path + ".lock";
  Fd lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
  if (lock.get() < 0) throwErrno("cannot open the registry lock file " + lockPath);
  while (::flock(lock.get(), LOCK_EX) != 0) {
    if (errno != EINTR) throwErrno("cannot lock " + lockPath);
  }
  return lock;
}

// Gives a temporary file the owner, group and permissions of the file it
// replaces; a new file stays the caller's, readable by all.
void takeOwnerAndMode(int fd, const std::optional<struct stat>& replaced, const std::string& temporary) {
  if (!replaced) {
    if (::fchmod(fd, 0644) != 0) throwErrno("cannot set the permissions of " + temporary);
    return;
  }
  struct stat own {};
  if (::fstat(fd, &own) != 0) throwErrno("cannot inspect " + temporary);
  const bool otherOwner = own.st_uid != replaced->st_uid || own.st_gid != replaced->st_gid;
  if (otherOwner && ::fchown(fd, replaced->st_uid, replaced->st_gid) != 0) {
    throwErrno("cannot give " + temporary + " the owner of the registry file");
  }
  if (::fchmod(fd, replaced->st_mode & 07777) != 0) throwErrno("cannot set the permissions of " + temporary);
}

std::optional<struct stat> statusOf(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) == 0) return status;
  if (errno != ENOENT) throwErrno("cannot inspect the registry file " + path);
  return std::nullopt;
}

// Replaces the file with text through a temporary file beside it, renamed
// over it once written, so that readers see the old or the new text whole.
void replaceFile(const std::string& path, const std::string& text) {
  const std::optional<struct stat> replaced = statusOf(path);
  std::string temporary = path + ".XXXXXX";
  const Fd fd(::mkostemp(temporary.data(), O_CLOEXEC));
  if (fd.get() < 0) throwErrno("cannot create a temporary file beside " + path);
  try {
    writeAll(fd.get(), text, temporary);
    takeOwnerAndMode(fd.get(), replaced, temporary);
    if (::fsync(fd.get()) != 0) throwErrno("cannot write " + temporary);
    if (::rename(temporary.c_str(), path.c_str()) != 0) throwErrno("cannot replace " + path);
  } catch (...) {
    ::unlink(temporary.c_str());
    throw;
  }
}

}  // namespace

std::string RegistryFile::defaultPath() {
  const char* path = std::getenv("KORVEX_REGISTRY_FILE");
  return path && *path ? path : "/etc/korvex/registry.reg";
}

RegistryFile::RegistryFile(std::string path) : path_(std::move(path)) {}

Registry RegistryFile::read() const {
  const std::optional<std::string> text = readWhole(path_);
  return text ? parseRegText(*text, path_) : Registry();
}

bool RegistryFile::update(const std::function<bool(Registry&)>& change) const {
  const std::string target = finalTarget(path_);
  createParentDirectory(target);
  const Fd lock = lockBeside(target);
  const std::optional<std::string> text = readWhole(target);
  const RegDocument document = text ? RegDocument::parse(*text, path_) : RegDocument();
  Registry registry = document.registry();
  if (!change(registry)) return false;
  replaceFile(target, document.format(registry));
  return true;
}

}  // namespace qrv::regfile
