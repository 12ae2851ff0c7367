#include "host/cli/ListOutput.h"

#include <cstdio>

#include "host/cim/WbemObject.h"
#include "host/cli/PlainValue.h"
#include "host/cli/ShownValue.h"

namespace wmihost {

namespace {

std::string escapeOf(char c) {
  switch (c) {
    case '\n':
      return "\\n";
    case '\r':
      return "\\r";
    case '\t':
      return "\\t";
    default: {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
      return escape;
    }
  }
}

std::string oneLine(const std::string& text) {
  std::string line;
  for (const char c : text) line += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? escapeOf(c) : std::string(1, c);
  return line;
}

std::string objectLines(const WbemObject& object, const std::vector<std::string_view>& systemProperties) {
  std::string lines;
  for (const ShownValue& shown : shownValues(object, systemProperties)) {
    const auto value = plainValue(shown.type, *shown.value, ", ");
    lines += shown.name + (value ? " = " + oneLine(*value) : " =") + "\n";
  }
  return lines;
}

}  // namespace

std::string listText(const std::vector<qrv::com::ComPtr<IWbemClassObject>>& objects,
                     const std::vector<std::string_view>& systemProperties) {
  std::string text;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    text += (i ? "\n" : "") + objectLines(WbemObject::delivered(objects[i].get()), systemProperties);
  }
  return text;
}

}  // namespace wmihost
