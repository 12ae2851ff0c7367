#include "tests/service/FakePlatform.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "service/platform/AbsolutePath.h"

namespace rulo::test {

namespace {

constexpr DWORD kFileNotFound = 2;
constexpr DWORD kPathNotFound = 3;
constexpr DWORD kAccessDenied = 5;
constexpr DWORD kAlreadyExists = 183;
constexpr DWORD kMoreData = 234;
constexpr DWORD kDirectoryInvalid = 267;
constexpr DWORD kServiceDoesNotExist = 1060;
constexpr DWORD kServiceExists = 1073;
constexpr const char* kKeyPrefix = "key:";
constexpr const char* kServicePrefix = "service:";

std::string ParentOf(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

// The quoted path after option (-outc= or -logc=) in a command line.
std::optional<std::string> QuotedArgument(const std::string& commandLine, const std::string& option) {
  const std::size_t start = commandLine.find(option + "\"");
  if (start == std::string::npos) return std::nullopt;
  const std::size_t begin = start + option.size() + 1;
  return commandLine.substr(begin, commandLine.find('"', begin) - begin);
}

// A copy of what the lock guards.
template <typename T>
T Locked(std::mutex& mutex, const T& items) {
  std::lock_guard<std::mutex> lock(mutex);
  return items;
}

}  // namespace

FakePlatform::FakePlatform() { directories_.insert("C:"); }

FailRule& FakePlatform::fail(Op op) {
  std::lock_guard<std::mutex> lock(mutex_);
  FailRule rule;
  rule.op = op;
  rules_.push_back(rule);
  return rules_.back();
}

void FakePlatform::clearFailures() {
  std::lock_guard<std::mutex> lock(mutex_);
  rules_.clear();
}

void FakePlatform::addDirectory(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (std::string level = path; !level.empty(); level = ParentOf(level)) directories_.insert(level);
}

void FakePlatform::addFile(const std::string& path, const std::string& content) {
  addDirectory(ParentOf(path));
  std::lock_guard<std::mutex> lock(mutex_);
  files_[path] = content;
}

void FakePlatform::setRegistryBytes(const std::string& key, const std::string& name, DWORD type,
                                    std::vector<char> bytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  registry_[key][name] = RegistryValue{type, std::move(bytes)};
}

void FakePlatform::deleteRegistryValue(const std::string& key, const std::string& name) {
  std::lock_guard<std::mutex> lock(mutex_);
  registry_[key].erase(name);
}

void FakePlatform::setRegistryText(const std::string& key, const std::string& name, const std::string& text,
                                   DWORD type) {
  std::vector<char> bytes(text.begin(), text.end());
  bytes.push_back('\0');
  setRegistryBytes(key, name, type, bytes);
}

void FakePlatform::setRegistryDword(const std::string& key, const std::string& name, DWORD value) {
  std::vector<char> bytes;
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>((value >> shift) & 0xFF));
  setRegistryBytes(key, name, RegDword, bytes);
}

void FakePlatform::addService(const std::string& name, ServiceStatus status) {
  std::lock_guard<std::mutex> lock(mutex_);
  FakeService service;
  service.config.serviceName = name;
  service.statuses.push_back(status);
  services_[name] = service;
}

void FakePlatform::scriptServiceStatuses(const std::string& name, std::vector<ServiceStatus> statuses) {
  std::lock_guard<std::mutex> lock(mutex_);
  services_[name].statuses.assign(statuses.begin(), statuses.end());
}

std::vector<RecordedEvent> FakePlatform::events() const { return Locked(mutex_, events_); }
std::vector<Op> FakePlatform::operations() const { return Locked(mutex_, operations_); }

std::vector<std::string> FakePlatform::eventTexts() const {
  std::vector<std::string> texts;
  for (const RecordedEvent& event : events()) texts.push_back(event.text);
  return texts;
}

std::vector<ServiceStatus> FakePlatform::statusReports() const { return Locked(mutex_, statusReports_); }
std::vector<DWORD> FakePlatform::sleeps() const { return Locked(mutex_, sleeps_); }
std::vector<RecordedLaunch> FakePlatform::launches() const { return Locked(mutex_, launches_); }
std::vector<std::string> FakePlatform::traceLines() const { return Locked(mutex_, traceLines_); }
std::vector<std::string> FakePlatform::debugLines() const { return Locked(mutex_, debugLines_); }
std::vector<std::string> FakePlatform::attributesCleared() const { return Locked(mutex_, attributesCleared_); }

std::string FakePlatform::out() const { return Locked(mutex_, out_); }
std::string FakePlatform::err() const { return Locked(mutex_, err_); }

std::optional<std::string> FakePlatform::file(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = files_.find(path);
  if (found == files_.end()) return std::nullopt;
  return found->second;
}

std::vector<std::string> FakePlatform::filesIn(const std::string& directory) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> names;
  for (const auto& entry : files_)
    if (ParentOf(entry.first) == directory) names.push_back(entry.first);
  return names;
}

