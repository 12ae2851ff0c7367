#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

#include "compat/com/BstrCopy.h"
#include "compat/com/VariantApi.h"

namespace {

// The element type lives in front of the array, where Windows keeps it too.
struct ArrayBlock {
  VARTYPE vartype;
  SAFEARRAY array;
};

ArrayBlock* blockOf(SAFEARRAY* psa) {
  return reinterpret_cast<ArrayBlock*>(reinterpret_cast<char*>(psa) - offsetof(ArrayBlock, array));
}

VARTYPE vartypeOf(SAFEARRAY* psa) { return blockOf(psa)->vartype; }

// The size of one element, or 0 for a type that arrays here cannot hold.
ULONG elementSize(VARTYPE vt) {
  switch (vt) {
    case VT_I1:
    case VT_UI1:
      return 1;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
      return 2;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_ERROR:
      return 4;
    case VT_I8:
    case VT_UI8:
    case VT_R8:
    case VT_DATE:
      return 8;
    case VT_BSTR:
      return sizeof(BSTR);
    case VT_UNKNOWN:
    case VT_DISPATCH:
      return sizeof(IUnknown*);
    case VT_VARIANT:
      return sizeof(VARIANT);
    default:
      return 0;
  }
}

USHORT featuresOf(VARTYPE vt) {
  switch (vt) {
    case VT_BSTR:
      return FADF_HAVEVARTYPE | FADF_BSTR;
    case VT_UNKNOWN:
      return FADF_HAVEVARTYPE | FADF_UNKNOWN;
    case VT_DISPATCH:
      return FADF_HAVEVARTYPE | FADF_DISPATCH;
    case VT_VARIANT:
      return FADF_HAVEVARTYPE | FADF_VARIANT;
    default:
      return FADF_HAVEVARTYPE;
  }
}

bool holdsInterface(VARTYPE vt) { return vt == VT_UNKNOWN || vt == VT_DISPATCH; }

// Copies the element at source into the unowned slot target: BSTRs are
// duplicated, VARIANTs copied deeply, interfaces AddRef'ed.
HRESULT copyElement(VARTYPE vt, ULONG size, const void* source, void* target) {
  if (vt == VT_BSTR) {
    return compat::copyBstr(*static_cast<const BSTR*>(source), static_cast<BSTR*>(target)) ? S_OK
                                                                                           : E_OUTOFMEMORY;
  }
  if (vt == VT_VARIANT) {
    VARIANT* variant = static_cast<VARIANT*>(target);
    VariantInit(variant);
    return VariantCopy(variant, static_cast<const VARIANT*>(source));
  }
  std::memcpy(target, source, size);
  if (holdsInterface(vt) && *static_cast<IUnknown**>(target)) (*static_cast<IUnknown**>(target))->AddRef();
  return S_OK;
}

// Frees what the element in slot owns.
void clearElement(VARTYPE vt, void* slot) {
  if (vt == VT_BSTR) {
    SysFreeString(*static_cast<BSTR*>(slot));
  } else if (vt == VT_VARIANT) {
    VariantClear(static_cast<VARIANT*>(slot));
  } else if (holdsInterface(vt) && *static_cast<IUnknown**>(slot)) {
    (*static_cast<IUnknown**>(slot))->Release();
  }
}

char* elementAt(SAFEARRAY* psa, ULONG position) {
  return static_cast<char*>(psa->pvData) + static_cast<size_t>(position) * psa->cbElements;
}

// The zero-based position of the element at index, or false when the index
// lies outside the bounds.
bool positionOf(SAFEARRAY* psa, const LONG* rgIndices, ULONG* position) {
  const int64_t offset = int64_t{rgIndices[0]} - psa->rgsabound[0].lLbound;
  if (offset < 0 || offset >= int64_t{psa->rgsabound[0].cElements}) return false;
  *position = static_cast<ULONG>(offset);
  return true;
}

void destroyElements(SAFEARRAY* psa) {
  const VARTYPE vt = vartypeOf(psa);
  for (ULONG i = 0; i < psa->rgsabound[0].cElements; ++i) clearElement(vt, elementAt(psa, i));
}

}  // namespace

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT cDims, SAFEARRAYBOUND* rgsabound) {
  const ULONG size = elementSize(vt);
  if (cDims != 1 || !rgsabound || size == 0) return nullptr;
  const ULONG count = rgsabound[0].cElements;
  void* data = std::calloc(count == 0 ? 1 : count, size);
  ArrayBlock* block = data ? new (std::nothrow) ArrayBlock{} : nullptr;
  if (!block) {
    std::free(data);
    return nullptr;
  }
  block->vartype = vt;
  SAFEARRAY& array = block->array;
  array.cDims = 1;
  array.fFeatures = featuresOf(vt);
  array.cbElements = size;
  array.pvData = data;
  array.rgsabound[0] = rgsabound[0];
  return &array;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements) {
  SAFEARRAYBOUND bound{cElements, lLbound};
  return SafeArrayCreate(vt, 1, &bound);
}

