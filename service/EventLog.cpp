#include "service/EventLog.h"

#include <algorithm>

#include "service/DebugTrace.h"
#include "service/ScopedHandle.h"
#include "service/ServiceIdentity.h"
#include "service/TextBuffers.h"

namespace rulo {

namespace {

constexpr DWORD kTypesSupported = 7;  // error, warning and information

// Set by ConsoleEventEcho on the thread that starts the console run, before
// any other thread of the run exists.
bool echoToConsole = false;

const char* TypeWord(WORD type) {
  switch (type) {
    case EventSuccess:
      return "success";
    case EventWarning:
      return "warning";
    case EventInformation:
      return "information";
    default:
      return "error";
  }
}

// "rulosrv: TYPE: text", then the error text and the raw data, each line indented.
std::string ConsoleText(WORD type, const std::string& text, const std::string& errorText,
                        const std::vector<char>& rawData) {
  std::string out = std::string(kServiceName) + ": " + TypeWord(type) + ": " + text + "\n";
  for (const std::string& more : {errorText, std::string(rawData.begin(), rawData.end())}) {
    std::size_t start = 0;
    while (start < more.size() && more[start] != '\0') {
      const std::size_t end = std::min(more.find_first_of(std::string("\n\0", 2), start), more.size());
      out += "  " + more.substr(start, end - start) + "\n";
      start = end + 1;
    }
  }
  return out;
}

DWORD EventIdFor(WORD type) {
  switch (type) {
    case EventSuccess:
    case EventInformation:
      return kEventIdInformational;
    case EventWarning:
      return kEventIdWarning;
    default:
      return kEventIdError;
  }
}

std::vector<char> TextWithTerminator(const std::string& text) {
  std::vector<char> bytes(text.begin(), text.end());
  bytes.push_back('\0');
  return bytes;
}

std::vector<char> DwordBytes(DWORD value) {
  std::vector<char> bytes;
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>((value >> shift) & 0xFF));
  return bytes;
}

}  // namespace

std::string LastErrorText() {
  Platform& platform = currentPlatform();
  const DWORD code = platform.lastError();
  return FitText(std::string(kServiceName) + " error (" + SignedText(code) + "): " + platform.errorText(code),
                 kErrorTextBufferSize);
}

std::string ReportServiceEvent(const std::string& text, WORD type, const std::vector<char>& rawData) {
  Platform& platform = currentPlatform();
  const DWORD eventId = EventIdFor(type);
  const std::string errorText = eventId == kEventIdError ? LastErrorText() : std::string();
  ScopedHandle source(platform, platform.registerEventSource(kServiceName), ReleaseEventSource);
  if (source) platform.reportEvent(source.get(), type, kEventCategory, eventId, {errorText, text}, rawData);
  if (echoToConsole) platform.writeStdout(ConsoleText(type, text, errorText, rawData));
  return errorText;
}

void ReportEventDetail(const std::string& text) {
  WriteDebugTrace(text);
  if (echoToConsole) currentPlatform().writeStdout("  " + text + "\n");
}

ConsoleEventEcho::ConsoleEventEcho() { echoToConsole = true; }

ConsoleEventEcho::~ConsoleEventEcho() { echoToConsole = false; }

bool AddEventSource(const std::string& sourceName, const std::string& messageFile, DWORD categoryCount) {
  const std::string keyPath = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\" + sourceName;
  if (!FitsBuffer(keyPath, kPathBufferSize)) return false;
  Platform& platform = currentPlatform();
  ScopedHandle key(platform, platform.createRegistryKey(keyPath), CloseKey);
  if (!key) return false;
  const std::vector<char> messageFileBytes = TextWithTerminator(messageFile);
  return platform.setRegistryValue(key.get(), "EventMessageFile", RegExpandSz, messageFileBytes) &&
         platform.setRegistryValue(key.get(), "TypesSupported", RegDword, DwordBytes(kTypesSupported)) &&
         platform.setRegistryValue(key.get(), "CategoryMessageFile", RegExpandSz, messageFileBytes) &&
         platform.setRegistryValue(key.get(), "CategoryCount", RegDword, DwordBytes(categoryCount));
}

}  // namespace rulo
