// On Windows the type information comes from the type library embedded in
// the module.

#include "common/com/ComPtr.h"
#include "common/com/TextConversion.h"
#include "provider/module/ClassInfo.h"
#include "provider/module/ComIdentity.h"

namespace qrv::cim {

using com::ComPtr;
using com::toWide;

HRESULT coclassTypeInfo(const std::string& modulePath, ITypeInfo** typeInfo) {
  ComPtr<ITypeLib> library;
  const HRESULT hr = LoadTypeLib(toWide(modulePath, CP_ACP).c_str(), library.put());
  if (FAILED(hr)) return hr;
  return library->GetTypeInfoOfGuid(kClsidQVProvider, typeInfo);
}

}  // namespace qrv::cim