HRESULT SafeArrayDestroy(SAFEARRAY* psa) {
  if (!psa) return S_OK;
  if (psa->cLocks > 0) return DISP_E_ARRAYISLOCKED;
  destroyElements(psa);
  std::free(psa->pvData);
  delete blockOf(psa);
  return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* psa, SAFEARRAY** ppsaOut) {
  if (!ppsaOut) return E_INVALIDARG;
  *ppsaOut = nullptr;
  if (!psa) return S_OK;
  const VARTYPE vt = vartypeOf(psa);
  SAFEARRAY* copy = SafeArrayCreate(vt, 1, psa->rgsabound);
  if (!copy) return E_OUTOFMEMORY;
  for (ULONG i = 0; i < psa->rgsabound[0].cElements; ++i) {
    const HRESULT hr = copyElement(vt, psa->cbElements, elementAt(psa, i), elementAt(copy, i));
    if (FAILED(hr)) {
      SafeArrayDestroy(copy);
      return hr;
    }
  }
  *ppsaOut = copy;
  return S_OK;
}

UINT SafeArrayGetDim(SAFEARRAY* psa) { return psa ? psa->cDims : 0; }

UINT SafeArrayGetElemsize(SAFEARRAY* psa) { return psa ? psa->cbElements : 0; }

HRESULT SafeArrayGetVartype(SAFEARRAY* psa, VARTYPE* pvt) {
  if (!psa || !pvt) return E_INVALIDARG;
  *pvt = vartypeOf(psa);
  return S_OK;
}

HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound) {
  if (!psa || !plLbound) return E_INVALIDARG;
  if (nDim != 1) return DISP_E_BADINDEX;
  *plLbound = psa->rgsabound[0].lLbound;
  return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound) {
  if (!psa || !plUbound) return E_INVALIDARG;
  if (nDim != 1) return DISP_E_BADINDEX;
  *plUbound = static_cast<LONG>(int64_t{psa->rgsabound[0].lLbound} + psa->rgsabound[0].cElements - 1);
  return S_OK;
}

HRESULT SafeArrayPutElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) {
  if (!psa || !rgIndices) return E_INVALIDARG;
  const VARTYPE vt = vartypeOf(psa);
  // BSTRs and interface pointers are passed as themselves, other values by
  // address.
  const bool passedByValue = vt == VT_BSTR || holdsInterface(vt);
  if (!passedByValue && !pv) return E_INVALIDARG;
  ULONG position = 0;
  if (!positionOf(psa, rgIndices, &position)) return DISP_E_BADINDEX;
  VARIANT staged;  // large enough for any element
  const HRESULT hr = copyElement(vt, psa->cbElements, passedByValue ? &pv : pv, &staged);
  if (FAILED(hr)) return hr;
  char* slot = elementAt(psa, position);
  clearElement(vt, slot);
  std::memcpy(slot, &staged, psa->cbElements);
  return S_OK;
}

HRESULT SafeArrayGetElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) {
  if (!psa || !rgIndices || !pv) return E_INVALIDARG;
  ULONG position = 0;
  if (!positionOf(psa, rgIndices, &position)) return DISP_E_BADINDEX;
  return copyElement(vartypeOf(psa), psa->cbElements, elementAt(psa, position), pv);
}

HRESULT SafeArrayLock(SAFEARRAY* psa) {
  if (!psa) return E_INVALIDARG;
  ++psa->cLocks;
  return S_OK;
}

HRESULT SafeArrayUnlock(SAFEARRAY* psa) {
  if (!psa) return E_INVALIDARG;
  if (psa->cLocks == 0) return E_UNEXPECTED;
  --psa->cLocks;
  return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData) {
  if (!ppvData) return E_INVALIDARG;
  const HRESULT hr = SafeArrayLock(psa);
  *ppvData = SUCCEEDED(hr) ? psa->pvData : nullptr;
  return hr;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* psa) { return SafeArrayUnlock(psa); }
