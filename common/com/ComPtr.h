#pragma once

#include <utility>

namespace qrv::com {

// An owned reference to a COM interface, released when the holder goes;
// a copy holds a reference of its own.
template <class Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr& other) { assign(other.pointer_); }
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(pointer_, other.pointer_);
    return *this;
  }

  // Takes over a reference the caller already holds.
  static ComPtr adopt(Interface* pointer) {
    ComPtr owned;
    owned.pointer_ = pointer;
    return owned;
  }
  // Holds a reference of its own to `pointer`.
  static ComPtr share(Interface* pointer) {
    ComPtr owned;
    owned.assign(pointer);
    return owned;
  }

  Interface* get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  Interface& operator*() const { return *pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

  // Releases the current reference and hands out the slot for a call that
  // returns a new one.
  Interface** put() {
    reset();
    return &pointer_;
  }

  // Holds another reference to `pointer` in place of the current one.
  void assign(Interface* pointer) {
    if (pointer) pointer->AddRef();
    reset();
    pointer_ = pointer;
  }

  // Hands the reference over to the caller.
  Interface* detach() { return std::exchange(pointer_, nullptr); }

  void reset() {
    if (pointer_) pointer_->Release();
    pointer_ = nullptr;
  }

 private:
  Interface* pointer_ = nullptr;
};

}  // namespace qrv::com
