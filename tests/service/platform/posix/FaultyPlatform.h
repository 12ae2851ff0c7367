#pragma once
// A platform that hands every operation to the real one and makes a chosen
// call fail: the call is not passed on, and the last error is what the real
// call leaves when it fails in the most likely way on Linux (a full disk
// while copying, a file in use while renaming, ...). It records the calls
// that can be made to fail, the events reported and the handles left open,
// and runs a hook before each of those calls. Sleeps and waits for a stop
// are passed on with no time, so the run's retry pauses cost nothing. For
// one thread.

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "service/platform/Platform.h"
#include "tests/service/FaultInjection.h"

namespace rulo::test {

// An event as it was reported: its type, the error text and the text.
struct ReportedEvent {
  WORD type;
  std::string errorText;
  std::string text;
};

class FaultyPlatform : public Platform {
 public:
  explicit FaultyPlatform(Platform& real) : real_(real) {}

  // The fault of the calls from now on, none for none; the count of calls
  // and the record of events and reports start again.
  void inject(std::optional<Fault> fault);
  // Runs before each call that can be made to fail, with the call's number
  // among those of its operation.
  std::function<void(Op, int)> beforeCall;

  const std::vector<Op>& operations() const { return operations_; }
  const std::vector<ReportedEvent>& events() const { return events_; }
  // The states of the status reports made, whether the manager took them or not.
  const std::vector<DWORD>& reportedStates() const { return reportedStates_; }
  int errorEvents() const;
  int openHandles() const { return static_cast<int>(open_.size()); }

  std::optional<RegistryValue> readRegistryValue(const std::string& subKey, const std::string& valueName, bool view64,
                                                 DWORD maxBytes) override;
  Handle createRegistryKey(const std::string& subKey) override;
  bool setRegistryValue(Handle key, const std::string& valueName, RegistryType type,
                        const std::vector<char>& data) override;
  void closeRegistryKey(Handle key) override;
  bool isAbsolutePath(const std::string& path) override;
  bool pathExists(const std::string& path) override;
  bool isDirectory(const std::string& path) override;
  bool createDirectory(const std::string& path) override;
  std::optional<std::string> createUniqueFile(const std::string& directory, const std::string& prefix) override;
  bool copyFile(const std::string& from, const std::string& to) override;
  bool moveFile(const std::string& from, const std::string& to) override;
  bool replaceFile(const std::string& target, const std::string& replacement, const std::string& backup) override;
  bool deleteFile(const std::string& path) override;
  bool setNormalAttributes(const std::string& path) override;
  std::optional<std::uint64_t> fileSize(const std::string& path) override;
  std::optional<std::vector<char>> readFile(const std::string& path, std::uint64_t size) override;
  std::optional<std::vector<std::string>> listFiles(const std::string& directory) override;
  bool hasPaddingMarker(const std::string& executablePath) override;
  Handle createProcess(const std::string& application, const std::string& commandLine,
                       const std::string& workingDirectory, bool show) override;
  void waitForProcess(Handle process, DWORD timeoutMs) override;
  std::optional<DWORD> processExitCode(Handle process) override;
  void closeProcess(Handle process) override;
  void sleep(DWORD milliseconds) override;
  void signalStop() override;
  bool waitForStop(DWORD milliseconds) override;
  DWORD tickCount() override;
  DWORD lastError() override;
  void setLastError(DWORD code) override;
  std::string errorText(DWORD code) override;
  std::string failureDetail() override;
  std::optional<std::string> moduleFileName() override;
  void writeStdout(const std::string& text) override;
  void writeStderr(const std::string& text) override;
  bool isConsole() override;
  Handle registerEventSource(const std::string& sourceName) override;
  bool reportEvent(Handle source, WORD type, WORD category, DWORD eventId, const std::vector<std::string>& strings,
                   const std::vector<char>& rawData) override;
  void deregisterEventSource(Handle source) override;
  void debugOutput(const std::string& text) override;
  bool appendTraceLine(const std::string& text) override;
  Handle openServiceManager() override;
  Handle openService(Handle manager, const std::string& name, DWORD access) override;
  Handle createService(Handle manager, const ServiceConfig& config) override;
  bool deleteService(Handle service) override;
  bool startService(Handle service) override;
  bool queryServiceStatus(Handle service, ServiceStatus& status) override;
  bool closeServiceHandle(Handle handle) override;
  bool startServiceCtrlDispatcher(const std::string& name, ServiceMainFunction serviceMain) override;
  Handle registerServiceCtrlHandler(const std::string& name, ServiceHandlerFunction handler) override;
  bool setServiceStatus(Handle statusHandle, const ServiceStatus& status) override;

 private:
  // The kinds of handle, each numbered by the real platform on its own.
  enum class Kind { RegistryKey, Process, EventSource, Service };

  // Records the call and runs the hook; true, with the last error set, when
  // the call is to fail.
  bool failing(Op op);
  Handle opened(Kind kind, Handle handle);
  void closed(Kind kind, Handle handle) { open_.erase({kind, handle}); }

  Platform& real_;
  std::optional<Fault> fault_;
  std::map<Op, int> calls_;
  std::vector<Op> operations_;
  std::vector<ReportedEvent> events_;
  std::vector<DWORD> reportedStates_;
  std::set<std::pair<Kind, Handle>> open_;
};

}  // namespace rulo::test
