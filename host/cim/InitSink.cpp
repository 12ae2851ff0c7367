#include "host/cim/InitSink.h"

namespace wmihost {

using qrv::com::ComPtr;

ComPtr<InitSink> InitSink::create() { return ComPtr<InitSink>::adopt(new InitSink()); }

std::vector<InitStatus> InitSink::statuses() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return statuses_;
}

HRESULT InitSink::SetStatus(LONG lStatus, LONG lFlags) {
  std::lock_guard<std::mutex> lock(mutex_);
  statuses_.push_back(InitStatus{lStatus, lFlags});
  return S_OK;
}

}  // namespace wmihost
