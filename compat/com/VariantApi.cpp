#include "compat/com/VariantApi.h"

#include "compat/com/BstrCopy.h"

namespace {

bool holdsInterface(VARTYPE vt) { return vt == VT_UNKNOWN || vt == VT_DISPATCH; }

// Makes target own a copy of what source's value refers to. target starts as
// a bitwise copy of source.
HRESULT deepenCopy(const VARIANT& source, VARIANT& target) {
  if (source.vt & VT_BYREF) return S_OK;
  if (source.vt & VT_ARRAY) return source.parray ? SafeArrayCopy(source.parray, &target.parray) : S_OK;
  if (source.vt == VT_BSTR) return compat::copyBstr(source.bstrVal, &target.bstrVal) ? S_OK : E_OUTOFMEMORY;
  if (holdsInterface(source.vt) && source.punkVal) source.punkVal->AddRef();
  return S_OK;
}

// Frees what the value owns; a reference owns nothing.
HRESULT releaseValue(VARIANT& value) {
  if (value.vt & VT_BYREF) return S_OK;
  if (value.vt & VT_ARRAY) return SafeArrayDestroy(value.parray);
  if (value.vt == VT_BSTR) {
    SysFreeString(value.bstrVal);
  } else if (holdsInterface(value.vt) && value.punkVal) {
    value.punkVal->Release();
  }
  return S_OK;
}

}  // namespace

void VariantInit(VARIANT* pvarg) {
  pvarg->vt = VT_EMPTY;
  pvarg->wReserved1 = pvarg->wReserved2 = pvarg->wReserved3 = 0;
}

HRESULT VariantClear(VARIANT* pvarg) {
  if (!pvarg) return E_INVALIDARG;
  const HRESULT hr = releaseValue(*pvarg);
  if (SUCCEEDED(hr)) pvarg->vt = VT_EMPTY;
  return hr;
}

HRESULT VariantCopy(VARIANT* pvargDest, const VARIANT* pvargSrc) {
  if (!pvargDest || !pvargSrc) return E_INVALIDARG;
  if (pvargDest == pvargSrc) return S_OK;
  const HRESULT cleared = VariantClear(pvargDest);
  if (FAILED(cleared)) return cleared;
  VARIANT copy = *pvargSrc;
  const HRESULT hr = deepenCopy(*pvargSrc, copy);
  if (SUCCEEDED(hr)) *pvargDest = copy;
  return hr;
}
