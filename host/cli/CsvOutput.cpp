#include "host/cli/CsvOutput.h"

#include "host/cim/WbemObject.h"
#include "host/cli/PlainValue.h"
#include "host/cli/ShownValue.h"

namespace wmihost {

namespace {

bool needsQuotes(const std::string& text) {
  return text.empty() || text.find_first_of(",\"\r\n") != std::string::npos || text.front() == ' ' ||
         text.back() == ' ';
}

std::string row(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) line += (i ? "," : "") + fields[i];
  return line + "\n";
}

// A field after RFC 4180: quoted where it has to be.
std::string csvField(const std::string& text) {
  if (!needsQuotes(text)) return text;
  std::string quoted = "\"";
  for (const char c : text) quoted += c == '"' ? "\"\"" : std::string(1, c);
  return quoted + "\"";
}

}  // namespace

std::string csvText(const std::vector<qrv::com::ComPtr<IWbemClassObject>>& objects,
                    const std::vector<std::string_view>& systemProperties) {
  std::string text;
  std::vector<std::string> header;
  for (const auto& object : objects) {
    std::vector<std::string> names;
    std::vector<std::string> fields;
    for (const ShownValue& shown : shownValues(WbemObject::delivered(object.get()), systemProperties)) {
      names.push_back(csvField(shown.name));
      const auto value = plainValue(shown.type, *shown.value, ";");
      fields.push_back(value ? csvField(*value) : std::string());
    }
    if (names != header) {
      text += (header.empty() ? "" : "\n") + row(names);
      header = std::move(names);
    }
    text += row(fields);
  }
  return text;
}

}  // namespace wmihost
