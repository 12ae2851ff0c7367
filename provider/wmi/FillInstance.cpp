#include "provider/wmi/FillInstance.h"

#include "common/com/TextConversion.h"
#include "common/com/Variant.h"
#include "provider/diagnostic/Diagnostic.h"
#include "provider/wmi/ArrayProperties.h"
#include "provider/wmi/CimDateTime.h"
#include "provider/wmi/DiagnosticText.h"
#include "provider/wmi/PropertyType.h"
#include "provider/wmi/ResultTextToWide.h"

namespace qrv::cim {

using com::Variant;
using com::assignText;
using com::toWide;

namespace {

// The value to put for an entry of a scalar property of `type`; false for
// the types that are never filled.
bool scalarValue(CIMTYPE type, const std::string& text, VARIANT* value) {
  switch (type) {
    case CIM_DATETIME:
      toCimDateTime(value, text);
      return true;
    case CIM_REFERENCE:
      assignText(value, toWide(text));
      return true;
    case CIM_EMPTY:
    case CIM_OBJECT:
    case CIM_ILLEGAL:
      return false;
    default:
      assignText(value, resultTextToWide(text, CP_THREAD_ACP));
      return true;
  }
}

// "Korvex_Disk.SizeBytes = "64 bits"": where a dropped value belonged.
std::string describeValue(IWbemClassObject* instance, const std::string& name, const std::string& text) {
  return classNameOf(instance) + "." + name + " = \"" + text + "\"";
}

void putScalar(IWbemClassObject* instance, const std::string& property, CIMTYPE type, const std::string& text) {
  Variant value;
  if (!scalarValue(type, text, value.get())) {
    diagnose([&] { return "dropped " + describeValue(instance, property, text) + ": a property of type " +
                          cimTypeName(type) + " is never filled"; });
    return;
  }
  if (type == CIM_DATETIME && value.get()->vt == VT_EMPTY) {
    diagnose([&] { return "left " + describeValue(instance, property, text) +
                          " unset: a negative count of seconds has no date"; });
  }
  const HRESULT hr = instance->Put(resultTextToWide(property, CP_THREAD_ACP).c_str(), 0, value.get(), 0);
  if (FAILED(hr)) {
    diagnose([&] { return "dropped " + describeValue(instance, property, text) + ": WMI refused it as " +
                          cimTypeName(type) + " with " + hresultHex(hr); });
  }
}

}  // namespace

HRESULT fillInstance(const ParsedInstance& parsed, IWbemClassObject* instance) {
  ArrayValues arrays;
  for (const ParsedInstance::Property entry : parsed) {
    const std::string name(entry.first);  // named, not bound: lambdas capture it
    const std::string text(entry.second);
    const std::string property = name.substr(0, name.find('['));
    CIMTYPE type = CIM_EMPTY;
    if (FAILED(getPropertyType(instance, property, &type))) {
      diagnose([&] { return "dropped " + describeValue(instance, name, text) + ": the class has no property " +
                            property; });
      continue;
    }
    if (type & CIM_FLAG_ARRAY) {
      arrays[property].push_back(text);
    } else {
      putScalar(instance, property, type, text);
    }
  }
  return putArrayProperties(arrays, instance);
}

}  // namespace qrv::cim
