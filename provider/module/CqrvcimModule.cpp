#include "provider/module/CqrvcimModule.h"

#include "common/com/CallGuard.h"
#include "common/com/GuidText.h"
#include "provider/module/ClassInfo.h"
#include "provider/module/ComIdentity.h"
#include "provider/module/QVProviderFactory.h"
#include "provider/registration/ModuleRoots.h"

namespace qrv::cim {

using com::guidText;

CqrvcimModule::~CqrvcimModule() = default;

bool CqrvcimModule::initialize() {
  const HRESULT hr = com::guardCall(com::kComFailures, [this] {
    modulePath_ = moduleFileName();
    return S_OK;
  });
  return SUCCEEDED(hr) && initialized();
}

void CqrvcimModule::lock() { ++lockCount_; }

void CqrvcimModule::unlock() { --lockCount_; }

HRESULT CqrvcimModule::classInfo(ITypeInfo** typeInfo) { return coclassTypeInfo(modulePath_, typeInfo); }

Replacements CqrvcimModule::registrationReplacements() const { return {{"APPID", guidText(kAppId)}}; }

HRESULT CqrvcimModule::getClassObject(REFIID riid, void** ppv) {
  std::lock_guard<std::mutex> guard(factoryLock_);
  if (!factory_) {
    factory_.assign(new QVProviderFactory(*this));
  }
  return factory_->QueryInterface(riid, ppv);
}

CqrvcimModule& theModule() {
  static CqrvcimModule module;
  return module;
}

}  // namespace qrv::cim
