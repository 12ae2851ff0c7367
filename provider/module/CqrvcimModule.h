#pragma once
// The module object of the server, one per process, from load to unload.
// It holds the module lock count that decides whether the module may be
// unloaded, and the class factory of CQVProvider, created on first request
// and kept until unload.

#include <atomic>
#include <mutex>
#include <string>

#include "common/com/ComPtr.h"
#include "common/com/WmiSdk.h"
#include "provider/module/RegistryEntry.h"
#include "provider/wmi/ServerModule.h"

namespace qrv::cim {

class CqrvcimModule : public ServerModule {
 public:
  CqrvcimModule() = default;
  ~CqrvcimModule() override;
  CqrvcimModule(const CqrvcimModule&) = delete;
  CqrvcimModule& operator=(const CqrvcimModule&) = delete;

  // The module's initialisation at load: it learns its own file name, which
  // registration and the type library need. False when it cannot; it never
  // throws, as it runs inside the loader.
  bool initialize();
  bool initialized() const { return !modulePath_.empty(); }
  const std::string& modulePath() const { return modulePath_; }

  // The lock count; every lock is matched by one unlock.
  void lock() override;
  void unlock() override;
  LONG lockCount() const { return lockCount_.load(); }

  HRESULT classInfo(ITypeInfo** typeInfo) override;

  // The replacements every registration table may use: %APPID%.
  Replacements registrationReplacements() const;

  // Queries the class factory of CQVProvider, created on first request.
  // Throws std::bad_alloc when it cannot be created, and std::system_error
  // when the lock that guards its creation fails.
  HRESULT getClassObject(REFIID riid, void** ppv);

 private:
  std::atomic<LONG> lockCount_{0};
  std::string modulePath_;
  std::mutex factoryLock_;
  com::ComPtr<IClassFactory> factory_;
};

// The module object of this process.
CqrvcimModule& theModule();

}  // namespace qrv::cim
