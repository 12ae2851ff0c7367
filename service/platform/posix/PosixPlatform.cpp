#include "service/platform/posix/PosixPlatform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <systemd/sd-daemon.h>
#include <systemd/sd-journal.h>
#include <syslog.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <thread>

#include "compat/registry/RegistryFile.h"
#include "service/platform/posix/Fd.h"
#include "service/platform/posix/FileCopy.h"
#include "service/platform/posix/JournalEvent.h"
#include "service/platform/posix/LastError.h"
#include "service/platform/posix/PaddingMarker.h"
#include "service/platform/posix/RegularFile.h"
#include "service/platform/posix/ServiceDispatcher.h"
#include "service/platform/posix/ServiceStatusText.h"
#include "service/platform/posix/Systemctl.h"
#include "service/platform/posix/SystemdUnit.h"
#include "service/platform/posix/TraceFile.h"
#include "service/platform/posix/UniqueFile.h"
#include "service/platform/posix/WindowsCommandLine.h"

namespace rulo {

using namespace posix;

namespace {

constexpr const char* kLocalMachine = "HKEY_LOCAL_MACHINE\\";
constexpr DWORD kServiceControlStop = 1;
constexpr DWORD kServiceStopped = 1;

// Runs a registry operation; its exceptions become the last error: errno
// values for the file's system errors, ERROR_BADDB for a malformed file.
// Where asked, what went wrong is kept in words as well.
template <typename Operation>
bool registryCall(Operation operation, std::string* detail = nullptr) {
  try {
    return operation();
  } catch (const std::system_error& e) {
    if (detail) *detail = e.what();
    return failWithErrno(e.code().value());
  } catch (const qrv::regfile::RegistryError& e) {
    if (detail) *detail = std::string("the registry file ") + e.what();  // the file, the line and the fault
    return failWith(kErrorBadDatabase);
  }
}

// Why the registry file gave no value valueName of keyPath, in words.
std::string missingValueDetail(const std::string& file, const qrv::regfile::Registry& registry,
                               const std::string& keyPath, const std::string& valueName) {
  if (::access(file.c_str(), F_OK) != 0) return "the registry file " + file + " does not exist";
  const std::string missing = "the registry file " + file + " has no ";
  if (!registry.hasKey(keyPath)) return missing + "key [" + keyPath + "]";
  return missing + "value \"" + valueName + "\" in [" + keyPath + "]";
}

// A file operation's error code as the last error; errno has its value, so
// that a missing directory reads as on Windows.
bool failWithErrorCode(const std::error_code& error, const std::string& path, const std::string& other) {
  errno = error.value();
  return failWithErrnoFor(path, other);
}

bool isStopped(const std::string& serviceName) {
  const SystemctlResult shown = systemctl({"show", "-p", kShownProperties, serviceName + ".service"});
  return statusFromShow(shown.output).currentState == kServiceStopped;
}

void writeFlushed(std::FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

// Tells systemd to reread its unit files; without a running systemd this
// does nothing, and the unit is read at the next start of the system.
void reloadUnits() { systemctl({"daemon-reload"}); }

}  // namespace

// --- registry ---

std::optional<RegistryValue> PosixPlatform::readRegistryValue(const std::string& subKey, const std::string& valueName,
                                                              bool, DWORD maxBytes) {
  // One registry file serves both registry views.
  const qrv::regfile::RegistryFile file;
  const std::string keyPath = kLocalMachine + subKey;
  failureDetail_.clear();
  std::optional<RegistryValue> result;
  registryCall(
      [&] {
        const qrv::regfile::Registry registry = file.read();
        const auto value = registry.value(keyPath, valueName);
        if (!value) {
          failureDetail_ = missingValueDetail(file.path(), registry, keyPath, valueName);
          return failWith(kErrorFileNotFound);
        }
        if (value->bytes.size() > maxBytes) return failWith(kErrorMoreData);
        result = RegistryValue{value->type, value->bytes};
        return true;
      },
      &failureDetail_);
  return result;
}

Handle PosixPlatform::createRegistryKey(const std::string& subKey) {
  const std::string path = kLocalMachine + subKey;
  const bool created = registryCall([&] {
    qrv::regfile::RegistryFile().update([&](qrv::regfile::Registry& registry) {
      if (registry.hasKey(path)) return false;
      registry.createKey(path);
      return true;
    });
    return true;
  });
  return created ? registryKeys_.add(path) : 0;
}

bool PosixPlatform::setRegistryValue(Handle key, const std::string& valueName, RegistryType type,
                                     const std::vector<char>& data) {
  const auto path = registryKeys_.get(key);
  if (!path) return failWith(kErrorInvalidHandle);
  return registryCall([&] {
    const bool set = qrv::regfile::RegistryFile().update([&](qrv::regfile::Registry& registry) {
      return registry.setValue(*path, valueName, {type, data});
    });
    return set || failWith(kErrorFileNotFound);
  });
}

void PosixPlatform::closeRegistryKey(Handle key) { registryKeys_.remove(key); }

// --- files and directories ---

bool PosixPlatform::isAbsolutePath(const std::string& path) { return !path.empty() && path[0] == '/'; }

bool PosixPlatform::pathExists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 || failWithErrnoFor(path);
}

bool PosixPlatform::isDirectory(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return failWithErrnoFor(path);
  return S_ISDIR(info.st_mode) || failWith(kErrorDirectory);
}

bool PosixPlatform::createDirectory(const std::string& path) {
  return ::mkdir(path.c_str(), 0755) == 0 || failWithErrnoFor(path);
}

std::optional<std::string> PosixPlatform::createUniqueFile(const std::string& directory, const std::string& prefix) {
  auto path = posix::createUniqueFile(directory, prefix);
  if (!path) {
    // GetTempFileName's error for a directory that is not there.
    if (errno == ENOENT || errno == ENOTDIR) failWith(kErrorDirectory);
    else failWithErrno();
  }
  return path;
}

bool PosixPlatform::copyFile(const std::string& from, const std::string& to) {
  return posix::copyFile(from, to) || failWithErrnoFor(from, to);
}

bool PosixPlatform::moveFile(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return failWithErrnoFor(from, to);
  // File systems without RENAME_NOREPLACE: a hard link refuses an existing
  // target just as well.
  if (::link(from.c_str(), to.c_str()) != 0) return failWithErrnoFor(from, to);
  return ::unlink(from.c_str()) == 0 || failWithErrnoFor(from);
}

bool PosixPlatform::replaceFile(const std::string& target, const std::string& replacement,
                                const std::string& backup) {
  // A second name for the old file first (of a link planted as target, the
  // link itself); the rename then swaps the new file in under target without
  // a moment when target names nothing.
  if (::linkat(AT_FDCWD, target.c_str(), AT_FDCWD, backup.c_str(), 0) != 0) return failWithErrnoFor(target, backup);
  if (::rename(replacement.c_str(), target.c_str()) == 0) return true;
  const int error = errno;
  ::unlink(backup.c_str());
  errno = error;
  return failWithErrnoFor(replacement, target);
}

bool PosixPlatform::deleteFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0 || failWithErrnoFor(path);
}

