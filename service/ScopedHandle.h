#pragma once
// Ownership of one platform handle: the handle is given back with its
// matching close operation, on the platform that opened it, when the owner
// goes out of scope.

#include "service/platform/Platform.h"

namespace rulo {

class ScopedHandle {
 public:
  using Closer = void (*)(Platform&, Handle);

  ScopedHandle(Platform& platform, Handle handle, Closer close)
      : platform_(platform), handle_(handle), close_(close) {}
  ~ScopedHandle() {
    if (handle_) close_(platform_, handle_);
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != 0; }

 private:
  Platform& platform_;
  Handle handle_;
  Closer close_;
};

// Closers for the handle kinds of the service control manager, the registry
// and processes.
inline void CloseScmHandle(Platform& platform, Handle handle) { platform.closeServiceHandle(handle); }
inline void CloseKey(Platform& platform, Handle handle) { platform.closeRegistryKey(handle); }
inline void CloseProcessHandle(Platform& platform, Handle handle) { platform.closeProcess(handle); }
inline void ReleaseEventSource(Platform& platform, Handle handle) { platform.deregisterEventSource(handle); }

}  // namespace rulo
