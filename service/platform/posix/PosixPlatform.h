#pragma once
// The service's platform on Linux: the registry is the .reg file of
// compat/registry, the event log the systemd journal, the service control
// manager systemd; files, processes and errors map to their POSIX
// counterparts (see the helpers beside this file).

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "service/platform/Platform.h"
#include "service/platform/posix/ChildProcess.h"
#include "service/platform/posix/HandleTable.h"

namespace rulo {

class PosixPlatform : public Platform {
 public:
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
  // systemctl's output for arguments; nothing, with the last error set and
  // failureDetail_ telling what systemctl did and said, when it cannot be run
  // or ends with another status than 0.
  std::optional<std::string> systemctlSucceeds(const std::vector<std::string>& arguments);
  // The service a handle stands for; nothing for the manager's handle and
  // unknown handles.
  std::optional<std::string> serviceNameOf(Handle service);

  posix::HandleTable<std::string> registryKeys_;  // full key paths
  posix::HandleTable<std::shared_ptr<posix::ChildProcess>> processes_;
  posix::HandleTable<std::string> eventSources_;
  posix::HandleTable<std::string> services_;  // service names, "" for the manager
  posix::HandleTable<std::string> statusHandles_;  // service names
  std::atomic<ServiceHandlerFunction> controlHandler_{nullptr};
  std::mutex stopMutex_;
  std::condition_variable stopSignal_;
  bool stopSignalled_ = false;  // guarded by stopMutex_
  std::string failureDetail_;  // of the service thread's or the console's calls
};

}  // namespace rulo