bool PosixPlatform::setNormalAttributes(const std::string& path) {
  // Of the Windows attributes only read-only has a counterpart: the owner's
  // write permission. It is changed through a descriptor of the very file
  // named, so that nothing planted under that name passes the change on.
  const Fd fd = openRegularFile(path, O_RDONLY, OtherNames::Refused);
  struct stat info;
  if (!fd || ::fstat(fd.get(), &info) != 0) return failWithErrnoFor(path);
  return ::fchmod(fd.get(), (info.st_mode & 07777) | S_IWUSR) == 0 || failWithErrnoFor(path);
}

std::optional<std::uint64_t> PosixPlatform::fileSize(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) {
    failWithErrnoFor(path);
    return std::nullopt;
  }
  return static_cast<std::uint64_t>(info.st_size);
}

std::optional<std::vector<char>> PosixPlatform::readFile(const std::string& path, std::uint64_t size) {
  const Fd fd = openRegularFile(path, O_RDONLY, OtherNames::Allowed);
  if (!fd) {
    failWithErrnoFor(path);
    return std::nullopt;
  }
  std::vector<char> bytes(size);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      failWithErrno();
      return std::nullopt;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  bytes.resize(done);
  return bytes;
}

std::optional<std::vector<std::string>> PosixPlatform::listFiles(const std::string& directory) {
  std::error_code error;
  std::filesystem::directory_iterator entries(directory, error);
  if (error) {
    failWithErrorCode(error, directory, std::string());
    return std::nullopt;
  }
  std::vector<std::string> names;
  for (const auto& entry : entries) {
    std::error_code typeError;
    if (std::filesystem::is_regular_file(entry.symlink_status(typeError)))
      names.push_back(entry.path().filename().string());
  }
  return names;
}

