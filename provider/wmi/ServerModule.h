#pragma once
// What the COM server hosting a provider object lends it: the server's lock,
// which the object holds while it lives so that the server stays loaded,
// and the type information of the object's class.

#include "common/com/WmiSdk.h"

namespace qrv::cim {

class ServerModule {
 public:
  virtual ~ServerModule() = default;
  virtual void lock() = 0;
  virtual void unlock() = 0;
  // The class's type information; the caller releases it.
  virtual HRESULT classInfo(ITypeInfo** typeInfo) = 0;
};

// Holds the lock of a server module, when there is one, for its own
// lifetime.
class ServerLock {
 public:
  explicit ServerLock(ServerModule* module) : module_(module) {
    if (module_) module_->lock();
  }
  ~ServerLock() {
    if (module_) module_->unlock();
  }
  ServerLock(const ServerLock&) = delete;
  ServerLock& operator=(const ServerLock&) = delete;

  ServerModule* module() const { return module_; }

 private:
  ServerModule* module_;
};

}  // namespace qrv::cim