bool FakePlatform::directoryExists(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return directories_.count(path) > 0;
}

std::map<std::string, RegistryValue> FakePlatform::registryKey(const std::string& key) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = registry_.find(key);
  return found == registry_.end() ? std::map<std::string, RegistryValue>() : found->second;
}

std::optional<ServiceConfig> FakePlatform::service(const std::string& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = services_.find(name);
  if (found == services_.end()) return std::nullopt;
  return found->second.config;
}

int FakePlatform::openHandles() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(handles_.size());
}

ServiceHandlerFunction FakePlatform::handler() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return handler_;
}

bool FakePlatform::failing(Op op, const std::string& path, const std::string& other) {
  operations_.push_back(op);
  for (FailRule& rule : rules_) {
    if (rule.op != op) continue;
    const std::string& part = rule.pathContains;
    if (!part.empty() && path.find(part) == std::string::npos && other.find(part) == std::string::npos) continue;
    ++rule.seen;
    if (rule.seen < rule.fromCall || rule.seen - rule.fromCall >= rule.calls) continue;
    lastError_ = rule.error;
    if (rule.throws) throw std::bad_alloc();
    return true;
  }
  return false;
}

bool FakePlatform::failingWithMessage(Op op) {
  const bool failed = failing(op);
  failureDetail_ = failed ? serviceManagerMessage_ : std::string();
  return failed;
}

Handle FakePlatform::open(std::string what) {
  handles_[nextHandle_] = std::move(what);
  return nextHandle_++;
}

bool FakePlatform::close(Handle handle) { return handles_.erase(handle) > 0; }

bool FakePlatform::parentExists(const std::string& path) const {
  const std::string parent = ParentOf(path);
  return parent.empty() || directories_.count(parent) > 0;
}

// --- registry ---

std::optional<RegistryValue> FakePlatform::readRegistryValue(const std::string& subKey, const std::string& valueName,
                                                             bool, DWORD maxBytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  failureDetail_ = "the fake registry gave no value \"" + valueName + "\" of " + subKey;
  if (failing(Op::readRegistryValue, valueName)) return std::nullopt;
  const auto key = registry_.find(subKey);
  if (key == registry_.end() || !key->second.count(valueName)) {
    lastError_ = kFileNotFound;
    return std::nullopt;
  }
  failureDetail_.clear();
  const RegistryValue& value = key->second.at(valueName);
  if (value.bytes.size() > maxBytes) {
    lastError_ = kMoreData;
    return std::nullopt;
  }
  return value;
}

Handle FakePlatform::createRegistryKey(const std::string& subKey) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failing(Op::createRegistryKey, subKey)) return 0;
  registry_[subKey];
  return open(kKeyPrefix + subKey);
}

bool FakePlatform::setRegistryValue(Handle key, const std::string& valueName, RegistryType type,
                                    const std::vector<char>& data) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failing(Op::setRegistryValue, valueName)) return false;
  registry_[handles_.at(key).substr(std::string(kKeyPrefix).size())][valueName] = RegistryValue{type, data};
  return true;
}

void FakePlatform::closeRegistryKey(Handle key) {
  std::lock_guard<std::mutex> lock(mutex_);
  close(key);
}

// --- files ---

// The fake's paths are Windows paths.
bool FakePlatform::isAbsolutePath(const std::string& path) { return isAbsoluteWindowsPath(path); }

bool FakePlatform::pathExists(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failing(Op::pathExists, path)) return false;
  return files_.count(path) > 0 || directories_.count(path) > 0;
}

bool FakePlatform::isDirectory(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failing(Op::isDirectory, path)) return false;
  return directories_.count(path) > 0;
}

bool FakePlatform::createDirectory(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failing(Op::createDirectory, path)) return false;
  if (files_.count(path) || directories_.count(path)) {
    lastError_ = kAlreadyExists;
    return false;
  }
  if (!parentExists(path)) {
    lastError_ = kPathNotFound;
    return false;
  }
  directories_.insert(path);
  return true;
}

std::optional<std::string> FakePlatform::createUniqueFile(const std::string& directory, const std::string& prefix) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failing(Op::createUniqueFile, directory)) return std::nullopt;
  if (!directories_.count(directory)) {
    lastError_ = kDirectoryInvalid;
    return std::nullopt;
  }
  std::string path;
  do {
    char number[16];
    std::snprintf(number, sizeof number, "%X", ++uniqueNumber_);
    path = directory + "\\" + prefix.substr(0, 3) + number + ".TMP";
  } while (files_.count(path));
  files_[path] = "";
  return path;
}

