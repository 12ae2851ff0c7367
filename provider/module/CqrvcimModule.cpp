#include "provider/module/CqrvcimModule.h"

#include <new>

#include "provider/module/ClassInfo.h"
#include "provider/module/ComIdentity.h"
#include "common/com/GuidText.h"
#include "provider/module/QVProviderFactory.h"
#include "provider/registration/ModuleRoots.h"

namespace qrv::cim {

CqrvcimModule::~CqrvcimModule() = default;

bool CqrvcimModule::initialize() {
  modulePath_ = moduleFileName();
  return initialized();
}

void CqrvcimModule::lock() { ++lockCount_; }

void CqrvcimModule::unlock() { --lockCount_; }

HRESULT CqrvcimModule::classInfo(ITypeInfo** typeInfo) { return coclassTypeInfo(modulePath_, typeInfo); }

Replacements CqrvcimModule::registrationReplacements() const { return {{"APPID", guidText(kAppId)}}; }

HRESULT CqrvcimModule::getClassObject(REFIID riid, void** ppv) {
  std::lock_guard<std::mutex> guard(factoryLock_);
  if (!factory_) {
    IClassFactory* created = new (std::nothrow) QVProviderFactory(*this);
    if (!created) return E_OUTOFMEMORY;
    factory_.assign(created);
  }
  return factory_->QueryInterface(riid, ppv);
}

CqrvcimModule& theModule() {
  static CqrvcimModule module;
  return module;
}

}  // namespace qrv::cim
