#include "collector/Inventory.h"

#include <cstdio>

#include "collector/CivilDate.h"

namespace collector {

namespace {

// The source's element, or nullopt with the failure in the log.
std::optional<XmlElement> ask(const Source& source, std::vector<std::string>& logLines) {
  Notes notes;
  try {
    XmlElement element = source.collect(notes);
    for (const std::string& note : notes) logLines.push_back(source.name + ": " + note);
    return element;
  } catch (const std::exception& failure) {
    logLines.push_back(source.name + " failed: " + failure.what());
  }
  return std::nullopt;
}

}  // namespace

Inventory collectInventory(const std::vector<Source>& sources, std::int64_t collectedAt) {
  Inventory inventory;
  inventory.document.set("collector", std::string("korvex-collector 3.0"))
      .set("format", std::string("3"))
      .set("system", std::string("windows"))
      .set("collected", std::to_string(collectedAt));
  for (const Source& source : sources) {
    std::optional<XmlElement> element = ask(source, inventory.logLines);
    if (element) {
      inventory.document.add(std::move(*element));
    } else {
      ++inventory.failed;
    }
  }
  if (inventory.document.children().empty()) {
    inventory.status = kNothingCollected;
  } else {
    inventory.status = inventory.failed == 0 ? kAllAnswered : kSomeFailed;
  }
  return inventory;
}

std::string logText(const std::vector<std::string>& lines, std::int64_t epochSeconds) {
  const CivilTime time = civilFromSeconds(epochSeconds);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02u-%02uT%02d:%02d:%02dZ ", time.date.year, time.date.month,
                time.date.day, time.hour, time.minute, time.second);
  std::string text;
  for (const std::string& line : lines) text += stamp + line + "\n";
  return text;
}

}  // namespace collector
