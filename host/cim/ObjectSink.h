#pragma once
// The sink the stand-in hands to a provider's asynchronous calls. It keeps
// every object indicated, in order and with a reference of its own, and
// every SetStatus call. Calls may come from any thread.

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "common/com/ComObject.h"
#include "common/com/ComPtr.h"
#include "common/com/TextConversion.h"

namespace wmihost {

struct SinkStatus {
  LONG flags = 0;
  HRESULT result = S_OK;
  // The text passed with the status, if any.
  std::optional<qrv::com::WideText> text;
  qrv::com::ComPtr<IWbemClassObject> object;
};

class ObjectSink final
    : public qrv::com::ComObject<qrv::com::Threading::Free,
                                 qrv::com::Implements<IWbemObjectSink, IID_IWbemObjectSink>> {
 public:
  static qrv::com::ComPtr<ObjectSink> create();

  std::vector<qrv::com::ComPtr<IWbemClassObject>> objects() const;
  std::vector<SinkStatus> statuses() const;

  // A negative count or a missing object is WBEM_E_INVALID_PARAMETER, and
  // then none of the call's objects is kept.
  HRESULT STDMETHODCALLTYPE Indicate(LONG lObjectCount, IWbemClassObject** apObjArray) override;
  HRESULT STDMETHODCALLTYPE SetStatus(LONG lFlags, HRESULT hResult, BSTR strParam,
                                      IWbemClassObject* pObjParam) override;

 private:
  ObjectSink() = default;

  mutable std::mutex mutex_;
  std::vector<qrv::com::ComPtr<IWbemClassObject>> objects_;
  std::vector<SinkStatus> statuses_;
};

}  // namespace wmihost
