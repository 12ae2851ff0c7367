#pragma once
// A recording stand-in for the OS: an in-memory file system, registry and
// service manager, scripted collector runs, failures of any operation on
// demand, and a record of every event, status report, sleep, launch and
// line of output. It never sleeps. Thread-safe, so the control handler may
// be driven from another thread during a run.

#include <climits>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <set>

#include "service/platform/Platform.h"
#include "tests/service/PlatformOp.h"

namespace rulo::test {

// Which calls of an operation fail: those from the fromCall-th matching call
// on, `calls` of them; a call matches when one of its paths contains
// pathContains. A failing call sets the last error, or throws std::bad_alloc.
struct FailRule {
  Op op = Op::readRegistryValue;
  DWORD error = 5;
  int fromCall = 1;
  int calls = INT_MAX;
  std::string pathContains;
  bool throws = false;
  int seen = 0;

  FailRule& onCall(int n) { fromCall = n; calls = 1; return *this; }
  FailRule& times(int n) { calls = n; return *this; }
  FailRule& withError(DWORD e) { error = e; return *this; }
  FailRule& where(std::string part) { pathContains = std::move(part); return *this; }
  FailRule& throwing() { throws = true; return *this; }
};

struct RecordedEvent {
  WORD type;
  WORD category;
  DWORD id;
  std::string errorText;  // first insertion string
  std::string text;       // second insertion string
  std::vector<char> rawData;
};

struct RecordedLaunch {
  std::string application, commandLine, directory;
  bool show;
  DWORD timeout = 0;
};

// One scripted run of the collector: its exit code, and what it writes to
// the files its -outc and -logc arguments name.
struct CollectorRun {
  DWORD exitCode = 0;
  std::string output;
  std::optional<std::string> log;
};

class FakePlatform : public Platform {
 public:
  FakePlatform();

  // --- scripting ---
  FailRule& fail(Op op);
  void addDirectory(const std::string& path);
  void addFile(const std::string& path, const std::string& content = "");
  void setRegistryBytes(const std::string& key, const std::string& name, DWORD type, std::vector<char> bytes);
  void setRegistryText(const std::string& key, const std::string& name, const std::string& text, DWORD type = RegSz);
  void setRegistryDword(const std::string& key, const std::string& name, DWORD value);
  void deleteRegistryValue(const std::string& key, const std::string& name);
  void addPaddingMarker(const std::string& executable) { markers_.insert(executable); }
  void scriptCollector(CollectorRun run) { collectorRuns_.push_back(std::move(run)); }
  void setErrorText(DWORD code, const std::string& text) { errorTexts_[code] = text; }
  void setModuleFileName(std::optional<std::string> path) { moduleFileName_ = std::move(path); }
  void setConsole(bool console) { console_ = console; }  // none unless set
  // What failing starts and status queries tell beside their error code.
  void setServiceManagerMessage(const std::string& text) { serviceManagerMessage_ = text; }
  void addService(const std::string& name, ServiceStatus status = {});
  // Statuses the next queries of the service read, one each; the last stays.
  void scriptServiceStatuses(const std::string& name, std::vector<ServiceStatus> statuses);
  // Drops every failure rule: later calls succeed.
  void clearFailures();
  // Runs in place of the wait for the collector, outside the fake's lock.
  std::function<void()> onWaitForProcess;
  // Runs at the start of each wait for a stop, outside the fake's lock.
  std::function<void(DWORD)> onWaitForStop;

  // --- what happened ---
  std::vector<RecordedEvent> events() const;
  // Every call of an operation that can be made to fail, in order, failed or not.
  std::vector<Op> operations() const;
  std::vector<std::string> eventTexts() const;
  std::vector<ServiceStatus> statusReports() const;
  std::vector<DWORD> sleeps() const;  // sleeps and waits for a stop alike
  std::vector<RecordedLaunch> launches() const;
  std::vector<std::string> traceLines() const;
  std::vector<std::string> debugLines() const;
  std::vector<std::string> attributesCleared() const;
  std::string out() const;
  std::string err() const;
  std::optional<std::string> file(const std::string& path) const;
  std::vector<std::string> filesIn(const std::string& directory) const;
  bool directoryExists(const std::string& path) const;
  std::map<std::string, RegistryValue> registryKey(const std::string& key) const;
  std::optional<ServiceConfig> service(const std::string& name) const;
  int openHandles() const;
  ServiceHandlerFunction handler() const;

  // --- Platform ---
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
  struct FakeService {
    ServiceConfig config;
    std::deque<ServiceStatus> statuses;  // front is the current status
  };

  // Whether this call of op fails (lock held); a failing call sets the last error.
  bool failing(Op op, const std::string& path = "", const std::string& other = "");
  // As failing, for the service manager's calls that tell more of a failure.
  bool failingWithMessage(Op op);
  Handle open(std::string what);  // lock held
  bool close(Handle handle);      // lock held
  bool parentExists(const std::string& path) const;
  void complete(const std::string& commandLine, const CollectorRun& run);

  mutable std::mutex mutex_;
  std::deque<FailRule> rules_;
  std::map<std::string, std::string> files_;
  std::set<std::string> directories_;
  std::set<std::string> markers_;
  std::map<std::string, std::map<std::string, RegistryValue>> registry_;
  std::map<std::string, FakeService> services_;
  std::map<Handle, std::string> handles_;  // open handle -> what it names
  Handle nextHandle_ = 100;
  unsigned uniqueNumber_ = 0;
  std::deque<CollectorRun> collectorRuns_;
  std::map<Handle, CollectorRun> processes_;
  std::map<DWORD, std::string> errorTexts_;
  std::optional<std::string> moduleFileName_;
  DWORD lastError_ = 0;
  DWORD ticks_ = 0;
  ServiceHandlerFunction handler_ = nullptr;
  bool stopSignalled_ = false;
  bool console_ = false;

  std::vector<RecordedEvent> events_;
  std::vector<Op> operations_;
  std::vector<ServiceStatus> statusReports_;
  std::vector<DWORD> sleeps_;
  std::vector<RecordedLaunch> launches_;
  std::vector<std::string> traceLines_, debugLines_, attributesCleared_;
  std::string out_, err_;
  std::string failureDetail_;
  std::string serviceManagerMessage_;
};

}  // namespace rulo::test
