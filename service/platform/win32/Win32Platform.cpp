#include "service/platform/win32/Win32Platform.h"

#include <windows.h>
#include <shlwapi.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdio>
#include <memory>

#include "service/platform/AbsolutePath.h"

namespace rulo {

namespace {

constexpr const char* kTraceFile = "c:\\temp\\InvLog.txt";
constexpr const char* kPaddingType = "PADDING_ENABLED";
constexpr WORD kPaddingName = 122;

// What the dispatcher and the control handler call back, kept for the WINAPI
// trampolines that Windows calls.
std::atomic<ServiceMainFunction> storedServiceMain{nullptr};
std::atomic<ServiceHandlerFunction> storedHandler{nullptr};

void WINAPI serviceMainTrampoline(::DWORD argc, LPSTR* argv) { storedServiceMain.load()(argc, argv); }

void WINAPI handlerTrampoline(::DWORD control) { storedHandler.load()(control); }

template <typename T>
Handle toHandle(T native) {
  return reinterpret_cast<Handle>(native);
}

template <typename T>
T fromHandle(Handle handle) {
  return reinterpret_cast<T>(handle);
}

// Registry functions return their error instead of setting it.
bool registryResult(LONG result) {
  SetLastError(static_cast<::DWORD>(result));
  return result == ERROR_SUCCESS;
}

// A module loaded for its resources, freed when out of scope.
struct ModuleDeleter {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
using ModuleHolder = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleDeleter>;

// A C file, closed when out of scope.
struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using FileHolder = std::unique_ptr<FILE, FileCloser>;

// A file handle, closed when out of scope.
struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using HandleHolder = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

bool isReparsePoint(const std::string& path) {
  const ::DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The file itself, never the target of a reparse point (a link) that has its
// name; empty on failure.
HandleHolder openItself(const std::string& path, ::DWORD access, ::DWORD disposition) {
  const HANDLE file = CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, disposition, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  return HandleHolder(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

// Whether someone holds the file open and refuses to share it for deleting.
bool heldOpen(const std::string& path) {
  return !openItself(path, DELETE, OPEN_EXISTING) && GetLastError() == ERROR_SHARING_VIOLATION;
}

// Whether an open file is a plain file with one name: not a directory, a
// reparse point (a link) or a second name of another file.
bool isPlainFile(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file, &info)) return false;
  if (!(info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) &&
      info.nNumberOfLinks == 1)
    return true;
  SetLastError(ERROR_ACCESS_DENIED);
  return false;
}

// A line as the C library writes one in text mode: each line feed after a
// carriage return.
std::string textModeLine(const std::string& text) {
  std::string line;
  for (const char c : text + "\n") {
    if (c == '\n') line += '\r';
    line += c;
  }
  return line;
}

// A find handle, closed when out of scope.
struct FindCloser {
  void operator()(HANDLE find) const { FindClose(find); }
};
using FindHolder = std::unique_ptr<std::remove_pointer_t<HANDLE>, FindCloser>;

void writeFlushed(std::FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

}  // namespace

Win32Platform::Win32Platform() : stopEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

Win32Platform::~Win32Platform() {
  if (stopEvent_) CloseHandle(stopEvent_);
}

// --- registry ---

std::optional<RegistryValue> Win32Platform::readRegistryValue(const std::string& subKey, const std::string& valueName,
                                                              bool view64, DWORD maxBytes) {
  HKEY key = nullptr;
  const REGSAM access = KEY_QUERY_VALUE | (view64 ? KEY_WOW64_64KEY : 0);
  const std::string keyPath = "HKEY_LOCAL_MACHINE\\" + subKey;
  failureDetail_ = "the registry key " + keyPath + " cannot be opened";
  if (!registryResult(RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, access, &key))) return std::nullopt;
  RegistryValue value;
  value.bytes.resize(maxBytes);
  ::DWORD type = 0;
  ::DWORD size = maxBytes;
  const LONG result = RegQueryValueExA(key, valueName.c_str(), nullptr, &type,
                                       reinterpret_cast<LPBYTE>(value.bytes.data()), &size);
  RegCloseKey(key);
  failureDetail_ = "the value \"" + valueName + "\" of the registry key " + keyPath + " cannot be read";
  if (!registryResult(result)) return std::nullopt;
  failureDetail_.clear();
  value.type = type;
  value.bytes.resize(size);
  return value;
}

Handle Win32Platform::createRegistryKey(const std::string& subKey) {
  HKEY key = nullptr;
  const LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      KEY_WRITE, nullptr, &key, nullptr);
  return registryResult(result) ? toHandle(key) : 0;
}

bool Win32Platform::setRegistryValue(Handle key, const std::string& valueName, RegistryType type,
                                     const std::vector<char>& data) {
  return registryResult(RegSetValueExA(fromHandle<HKEY>(key), valueName.c_str(), 0, type,
                                       reinterpret_cast<const BYTE*>(data.data()), static_cast<::DWORD>(data.size())));
}

void Win32Platform::closeRegistryKey(Handle key) { RegCloseKey(fromHandle<HKEY>(key)); }

// --- files and directories ---

bool Win32Platform::isAbsolutePath(const std::string& path) { return isAbsoluteWindowsPath(path); }

bool Win32Platform::pathExists(const std::string& path) { return PathFileExistsA(path.c_str()); }

bool Win32Platform::isDirectory(const std::string& path) {
  const ::DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Platform::createDirectory(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr); }

std::optional<std::string> Win32Platform::createUniqueFile(const std::string& directory, const std::string& prefix) {
  char path[MAX_PATH];
  if (GetTempFileNameA(directory.c_str(), prefix.c_str(), 0, path) == 0) return std::nullopt;
  return std::string(path);
}

bool Win32Platform::copyFile(const std::string& from, const std::string& to) {
  // CopyFileA writes through a link at its destination: a link planted there
  // goes first, and its target is left alone.
  if (isReparsePoint(to) && !DeleteFileA(to.c_str())) return false;
  return CopyFileA(from.c_str(), to.c_str(), FALSE);
}

bool Win32Platform::moveFile(const std::string& from, const std::string& to) {
  return MoveFileA(from.c_str(), to.c_str());
}

bool Win32Platform::replaceFile(const std::string& target, const std::string& replacement,
                                const std::string& backup) {
  // The backup is a copy: a second name of a file that a reader holds open
  // could not be removed again when the replace fails. The rename over the
  // target fails, changing nothing, while the target is open.
  if (!CopyFileA(target.c_str(), backup.c_str(), TRUE)) return false;
  if (MoveFileExA(replacement.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  // A file that is open cannot be replaced ("access denied"); one that a
  // reader holds shows as the sharing violation it is.
  const ::DWORD error = heldOpen(target) ? ERROR_SHARING_VIOLATION : GetLastError();
  DeleteFileA(backup.c_str());
  SetLastError(error);
  return false;
}

bool Win32Platform::deleteFile(const std::string& path) { return DeleteFileA(path.c_str()); }

bool Win32Platform::setNormalAttributes(const std::string& path) {
  // Through a handle of the file named, and only of a plain file with one
  // name: nothing planted under that name passes the change on.
  const HandleHolder file = openItself(path, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, OPEN_EXISTING);
  if (!file || !isPlainFile(file.get())) return false;
  FILE_BASIC_INFO basic{};  // times of 0 are left as they are
  basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
  return SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof basic);
}

std::optional<std::uint64_t> Win32Platform::fileSize(const std::string& path) {
  struct _stat64 info;
  if (_stat64(path.c_str(), &info) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

std::optional<std::vector<char>> Win32Platform::readFile(const std::string& path, std::uint64_t size) {
  const FileHolder file(std::fopen(path.c_str(), "rb"));
  if (!file) return std::nullopt;
  std::vector<char> bytes(size);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
  return bytes;
}

std::optional<std::vector<std::string>> Win32Platform::listFiles(const std::string& directory) {
  const bool separated = !directory.empty() && (directory.back() == '\\' || directory.back() == '/');
  WIN32_FIND_DATAA found;
  const HANDLE first = FindFirstFileA((directory + (separated ? "*" : "\\*")).c_str(), &found);
  if (first == INVALID_HANDLE_VALUE) return std::nullopt;
  const FindHolder find(first);
  std::vector<std::string> names;
  do {
    if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
      names.push_back(found.cFileName);
  } while (FindNextFileA(find.get(), &found));
  return names;
}

bool Win32Platform::hasPaddingMarker(const std::string& executablePath) {
  // Loaded as a data file: the collector's resources are read without
  // resolving its imports or running any of its code.
  const ModuleHolder module(LoadLibraryExA(executablePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  return module && FindResourceA(module.get(), MAKEINTRESOURCEA(kPaddingName), kPaddingType) != nullptr;
}

// --- processes ---

Handle Win32Platform::createProcess(const std::string& application, const std::string& commandLine,
                                   const std::string& workingDirectory, bool show) {
  STARTUPINFOA startup;
  GetStartupInfoA(&startup);
  startup.dwFlags |= STARTF_USESHOWWINDOW;
  startup.wShowWindow = show ? SW_SHOW : SW_HIDE;
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  PROCESS_INFORMATION process{};
  const bool created = CreateProcessA(application.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                                      nullptr, workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup,
                                      &process);
  if (!created) return 0;
  CloseHandle(process.hThread);
  return toHandle(process.hProcess);
}

void Win32Platform::waitForProcess(Handle process, DWORD timeoutMs) {
  WaitForSingleObject(fromHandle<HANDLE>(process), timeoutMs);
}

std::optional<DWORD> Win32Platform::processExitCode(Handle process) {
  ::DWORD code = 0;
  if (!GetExitCodeProcess(fromHandle<HANDLE>(process), &code)) return std::nullopt;
  return code;
}

void Win32Platform::closeProcess(Handle process) { CloseHandle(fromHandle<HANDLE>(process)); }

// --- time, errors, output ---

void Win32Platform::sleep(DWORD milliseconds) { Sleep(milliseconds); }

void Win32Platform::signalStop() {
  if (stopEvent_) SetEvent(stopEvent_);
}

bool Win32Platform::waitForStop(DWORD milliseconds) {
  if (!stopEvent_) {
    Sleep(milliseconds);
    return false;
  }
  return WaitForSingleObject(stopEvent_, milliseconds) == WAIT_OBJECT_0;
}

DWORD Win32Platform::tickCount() { return GetTickCount(); }

DWORD Win32Platform::lastError() { return GetLastError(); }

void Win32Platform::setLastError(DWORD code) { SetLastError(code); }

std::string Win32Platform::failureDetail() { return failureDetail_; }

std::string Win32Platform::errorText(DWORD code) {
  LPSTR buffer = nullptr;
  const ::DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  const ::DWORD length =
      FormatMessageA(flags, nullptr, code, 0x400, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
  std::string text = length ? std::string(buffer, length) : std::string();
  LocalFree(buffer);
  return text;
}

std::optional<std::string> Win32Platform::moduleFileName() {
  char path[MAX_PATH];
  const ::DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length == MAX_PATH) return std::nullopt;
  return std::string(path, length);
}

void Win32Platform::writeStdout(const std::string& text) { writeFlushed(stdout, text); }

void Win32Platform::writeStderr(const std::string& text) { writeFlushed(stderr, text); }

// A service has no console; a program started from a console window shares it.
bool Win32Platform::isConsole() { return GetConsoleWindow() != nullptr; }

// --- event log and diagnostics ---

Handle Win32Platform::registerEventSource(const std::string& sourceName) {
  return toHandle(RegisterEventSourceA(nullptr, sourceName.c_str()));
}

bool Win32Platform::reportEvent(Handle source, WORD type, WORD category, DWORD eventId,
                                const std::vector<std::string>& strings, const std::vector<char>& rawData) {
  std::vector<LPCSTR> texts;
  for (const std::string& text : strings) texts.push_back(text.c_str());
  return ReportEventA(fromHandle<HANDLE>(source), type, category, eventId, nullptr, static_cast<WORD>(texts.size()),
                      static_cast<::DWORD>(rawData.size()), texts.data(),
                      rawData.empty() ? nullptr : const_cast<char*>(rawData.data()));
}

void Win32Platform::deregisterEventSource(Handle source) { DeregisterEventSource(fromHandle<HANDLE>(source)); }

void Win32Platform::debugOutput(const std::string& text) { OutputDebugStringA(text.c_str()); }

bool Win32Platform::appendTraceLine(const std::string& text) {
  // Appended to the file itself, and only to a plain file: a link or a
  // second name of another file planted there is left alone.
  const HandleHolder file = openItself(kTraceFile, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, OPEN_ALWAYS);
  if (!file || !isPlainFile(file.get())) return false;
  const std::string line = textModeLine(text);
  ::DWORD written = 0;
  return WriteFile(file.get(), line.data(), static_cast<::DWORD>(line.size()), &written, nullptr) &&
         written == line.size();
}

// --- service control manager ---

Handle Win32Platform::openServiceManager() {
  return toHandle(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
}

Handle Win32Platform::openService(Handle manager, const std::string& name, DWORD access) {
  return toHandle(OpenServiceA(fromHandle<SC_HANDLE>(manager), name.c_str(), access));
}

Handle Win32Platform::createService(Handle manager, const ServiceConfig& config) {
  // No account and no password: the service runs as LocalSystem.
  return toHandle(CreateServiceA(fromHandle<SC_HANDLE>(manager), config.serviceName.c_str(),
                                 config.displayName.c_str(), config.desiredAccess, config.serviceType,
                                 config.startType, config.errorControl, config.binaryPath.c_str(), nullptr, nullptr,
                                 nullptr, nullptr, nullptr));
}

bool Win32Platform::deleteService(Handle service) { return DeleteService(fromHandle<SC_HANDLE>(service)); }

bool Win32Platform::startService(Handle service) {
  failureDetail_.clear();  // the error code says it all
  return StartServiceA(fromHandle<SC_HANDLE>(service), 0, nullptr);
}

bool Win32Platform::queryServiceStatus(Handle service, ServiceStatus& status) {
  failureDetail_.clear();  // the error code says it all
  SERVICE_STATUS_PROCESS process{};
  ::DWORD needed = 0;
  if (!QueryServiceStatusEx(fromHandle<SC_HANDLE>(service), SC_STATUS_PROCESS_INFO,
                            reinterpret_cast<LPBYTE>(&process), sizeof process, &needed)) {
    return false;
  }
  status.serviceType = process.dwServiceType;
  status.currentState = process.dwCurrentState;
  status.controlsAccepted = process.dwControlsAccepted;
  status.win32ExitCode = process.dwWin32ExitCode;
  status.serviceSpecificExitCode = process.dwServiceSpecificExitCode;
  status.checkPoint = process.dwCheckPoint;
  status.waitHint = process.dwWaitHint;
  return true;
}

bool Win32Platform::closeServiceHandle(Handle handle) { return CloseServiceHandle(fromHandle<SC_HANDLE>(handle)); }

bool Win32Platform::startServiceCtrlDispatcher(const std::string& name, ServiceMainFunction serviceMain) {
  storedServiceMain.store(serviceMain);
  std::vector<char> serviceName(name.begin(), name.end());
  serviceName.push_back('\0');
  const SERVICE_TABLE_ENTRYA table[] = {{serviceName.data(), serviceMainTrampoline}, {nullptr, nullptr}};
  return StartServiceCtrlDispatcherA(table);
}

Handle Win32Platform::registerServiceCtrlHandler(const std::string& name, ServiceHandlerFunction handler) {
  storedHandler.store(handler);
  return toHandle(RegisterServiceCtrlHandlerA(name.c_str(), handlerTrampoline));
}

bool Win32Platform::setServiceStatus(Handle statusHandle, const ServiceStatus& status) {
  SERVICE_STATUS record{status.serviceType,   status.currentState,
                        status.controlsAccepted, status.win32ExitCode,
                        status.serviceSpecificExitCode, status.checkPoint,
                        status.waitHint};
  return SetServiceStatus(fromHandle<SERVICE_STATUS_HANDLE>(statusHandle), &record);
}

}  // namespace rulo
