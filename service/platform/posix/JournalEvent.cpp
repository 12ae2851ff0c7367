#include "service/platform/posix/JournalEvent.h"

#include <syslog.h>

#include <cstdio>

namespace rulo::posix {

namespace {

enum EventType : WORD { kSuccess = 0, kError = 1, kWarning = 2, kInformation = 4, kAuditSuccess = 8, kAuditFailure = 16 };

std::string hex(DWORD number) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(number));
  return text;
}

}  // namespace

int journalPriority(WORD type) {
  switch (type) {
    case kError:
      return LOG_ERR;
    case kWarning:
    case kAuditFailure:
      return LOG_WARNING;
    case kSuccess:
    case kAuditSuccess:
      return LOG_NOTICE;
    default:
      return LOG_INFO;
  }
}

std::vector<std::string> journalFields(const std::string& source, WORD type, WORD category, DWORD eventId,
                                       const std::vector<std::string>& strings, const std::vector<char>& rawData) {
  std::vector<std::string> fields{
      "MESSAGE=" + (strings.empty() ? std::string() : strings.back()),
      "PRIORITY=" + std::to_string(journalPriority(type)),
      "SYSLOG_IDENTIFIER=" + source,
      "EVENT_ID=" + hex(eventId),
      "EVENT_TYPE=" + std::to_string(type),
      "EVENT_CATEGORY=" + std::to_string(category),
  };
  if (strings.size() > 1 && !strings.front().empty()) fields.push_back("EVENT_ERROR_TEXT=" + strings.front());
  if (!rawData.empty()) fields.push_back("EVENT_DATA=" + std::string(rawData.begin(), rawData.end()));
  return fields;
}

}  // namespace rulo::posix