bool PosixPlatform::hasPaddingMarker(const std::string& executablePath) {
  return posix::hasPaddingMarker(executablePath);
}

// --- processes ---

Handle PosixPlatform::createProcess(const std::string& application, const std::string& commandLine,
                                   const std::string& workingDirectory, bool show) {
  Command command;
  command.program = application;
  command.arguments = splitCommandLine(commandLine);
  command.workingDirectory = workingDirectory;
  command.show = show;
  auto child = ChildProcess::start(command);
  if (!child) return failWithErrnoFor(application);
  return processes_.add(std::move(child));
}

void PosixPlatform::waitForProcess(Handle process, DWORD timeoutMs) {
  if (const auto child = processes_.get(process)) (*child)->wait(timeoutMs);
}

std::optional<DWORD> PosixPlatform::processExitCode(Handle process) {
  const auto child = processes_.get(process);
  if (!child) {
    failWith(kErrorInvalidHandle);
    return std::nullopt;
  }
  return (*child)->exitCode();
}

void PosixPlatform::closeProcess(Handle process) { processes_.remove(process); }

// --- time, errors, output ---

void PosixPlatform::sleep(DWORD milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

void PosixPlatform::signalStop() {
  {
    std::lock_guard<std::mutex> lock(stopMutex_);
    stopSignalled_ = true;
  }
  stopSignal_.notify_all();
}

bool PosixPlatform::waitForStop(DWORD milliseconds) {
  std::unique_lock<std::mutex> lock(stopMutex_);
  return stopSignal_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return stopSignalled_; });
}

DWORD PosixPlatform::tickCount() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

DWORD PosixPlatform::lastError() { return posix::lastError(); }

void PosixPlatform::setLastError(DWORD code) { posix::setLastError(code); }

std::string PosixPlatform::errorText(DWORD code) { return posix::errorText(code); }

std::string PosixPlatform::failureDetail() { return failureDetail_; }

std::optional<std::string> PosixPlatform::moduleFileName() {
  std::error_code error;
  const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) {
    failWithErrno(error.value());
    return std::nullopt;
  }
  return path.string();
}

void PosixPlatform::writeStdout(const std::string& text) { writeFlushed(stdout, text); }

void PosixPlatform::writeStderr(const std::string& text) { writeFlushed(stderr, text); }

bool PosixPlatform::isConsole() { return ::isatty(STDIN_FILENO) || ::isatty(STDERR_FILENO); }

// --- event log and diagnostics ---

Handle PosixPlatform::registerEventSource(const std::string& sourceName) { return eventSources_.add(sourceName); }

bool PosixPlatform::reportEvent(Handle source, WORD type, WORD category, DWORD eventId,
                                const std::vector<std::string>& strings, const std::vector<char>& rawData) {
  const auto sourceName = eventSources_.get(source);
  if (!sourceName) return failWith(kErrorInvalidHandle);
  const std::vector<std::string> fields = journalFields(*sourceName, type, category, eventId, strings, rawData);
  std::vector<iovec> entry;
  for (const std::string& field : fields) entry.push_back({const_cast<char*>(field.data()), field.size()});
  const int result = sd_journal_sendv(entry.data(), static_cast<int>(entry.size()));
  return result == 0 || failWithErrno(-result);
}

void PosixPlatform::deregisterEventSource(Handle source) { eventSources_.remove(source); }

