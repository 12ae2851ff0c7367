#pragma once
// An owning COM interface pointer: releases its reference when it goes.

#include <utility>

#include "compat/com/wmi_sdk.h"

namespace wmihost {

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over a reference the caller already holds.
  static ComPtr adopt(T* pointer) {
    ComPtr owned;
    owned.pointer_ = pointer;
    return owned;
  }
  // Shares pointer, adding a reference of its own.
  static ComPtr share(T* pointer) {
    if (pointer) pointer->AddRef();
    return adopt(pointer);
  }

  ComPtr(const ComPtr& other) : pointer_(other.pointer_) {
    if (pointer_) pointer_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(pointer_, other.pointer_);
    return *this;
  }
  ~ComPtr() { reset(); }

  void reset() {
    if (pointer_) std::exchange(pointer_, nullptr)->Release();
  }
  // The address of the pointer for an out argument; drops what was held.
  T** put() {
    reset();
    return &pointer_;
  }
  // Hands the reference to the caller.
  T* detach() { return std::exchange(pointer_, nullptr); }

  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  T& operator*() const { return *pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

 private:
  T* pointer_ = nullptr;
};

}  // namespace wmihost
