#pragma once
// The IUnknown part of a COM object: its reference count and a
// QueryInterface that answers IUnknown and each interface the object
// implements.

#include <atomic>
#include <tuple>
#include <type_traits>

#include "common/com/WmiSdk.h"

namespace qrv::com {

// One interface of a COM object, with the identifier it is asked for by.
template <class Interface, const IID& interfaceId>
struct Implements {
  using Type = Interface;
  static const IID& id() { return interfaceId; }
};

// How an object counts its references: a plain counter for an object of the
// apartment model, which one thread calls at a time, or an interlocked one
// for an object that may be handed between threads.
enum class Threading { Apartment, Free };

// The base of a COM object that implements the interfaces listed, each as
// Implements<Interface, IID>; IUnknown is answered by the first. A new object
// holds `references` references: 1 when its creator adopts that reference,
// 0 when the creator adds the first one itself. The last Release deletes it.
template <Threading threading, class... Interfaces>
class ComObject : public Interfaces::Type... {
  static_assert(sizeof...(Interfaces) > 0, "a COM object implements at least one interface");

 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = IsEqualIID(riid, IID_IUnknown) ? static_cast<IUnknown*>(first()) : answering(riid);
    if (!*ppv) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  explicit ComObject(ULONG references = 1) : references_(references) {}
  virtual ~ComObject() = default;

 private:
  using First = typename std::tuple_element_t<0, std::tuple<Interfaces...>>::Type;
  using Counter = std::conditional_t<threading == Threading::Free, std::atomic<ULONG>, ULONG>;

  First* first() { return static_cast<First*>(this); }

  // The interface asked for by riid, or null when the object has none.
  void* answering(REFIID riid) {
    void* found = nullptr;
    ((IsEqualIID(riid, Interfaces::id()) && (found = static_cast<typename Interfaces::Type*>(this))) || ...);
    return found;
  }

  Counter references_;
};

}  // namespace qrv::com
