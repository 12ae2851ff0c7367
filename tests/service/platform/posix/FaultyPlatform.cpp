#include "tests/service/platform/posix/FaultyPlatform.h"

#include <algorithm>
#include <cerrno>

#include "service/EventLog.h"
#include "service/platform/posix/LastError.h"

namespace rulo::test {

namespace {

using posix::win32Code;

// The last error of a real call of op that fails in the likeliest way.
DWORD injectedError(Op op) {
  switch (op) {
    case Op::copyFile:
    case Op::appendTraceLine:
      return win32Code(ENOSPC);
    case Op::moveFile:
    case Op::replaceFile:
      return win32Code(EBUSY);
    case Op::pathExists:
    case Op::isDirectory:
    case Op::fileSize:
    case Op::moduleFileName:
      return win32Code(ENOENT);
    case Op::createRegistryKey:
    case Op::setRegistryValue:
      return win32Code(EROFS);
    case Op::registerEventSource:
    case Op::registerServiceCtrlHandler:
      return win32Code(ENOMEM);
    case Op::processExitCode:
      return posix::kErrorInvalidHandle;
    case Op::queryServiceStatus:
      return posix::kErrorIoDevice;
    case Op::startServiceCtrlDispatcher:
    case Op::setServiceStatus:
      return posix::kErrorFailedServiceControllerConnect;
    default:
      return win32Code(EACCES);
  }
}

}  // namespace

void FaultyPlatform::inject(std::optional<Fault> fault) {
  fault_ = fault;
  calls_.clear();
  events_.clear();
  reportedStates_.clear();
}

int FaultyPlatform::errorEvents() const {
  return static_cast<int>(
      std::count_if(events_.begin(), events_.end(), [](const ReportedEvent& e) { return e.type == EventError; }));
}

bool FaultyPlatform::failing(Op op) {
  operations_.push_back(op);
  const int nth = ++calls_[op];
  if (beforeCall) beforeCall(op, nth);
  if (!fault_ || !fault_->hits(op, nth)) return false;
  real_.setLastError(injectedError(op));
  return true;
}

Handle FaultyPlatform::opened(Kind kind, Handle handle) {
  if (handle) open_.insert({kind, handle});
  return handle;
}

// --- registry ---

std::optional<RegistryValue> FaultyPlatform::readRegistryValue(const std::string& subKey, const std::string& valueName,
                                                               bool view64, DWORD maxBytes) {
  if (failing(Op::readRegistryValue)) return std::nullopt;
  return real_.readRegistryValue(subKey, valueName, view64, maxBytes);
}

Handle FaultyPlatform::createRegistryKey(const std::string& subKey) {
  if (failing(Op::createRegistryKey)) return 0;
  return opened(Kind::RegistryKey, real_.createRegistryKey(subKey));
}

bool FaultyPlatform::setRegistryValue(Handle key, const std::string& valueName, RegistryType type,
                                      const std::vector<char>& data) {
  return !failing(Op::setRegistryValue) && real_.setRegistryValue(key, valueName, type, data);
}

void FaultyPlatform::closeRegistryKey(Handle key) {
  closed(Kind::RegistryKey, key);
  real_.closeRegistryKey(key);
}

// --- files and directories ---

bool FaultyPlatform::isAbsolutePath(const std::string& path) { return real_.isAbsolutePath(path); }

bool FaultyPlatform::pathExists(const std::string& path) {
  return !failing(Op::pathExists) && real_.pathExists(path);
}

bool FaultyPlatform::isDirectory(const std::string& path) {
  return !failing(Op::isDirectory) && real_.isDirectory(path);
}

bool FaultyPlatform::createDirectory(const std::string& path) {
  return !failing(Op::createDirectory) && real_.createDirectory(path);
}

std::optional<std::string> FaultyPlatform::createUniqueFile(const std::string& directory, const std::string& prefix) {
  if (failing(Op::createUniqueFile)) return std::nullopt;
  return real_.createUniqueFile(directory, prefix);
}

bool FaultyPlatform::copyFile(const std::string& from, const std::string& to) {
  return !failing(Op::copyFile) && real_.copyFile(from, to);
}

bool FaultyPlatform::moveFile(const std::string& from, const std::string& to) {
  return !failing(Op::moveFile) && real_.moveFile(from, to);
}

bool FaultyPlatform::replaceFile(const std::string& target, const std::string& replacement,
                                 const std::string& backup) {
  return !failing(Op::replaceFile) && real_.replaceFile(target, replacement, backup);
}

bool FaultyPlatform::deleteFile(const std::string& path) {
  return !failing(Op::deleteFile) && real_.deleteFile(path);
}

bool FaultyPlatform::setNormalAttributes(const std::string& path) {
  return !failing(Op::setNormalAttributes) && real_.setNormalAttributes(path);
}

std::optional<std::uint64_t> FaultyPlatform::fileSize(const std::string& path) {
  if (failing(Op::fileSize)) return std::nullopt;
  return real_.fileSize(path);
}

std::optional<std::vector<char>> FaultyPlatform::readFile(const std::string& path, std::uint64_t size) {
  if (failing(Op::readFile)) return std::nullopt;
  return real_.readFile(path, size);
}

std::optional<std::vector<std::string>> FaultyPlatform::listFiles(const std::string& directory) {
  if (failing(Op::listFiles)) return std::nullopt;
  return real_.listFiles(directory);
}

bool FaultyPlatform::hasPaddingMarker(const std::string& executablePath) {
  return real_.hasPaddingMarker(executablePath);
}

// --- processes ---

Handle FaultyPlatform::createProcess(const std::string& application, const std::string& commandLine,
                                     const std::string& workingDirectory, bool show) {
  if (failing(Op::createProcess)) return 0;
  return opened(Kind::Process, real_.createProcess(application, commandLine, workingDirectory, show));
}

void FaultyPlatform::waitForProcess(Handle process, DWORD timeoutMs) { real_.waitForProcess(process, timeoutMs); }

std::optional<DWORD> FaultyPlatform::processExitCode(Handle process) {
  if (failing(Op::processExitCode)) return std::nullopt;
  return real_.processExitCode(process);
}

void FaultyPlatform::closeProcess(Handle process) {
  closed(Kind::Process, process);
  real_.closeProcess(process);
}

// --- time, errors, output ---

void FaultyPlatform::sleep(DWORD) { real_.sleep(0); }

void FaultyPlatform::signalStop() { real_.signalStop(); }

bool FaultyPlatform::waitForStop(DWORD) { return real_.waitForStop(0); }

DWORD FaultyPlatform::tickCount() { return real_.tickCount(); }

DWORD FaultyPlatform::lastError() { return real_.lastError(); }

void FaultyPlatform::setLastError(DWORD code) { real_.setLastError(code); }

std::string FaultyPlatform::errorText(DWORD code) { return real_.errorText(code); }

std::string FaultyPlatform::failureDetail() { return real_.failureDetail(); }

std::optional<std::string> FaultyPlatform::moduleFileName() {
  if (failing(Op::moduleFileName)) return std::nullopt;
  return real_.moduleFileName();
}

void FaultyPlatform::writeStdout(const std::string& text) { real_.writeStdout(text); }

void FaultyPlatform::writeStderr(const std::string& text) { real_.writeStderr(text); }

bool FaultyPlatform::isConsole() { return real_.isConsole(); }

// --- event log and diagnostics ---

Handle FaultyPlatform::registerEventSource(const std::string& sourceName) {
  if (failing(Op::registerEventSource)) return 0;
  return opened(Kind::EventSource, real_.registerEventSource(sourceName));
}

bool FaultyPlatform::reportEvent(Handle source, WORD type, WORD category, DWORD eventId,
                                 const std::vector<std::string>& strings, const std::vector<char>& rawData) {
  events_.push_back({type, strings.size() > 0 ? strings[0] : "", strings.size() > 1 ? strings[1] : ""});
  return real_.reportEvent(source, type, category, eventId, strings, rawData);
}

void FaultyPlatform::deregisterEventSource(Handle source) {
  closed(Kind::EventSource, source);
  real_.deregisterEventSource(source);
}

void FaultyPlatform::debugOutput(const std::string& text) { real_.debugOutput(text); }

bool FaultyPlatform::appendTraceLine(const std::string& text) {
  return !failing(Op::appendTraceLine) && real_.appendTraceLine(text);
}

// --- service control manager ---

Handle FaultyPlatform::openServiceManager() {
  if (failing(Op::openServiceManager)) return 0;
  return opened(Kind::Service, real_.openServiceManager());
}

Handle FaultyPlatform::openService(Handle manager, const std::string& name, DWORD access) {
  if (failing(Op::openService)) return 0;
  return opened(Kind::Service, real_.openService(manager, name, access));
}

Handle FaultyPlatform::createService(Handle manager, const ServiceConfig& config) {
  if (failing(Op::createService)) return 0;
  return opened(Kind::Service, real_.createService(manager, config));
}

bool FaultyPlatform::deleteService(Handle service) {
  return !failing(Op::deleteService) && real_.deleteService(service);
}

bool FaultyPlatform::startService(Handle service) { return !failing(Op::startService) && real_.startService(service); }

bool FaultyPlatform::queryServiceStatus(Handle service, ServiceStatus& status) {
  return !failing(Op::queryServiceStatus) && real_.queryServiceStatus(service, status);
}

bool FaultyPlatform::closeServiceHandle(Handle handle) {
  closed(Kind::Service, handle);
  return real_.closeServiceHandle(handle);
}

bool FaultyPlatform::startServiceCtrlDispatcher(const std::string& name, ServiceMainFunction serviceMain) {
  return !failing(Op::startServiceCtrlDispatcher) && real_.startServiceCtrlDispatcher(name, serviceMain);
}

Handle FaultyPlatform::registerServiceCtrlHandler(const std::string& name, ServiceHandlerFunction handler) {
  if (failing(Op::registerServiceCtrlHandler)) return 0;
  return real_.registerServiceCtrlHandler(name, handler);
}

bool FaultyPlatform::setServiceStatus(Handle statusHandle, const ServiceStatus& status) {
  reportedStates_.push_back(status.currentState);
  return !failing(Op::setServiceStatus) && real_.setServiceStatus(statusHandle, status);
}

}  // namespace rulo::test
