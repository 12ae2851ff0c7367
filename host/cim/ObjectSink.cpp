#include "host/cim/ObjectSink.h"

namespace wmihost {

using qrv::com::ComPtr;

ComPtr<ObjectSink> ObjectSink::create() { return ComPtr<ObjectSink>::adopt(new ObjectSink()); }

std::vector<ComPtr<IWbemClassObject>> ObjectSink::objects() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return objects_;
}

std::vector<SinkStatus> ObjectSink::statuses() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return statuses_;
}

HRESULT ObjectSink::Indicate(LONG lObjectCount, IWbemClassObject** apObjArray) {
  if (lObjectCount < 0 || (lObjectCount > 0 && !apObjArray)) return static_cast<HRESULT>(WBEM_E_INVALID_PARAMETER);
  std::vector<ComPtr<IWbemClassObject>> received;
  for (LONG i = 0; i < lObjectCount; ++i) {
    if (!apObjArray[i]) return static_cast<HRESULT>(WBEM_E_INVALID_PARAMETER);
    received.push_back(ComPtr<IWbemClassObject>::share(apObjArray[i]));
  }
  std::lock_guard<std::mutex> lock(mutex_);
  objects_.insert(objects_.end(), received.begin(), received.end());
  return S_OK;
}

HRESULT ObjectSink::SetStatus(LONG lFlags, HRESULT hResult, BSTR strParam, IWbemClassObject* pObjParam) {
  SinkStatus status{lFlags, hResult, std::nullopt, ComPtr<IWbemClassObject>::share(pObjParam)};
  if (strParam) status.text = qrv::com::WideText(strParam, SysStringLen(strParam));
  std::lock_guard<std::mutex> lock(mutex_);
  statuses_.push_back(std::move(status));
  return S_OK;
}

}  // namespace wmihost
