#include "host/cli/ObjectOutput.h"

#include "host/cim/ObjectText.h"
#include "host/cim/WbemObject.h"
#include "host/cli/CsvOutput.h"
#include "host/cli/JsonObject.h"
#include "host/cli/ListOutput.h"

namespace wmihost {

using qrv::com::ComPtr;

namespace {

const WbemObject& hostObject(IWbemClassObject* object) { return WbemObject::delivered(object); }

using SystemProperties = std::vector<std::string_view>;

std::string mofText(const std::vector<ComPtr<IWbemClassObject>>& objects, const SystemProperties& systemProperties) {
  std::string text;
  for (const auto& object : objects) text += objectText(hostObject(object.get()), systemProperties);
  return text;
}

std::string jsonArray(const std::vector<ComPtr<IWbemClassObject>>& objects, const SystemProperties& systemProperties) {
  if (objects.empty()) return "[]\n";
  std::string text = "[\n";
  for (std::size_t i = 0; i < objects.size(); ++i) {
    text += "  " + jsonObject(hostObject(objects[i].get()), systemProperties);
    text += i + 1 < objects.size() ? ",\n" : "\n";
  }
  return text + "]\n";
}

}  // namespace

std::string jsonLine(const std::vector<ComPtr<IWbemClassObject>>& objects, const SystemProperties& systemProperties) {
  std::string text = "[";
  for (std::size_t i = 0; i < objects.size(); ++i) {
    text += (i ? ", " : "") + jsonObject(hostObject(objects[i].get()), systemProperties);
  }
  return text + "]";
}

std::string formatObjects(const std::vector<ComPtr<IWbemClassObject>>& objects, OutputFormat format,
                          const SystemProperties& systemProperties) {
  switch (format) {
    case OutputFormat::Json:
      return jsonArray(objects, systemProperties);
    case OutputFormat::List:
      return listText(objects, systemProperties);
    case OutputFormat::Csv:
      return csvText(objects, systemProperties);
    default:
      return mofText(objects, systemProperties);
  }
}

}  // namespace wmihost
