#pragma once
// The seam between the Inventory Agent service and its operating system.
// Every operation the collection run, the service control and the event log
// ask of the OS goes through Platform. win32/ implements it with the Win32
// API, posix/ with Linux stand-ins; the tests use a recording fake.
//
// Failing operations leave their error code where lastError() reads it, as
// GetLastError does on Windows.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rulo {

using DWORD = std::uint32_t;
using WORD = std::uint16_t;

// An opaque handle to a registry key, a process, an event source or a
// service; 0 is never a valid handle.
using Handle = std::uintptr_t;

// The registry value types the service reads and writes.
enum RegistryType : DWORD { RegSz = 1, RegExpandSz = 2, RegBinary = 3, RegDword = 4 };

// The platform's SERVICE_STATUS record.
struct ServiceStatus {
  DWORD serviceType = 0;
  DWORD currentState = 0;
  DWORD controlsAccepted = 0;
  DWORD win32ExitCode = 0;
  DWORD serviceSpecificExitCode = 0;
  DWORD checkPoint = 0;
  DWORD waitHint = 0;
};

// What CreateServiceA is given.
struct ServiceConfig {
  std::string serviceName;
  std::string displayName;
  DWORD desiredAccess = 0;
  DWORD serviceType = 0;
  DWORD startType = 0;
  DWORD errorControl = 0;
  std::string binaryPath;  // the command line the manager runs, quoted by the caller
};

// What a value read from the registry gave: its type and its bytes, at most
// the size the caller asked for.
struct RegistryValue {
  DWORD type = 0;
  std::vector<char> bytes;
};

using ServiceMainFunction = void (*)(DWORD argc, char** argv);
using ServiceHandlerFunction = void (*)(DWORD control);

class Platform {
 public:
  virtual ~Platform() = default;

  // --- registry (HKEY_LOCAL_MACHINE) ---
  // Opens subKey for query (in the 64-bit view when asked), reads at most
  // maxBytes of the value, closes the key. Nothing when key or value cannot be read.
  virtual std::optional<RegistryValue> readRegistryValue(const std::string& subKey, const std::string& valueName,
                                                         bool view64, DWORD maxBytes) = 0;
  // Creates or opens subKey with write access; 0 on failure.
  virtual Handle createRegistryKey(const std::string& subKey) = 0;
  virtual bool setRegistryValue(Handle key, const std::string& valueName, RegistryType type,
                                const std::vector<char>& data) = 0;
  virtual void closeRegistryKey(Handle key) = 0;

  // --- files and directories ---
  // Whether path names one file whatever folder the program runs in: on
  // Windows a path from the root of a drive or a UNC path, on Linux one from "/".
  virtual bool isAbsolutePath(const std::string& path) = 0;
  virtual bool pathExists(const std::string& path) = 0;
  virtual bool isDirectory(const std::string& path) = 0;
  virtual bool createDirectory(const std::string& path) = 0;
  // Creates a unique empty file in directory named with the first three
  // characters of prefix, a hexadecimal number and ".TMP"; its full path.
  virtual std::optional<std::string> createUniqueFile(const std::string& directory, const std::string& prefix) = 0;
  // Copies into a file under the name to, in place of what had that name
  // (never written through a link planted there).
  virtual bool copyFile(const std::string& from, const std::string& to) = 0;
  virtual bool moveFile(const std::string& from, const std::string& to) = 0;  // refuses an existing target
  // Puts replacement in place of target in one step, so that whoever opens
  // target finds the old file or the new one, never none; the old file stays
  // under the name backup, which must be free. A failure (target missing or,
  // on Windows, held open by a reader that refuses writers) changes nothing.
  virtual bool replaceFile(const std::string& target, const std::string& replacement, const std::string& backup) = 0;
  virtual bool deleteFile(const std::string& path) = 0;
  // Makes a file writable again; never follows a link to another file.
  virtual bool setNormalAttributes(const std::string& path) = 0;
  virtual std::optional<std::uint64_t> fileSize(const std::string& path) = 0;
  // Reads at most size bytes from the start of the file.
  virtual std::optional<std::vector<char>> readFile(const std::string& path, std::uint64_t size) = 0;
  // The names of the regular files in directory: directories, links and
  // anything else that is not a plain file left out. Nothing, with the error
  // set, when it cannot be read.
  virtual std::optional<std::vector<std::string>> listFiles(const std::string& directory) = 0;
  // Whether the executable carries the padding marker (a resource of type
  // "PADDING_ENABLED" named 122 on Windows).
  virtual bool hasPaddingMarker(const std::string& executablePath) = 0;

