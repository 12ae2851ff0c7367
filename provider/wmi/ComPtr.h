#pragma once

namespace qrv::cim {

// An owned reference to a COM interface, released when the holder goes.
template <class Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  Interface* get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
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

  void reset() {
    if (pointer_) pointer_->Release();
    pointer_ = nullptr;
  }

 private:
  Interface* pointer_ = nullptr;
};

}  // namespace qrv::cim