bool FakePlatform::copyFile(const std::string& from, const std::string& to) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failing(Op::copyFile, from, to)) return false;
  if (!files_.count(from) || !parentExists(to) || directories_.count(to)) {
    lastError_ = files_.count(from) ? kAccessDenied : kFileNotFound;
    return false;
  }
  files_[to] = files_[from];
  return true;
}

bool FakePlatform::moveFile(const std::string& from, const std::string& to) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failing(Op::moveFile, from, to)) return false;
  if (!files_.count(from) || files_.count(to) || directories_.count(to) || !parentExists(to)) {
    lastError_ = files_.count(from) ? kAlreadyExists : kFileNotFound;
    return false;
  }
  files_[to] = files_[from];
  files_.erase(from);
  return true;
}

bool FakePlatform::replaceFile(const std::string& target, const std::string& replacement,
                               const std::string& backup) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failing(Op::replaceFile, target, replacement)) return false;
  if (!files_.count(target) || !files_.count(replacement)) {
    lastError_ = kFileNotFound;
    return false;
  }
  if (files_.count(backup) || directories_.count(backup) || !parentExists(backup)) {
    lastError_ = parentExists(backup) ? kAlreadyExists : kPathNotFound;
    return false;
  }
  files_[backup] = files_[target];
  files_[target] = files_[replacement];
  files_.erase(replacement);
  return true;
}

bool FakePlatform::deleteFile(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failing(Op::deleteFile, path)) return false;
  if (files_.erase(path)) return true;
  lastError_ = kFileNotFound;
  return false;
}

bool FakePlatform::setNormalAttributes(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  attributesCleared_.push_back(path);
  if (failing(Op::setNormalAttributes, path)) return false;
  return files_.count(path) > 0 || directories_.count(path) > 0;
}

std::optional<std::uint64_t> FakePlatform::fileSize(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failing(Op::fileSize, path) || !files_.count(path)) return std::nullopt;
  return files_[path].size();
}

std::optional<std::vector<char>> FakePlatform::readFile(const std::string& path, std::uint64_t size) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failing(Op::readFile, path) || !files_.count(path)) return std::nullopt;
  const std::string& content = files_[path];
  return std::vector<char>(content.begin(), content.begin() + std::min<std::uint64_t>(size, content.size()));
}

std::optional<std::vector<std::string>> FakePlatform::listFiles(const std::string& directory) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failing(Op::listFiles, directory)) return std::nullopt;
  if (!directories_.count(directory)) {
    lastError_ = kPathNotFound;
    return std::nullopt;
  }
  std::vector<std::string> names;
  for (const auto& entry : files_)
    if (ParentOf(entry.first) == directory) names.push_back(entry.first.substr(directory.size() + 1));
  return names;
}

bool FakePlatform::hasPaddingMarker(const std::string& executablePath) {
  std::lock_guard<std::mutex> lock(mutex_);
  return markers_.count(executablePath) > 0;
}

// --- processes ---

void FakePlatform::complete(const std::string& commandLine, const CollectorRun& run) {
  if (const auto output = QuotedArgument(commandLine, "-outc=")) files_[*output] = run.output;
  if (const auto log = QuotedArgument(commandLine, "-logc="); log && run.log) files_[*log] = *run.log;
}

Handle FakePlatform::createProcess(const std::string& application, const std::string& commandLine,
                                   const std::string& workingDirectory, bool show) {
  std::lock_guard<std::mutex> lock(mutex_);
  launches_.push_back(RecordedLaunch{application, commandLine, workingDirectory, show});
  if (failing(Op::createProcess, application)) return 0;
  CollectorRun run;
  if (!collectorRuns_.empty()) {
    run = collectorRuns_.front();
    collectorRuns_.pop_front();
  }
  complete(commandLine, run);
  const Handle process = open("process");
  processes_[process] = run;
  return process;
}

void FakePlatform::waitForProcess(Handle, DWORD timeoutMs) {
  std::function<void()> hook;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    launches_.back().timeout = timeoutMs;
    hook = onWaitForProcess;
  }
  if (hook) hook();
}

std::optional<DWORD> FakePlatform::processExitCode(Handle process) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failing(Op::processExitCode)) return std::nullopt;
  return processes_.at(process).exitCode;
}

void FakePlatform::closeProcess(Handle process) {
  std::lock_guard<std::mutex> lock(mutex_);
  processes_.erase(process);
  close(process);
}

// --- time, errors, output ---

void FakePlatform::sleep(DWORD milliseconds) {
  std::lock_guard<std::mutex> lock(mutex_);
  sleeps_.push_back(milliseconds);
  ticks_ += milliseconds;
}

void FakePlatform::signalStop() {
  std::lock_guard<std::mutex> lock(mutex_);
  stopSignalled_ = true;
}