  // --- processes ---
  // Starts application with the whole command line (application first, as
  // the program sees it), hidden unless show, in workingDirectory; 0 on failure.
  virtual Handle createProcess(const std::string& application, const std::string& commandLine,
                               const std::string& workingDirectory, bool show) = 0;
  // Waits at most timeoutMs (0xFFFFFFFF: no limit); the outcome is not reported.
  virtual void waitForProcess(Handle process, DWORD timeoutMs) = 0;
  // The exit code, or 259 while the process still runs; nothing when unreadable.
  virtual std::optional<DWORD> processExitCode(Handle process) = 0;
  virtual void closeProcess(Handle process) = 0;

  // --- time, errors, output ---
  virtual void sleep(DWORD milliseconds) = 0;
  // The service's stop request: signalled once from any thread (the control
  // handler's), it ends every wait for it, now or later.
  virtual void signalStop() = 0;
  // Waits at most milliseconds, or until a stop is signalled; true when a stop
  // has been signalled.
  virtual bool waitForStop(DWORD milliseconds) = 0;
  virtual DWORD tickCount() = 0;
  virtual DWORD lastError() = 0;
  virtual void setLastError(DWORD code) = 0;
  // The system's message text for an error code; empty when it has none.
  virtual std::string errorText(DWORD code) = 0;
  // What the platform knows of the last failure of readRegistryValue,
  // startService or queryServiceStatus beyond its error code, in words for a
  // person, possibly in several lines: where the value was looked for and
  // what was wrong there (on Linux the registry file, and the line of a
  // malformed one); what the service manager said (on Linux systemctl's exit
  // status and messages). Empty when there is nothing more to say, and after
  // a call of these that succeeded.
  virtual std::string failureDetail() = 0;
  virtual std::optional<std::string> moduleFileName() = 0;  // the program's own full path
  virtual void writeStdout(const std::string& text) = 0;   // written and flushed
  virtual void writeStderr(const std::string& text) = 0;   // written and flushed
  // Whether a person started the program from a console, so that a word on
  // standard error reaches someone: on Linux standard input or error is a
  // terminal, on Windows the process has a console window. Never so when the
  // service manager starts it.
  virtual bool isConsole() = 0;

  // --- event log and diagnostics ---
  virtual Handle registerEventSource(const std::string& sourceName) = 0;
  virtual bool reportEvent(Handle source, WORD type, WORD category, DWORD eventId,
                           const std::vector<std::string>& strings, const std::vector<char>& rawData) = 0;
  virtual void deregisterEventSource(Handle source) = 0;
  virtual void debugOutput(const std::string& text) = 0;
  // Appends text and a line end to the trace file; false when it cannot be opened.
  virtual bool appendTraceLine(const std::string& text) = 0;

  // --- service control manager ---
  virtual Handle openServiceManager() = 0;
  virtual Handle openService(Handle manager, const std::string& name, DWORD access) = 0;
  virtual Handle createService(Handle manager, const ServiceConfig& config) = 0;
  virtual bool deleteService(Handle service) = 0;
  virtual bool startService(Handle service) = 0;
  virtual bool queryServiceStatus(Handle service, ServiceStatus& status) = 0;
  virtual bool closeServiceHandle(Handle handle) = 0;
  // Runs the service: returns when it has stopped; false when the process was
  // not started by the service manager.
  virtual bool startServiceCtrlDispatcher(const std::string& name, ServiceMainFunction serviceMain) = 0;
  virtual Handle registerServiceCtrlHandler(const std::string& name, ServiceHandlerFunction handler) = 0;
  virtual bool setServiceStatus(Handle statusHandle, const ServiceStatus& status) = 0;
};

// The platform the service runs on: the one installed by the innermost live
// PlatformScope. The program installs its OS's platform for its whole run;
// tests install a fake for one case.
Platform& currentPlatform();

// Installs a platform for the life of the scope and puts back the one that
// was installed before.
class PlatformScope {
 public:
  explicit PlatformScope(Platform& platform);
  ~PlatformScope();
  PlatformScope(const PlatformScope&) = delete;
  PlatformScope& operator=(const PlatformScope&) = delete;

 private:
  Platform* previous_;
};

}  // namespace rulo
