#include "provider/wmi/ArrayProperties.h"

#include "common/com/Bstr.h"
#include "common/com/SafeArray.h"
#include "common/com/TextConversion.h"
#include "provider/diagnostic/Diagnostic.h"
#include "provider/wmi/DiagnosticText.h"
#include "provider/wmi/PropertyType.h"
#include "provider/wmi/ResultTextToWide.h"

namespace qrv::cim {

using com::Bstr;
using com::SafeArray;

namespace {

// Stores the texts as the array's elements, read as UTF-8 or in the
// process ANSI code page; stops at the first element that cannot be stored.
HRESULT storeElements(SAFEARRAY* array, const std::vector<std::string>& texts) {
  HRESULT status = S_OK;
  for (LONG i = 0; i < static_cast<LONG>(texts.size()) && SUCCEEDED(status); ++i) {
    const Bstr element(resultTextToWide(texts[static_cast<size_t>(i)], CP_ACP));
    status = SafeArrayPutElement(array, &i, element.get());
  }
  return status;
}

HRESULT putArrayProperty(const std::string& property, const std::vector<std::string>& texts,
                         IWbemClassObject* instance, HRESULT status) {
  SAFEARRAYBOUND bound;
  bound.cElements = static_cast<ULONG>(texts.size());
  bound.lLbound = 0;
  const SafeArray array(SafeArrayCreate(VT_BSTR, 1, &bound));
  if (!array) return status;
  CIMTYPE type = CIM_EMPTY;
  status = getPropertyType(instance, property, &type);
  if (FAILED(status)) return status;
  status = storeElements(array.get(), texts);
  if (FAILED(status)) return status;
  // The value borrows the array: Put copies it, and `array` destroys it.
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_ARRAY | VT_BSTR;
  value.parray = array.get();
  status = instance->Put(resultTextToWide(property, CP_THREAD_ACP).c_str(), 0, &value, 0);
  if (FAILED(status)) {
    diagnose([&] {
      std::string elements;
      for (const std::string& text : texts) elements += (elements.empty() ? "\"" : ", \"") + text + "\"";
      return "dropped " + classNameOf(instance) + "." + property + " = {" + elements + "}: WMI refused it as " +
             cimTypeName(type) + " with " + hresultHex(status);
    });
  }
  return status;
}

}  // namespace

HRESULT putArrayProperties(const ArrayValues& arrays, IWbemClassObject* instance) {
  HRESULT status = S_OK;
  for (const auto& [property, texts] : arrays) status = putArrayProperty(property, texts, instance, status);
  return status;
}

}  // namespace qrv::cim