bool FakePlatform::waitForStop(DWORD milliseconds) {
  std::function<void(DWORD)> hook;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    hook = onWaitForStop;
  }
  if (hook) hook(milliseconds);
  std::lock_guard<std::mutex> lock(mutex_);
  sleeps_.push_back(milliseconds);
  if (!stopSignalled_) ticks_ += milliseconds;
  return stopSignalled_;
}

DWORD FakePlatform::tickCount() {
  std::lock_guard<std::mutex> lock(mutex_);
  return ticks_;
}

DWORD FakePlatform::lastError() {
  std::lock_guard<std::mutex> lock(mutex_);
  return lastError_;
}

void FakePlatform::setLastError(DWORD code) {
  std::lock_guard<std::mutex> lock(mutex_);
  lastError_ = code;
}

std::string FakePlatform::errorText(DWORD code) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = errorTexts_.find(code);
  return found == errorTexts_.end() ? std::string() : found->second;
}

std::string FakePlatform::failureDetail() {
  std::lock_guard<std::mutex> lock(mutex_);
  return failureDetail_;
}

std::optional<std::string> FakePlatform::moduleFileName() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failing(Op::moduleFileName)) return std::nullopt;
  return moduleFileName_;
}

void FakePlatform::writeStdout(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  out_ += text;
}

void FakePlatform::writeStderr(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  err_ += text;
}

bool FakePlatform::isConsole() {
  std::lock_guard<std::mutex> lock(mutex_);
  return console_;
}

// --- event log and diagnostics ---

Handle FakePlatform::registerEventSource(const std::string& sourceName) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failing(Op::registerEventSource, sourceName)) return 0;
  return open("event source " + sourceName);
}

bool FakePlatform::reportEvent(Handle, WORD type, WORD category, DWORD eventId, const std::vector<std::string>& strings,
                               const std::vector<char>& rawData) {
  std::lock_guard<std::mutex> lock(mutex_);
  events_.push_back(RecordedEvent{type, category, eventId, strings.at(0), strings.at(1), rawData});
  return true;
}

void FakePlatform::deregisterEventSource(Handle source) {
  std::lock_guard<std::mutex> lock(mutex_);
  close(source);
}

void FakePlatform::debugOutput(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  debugLines_.push_back(text);
}

bool FakePlatform::appendTraceLine(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failing(Op::appendTraceLine)) return false;
  traceLines_.push_back(text);
  return true;
}

// --- service control manager ---

Handle FakePlatform::openServiceManager() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failing(Op::openServiceManager)) return 0;
  return open("service manager");
}

Handle FakePlatform::openService(Handle, const std::string& name, DWORD) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failing(Op::openService, name)) return 0;
  if (!services_.count(name)) {
    lastError_ = kServiceDoesNotExist;
    return 0;
  }
  return open(kServicePrefix + name);
}

Handle FakePlatform::createService(Handle, const ServiceConfig& config) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failing(Op::createService, config.serviceName)) return 0;
  if (services_.count(config.serviceName)) {
    lastError_ = kServiceExists;
    return 0;
  }
  ServiceStatus stopped;
  stopped.currentState = 1;
  services_[config.serviceName] = FakeService{config, {stopped}};
  return open(kServicePrefix + config.serviceName);
}

bool FakePlatform::deleteService(Handle service) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failing(Op::deleteService)) return false;
  return services_.erase(handles_.at(service).substr(std::string(kServicePrefix).size())) > 0;
}

bool FakePlatform::startService(Handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  return !failingWithMessage(Op::startService);
}

bool FakePlatform::queryServiceStatus(Handle service, ServiceStatus& status) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failingWithMessage(Op::queryServiceStatus)) return false;
  auto& statuses = services_.at(handles_.at(service).substr(std::string(kServicePrefix).size())).statuses;
  status = statuses.front();
  if (statuses.size() > 1) statuses.pop_front();
  return true;
}

bool FakePlatform::closeServiceHandle(Handle handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  return close(handle);
}

bool FakePlatform::startServiceCtrlDispatcher(const std::string&, ServiceMainFunction serviceMain) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (failing(Op::startServiceCtrlDispatcher)) return false;
  }
  serviceMain(0, nullptr);
  return true;
}

Handle FakePlatform::registerServiceCtrlHandler(const std::string& name, ServiceHandlerFunction handler) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failing(Op::registerServiceCtrlHandler, name)) return 0;
  handler_ = handler;
  return 1;  // the status handle is never closed
}

bool FakePlatform::setServiceStatus(Handle, const ServiceStatus& status) {
  std::lock_guard<std::mutex> lock(mutex_);
  statusReports_.push_back(status);
  return !failing(Op::setServiceStatus);
}

}  // namespace rulo::test