void PosixPlatform::debugOutput(const std::string& text) { sd_journal_print(LOG_DEBUG, "%s", text.c_str()); }

bool PosixPlatform::appendTraceLine(const std::string& text) { return posix::appendTraceLine(text) || failWithErrno(); }

// --- service control manager ---

std::optional<std::string> PosixPlatform::systemctlSucceeds(const std::vector<std::string>& arguments) {
  const SystemctlResult result = systemctl(arguments);
  if (result.exitCode == 0) return result.output;
  std::string command = "systemctl";
  for (const std::string& argument : arguments) command += " " + argument;
  if (result.exitCode < 0) {
    const int error = errno;
    failureDetail_ = command + " cannot be run: " + std::strerror(error);
    failWithErrno(error);
  } else {
    failureDetail_ = command + " ended with exit status " + std::to_string(result.exitCode) +
                     (result.errors.empty() ? "" : ":\n" + result.errors);
    failWith(kErrorIoDevice);
  }
  return std::nullopt;
}

std::optional<std::string> PosixPlatform::serviceNameOf(Handle service) {
  auto name = services_.get(service);
  if (!name || name->empty()) {
    failWith(kErrorInvalidHandle);
    return std::nullopt;
  }
  return name;
}

Handle PosixPlatform::openServiceManager() {
  if (::access(unitDirectory().c_str(), W_OK) != 0) return failWithErrno();
  return services_.add("");
}

Handle PosixPlatform::openService(Handle manager, const std::string& name, DWORD) {
  if (!services_.get(manager)) return failWith(kErrorInvalidHandle);
  if (::access(unitPath(name).c_str(), F_OK) != 0) return failWith(kErrorServiceDoesNotExist);
  return services_.add(name);
}

Handle PosixPlatform::createService(Handle manager, const ServiceConfig& config) {
  if (!services_.get(manager)) return failWith(kErrorInvalidHandle);
  if (!installUnit(config)) return errno == EEXIST ? failWith(kErrorServiceExists) : failWithErrno();
  // The service traces into this directory; without it nothing is traced.
  std::error_code ignored;
  std::filesystem::create_directories(traceDirectory(), ignored);
  reloadUnits();
  return services_.add(config.serviceName);
}

bool PosixPlatform::deleteService(Handle service) {
  const auto name = serviceNameOf(service);
  if (!name) return false;
  if (!removeUnit(*name)) return failWithErrno();
  reloadUnits();
  return true;
}

bool PosixPlatform::startService(Handle service) {
  failureDetail_.clear();
  const auto name = serviceNameOf(service);
  if (!name) return false;
  if (!isStopped(*name)) return failWith(kErrorServiceAlreadyRunning);
  return systemctlSucceeds({"start", "--no-block", *name + ".service"}).has_value();
}

bool PosixPlatform::queryServiceStatus(Handle service, ServiceStatus& status) {
  failureDetail_.clear();
  const auto name = serviceNameOf(service);
  if (!name) return false;
  const auto output = systemctlSucceeds({"show", "-p", kShownProperties, *name + ".service"});
  if (!output) return false;
  status = statusFromShow(*output);
  return true;
}

bool PosixPlatform::closeServiceHandle(Handle handle) { return services_.remove(handle) || failWith(kErrorInvalidHandle); }

bool PosixPlatform::startServiceCtrlDispatcher(const std::string& name, ServiceMainFunction serviceMain) {
  return runServiceDispatcher(name, serviceMain, [this] {
    if (const ServiceHandlerFunction handler = controlHandler_.load()) handler(kServiceControlStop);
  });
}

Handle PosixPlatform::registerServiceCtrlHandler(const std::string& name, ServiceHandlerFunction handler) {
  controlHandler_.store(handler);
  return statusHandles_.add(name);
}

bool PosixPlatform::setServiceStatus(Handle statusHandle, const ServiceStatus& status) {
  if (!statusHandles_.get(statusHandle)) return failWith(kErrorInvalidHandle);
  const int result = sd_notify(0, notifyMessage(status).c_str());
  if (result == 0) return failWith(kErrorFailedServiceControllerConnect);
  return result > 0 || failWithErrno(-result);
}

}  // namespace rulo
