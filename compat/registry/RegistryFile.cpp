#include "compat/registry/RegistryFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

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
  const std::filesystem::path directory = std::filesystem::path(path_).parent_path();
  if (!directory.empty()) {
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) throw std::system_error(error, "cannot create the registry directory " + directory.string());
  }
  const std::string lockPath = path_ + ".lock";
  const Fd lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
  if (lock.get() < 0) throwErrno("cannot open the registry lock file " + lockPath);
  while (::flock(lock.get(), LOCK_EX) != 0) {
    if (errno != EINTR) throwErrno("cannot lock " + lockPath);
  }
  const std::optional<std::string> text = readWhole(path_);
  const RegDocument document = text ? RegDocument::parse(*text, path_) : RegDocument();
  Registry registry = document.registry();
  if (!change(registry)) return false;
  replace(document.format(registry));
  return true;
}

void RegistryFile::replace(const std::string& text) const {
  std::string temporary = path_ + ".XXXXXX";
  const Fd fd(::mkostemp(temporary.data(), O_CLOEXEC));
  if (fd.get() < 0) throwErrno("cannot create a temporary file beside " + path_);
  try {
    writeAll(fd.get(), text, temporary);
    if (::fchmod(fd.get(), 0644) != 0 || ::fsync(fd.get()) != 0) throwErrno("cannot write " + temporary);
    if (::rename(temporary.c_str(), path_.c_str()) != 0) throwErrno("cannot replace " + path_);
  } catch (...) {
    ::unlink(temporary.c_str());
    throw;
  }
}

}  // namespace qrv::regfile
