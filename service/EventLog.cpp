#include "service/EventLog.h"

#include "service/ScopedHandle.h"
#include "service/ServiceIdentity.h"
#include "service/TextBuffers.h"

namespace rulo {

namespace {

constexpr DWORD kTypesSupported = 7;  // error, warning and information

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

// "rulosrv error (code): system text" for the last platform error of this moment.
std::string ErrorText(Platform& platform) {
  const DWORD code = platform.lastError();
  return FitText(std::string(kServiceName) + " error (" + SignedText(code) + "): " + platform.errorText(code),
                 kErrorTextBufferSize);
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

std::string ReportServiceEvent(const std::string& text, WORD type, const std::vector<char>& rawData) {
  Platform& platform = currentPlatform();
  const DWORD eventId = EventIdFor(type);
  const std::string errorText = eventId == kEventIdError ? ErrorText(platform) : std::string();
  ScopedHandle source(platform, platform.registerEventSource(kServiceName), ReleaseEventSource);
  if (source) platform.reportEvent(source.get(), type, kEventCategory, eventId, {errorText, text}, rawData);
  return errorText;
}

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
