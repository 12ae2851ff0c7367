#pragma once

#include "common/com/WmiSdk.h"

namespace qrv::com {

// An owned SAFEARRAY, destroyed with its elements when the holder goes.
class SafeArray {
 public:
  explicit SafeArray(SAFEARRAY* array) : array_(array) {}
  ~SafeArray() {
    if (array_) SafeArrayDestroy(array_);
  }
  SafeArray(const SafeArray&) = delete;
  SafeArray& operator=(const SafeArray&) = delete;

  SAFEARRAY* get() const { return array_; }
  explicit operator bool() const { return array_ != nullptr; }

 private:
  SAFEARRAY* array_;
};

}  // namespace qrv::com
