// Without Windows there is no type library loader, so the coclass's type
// information is the least ITypeInfo that describes it: its GUID, kind,
// flags, version, name and help string. Every other method is not
// implemented.

#include <atomic>
#include <new>

#include "provider/module/ClassInfo.h"
#include "provider/module/ComIdentity.h"
#include "common/com/Bstr.h"

namespace qrv::cim {

namespace {

// The member identifier that stands for the type itself.
constexpr MEMBERID kTypeItself = -1;
constexpr WORD kCoclassFlags = TYPEFLAG_FCANCREATE | TYPEFLAG_FAGGREGATABLE;

class CoclassTypeInfo final : public ITypeInfo {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
    if (!ppvObject) return E_POINTER;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_ITypeInfo)) {
      *ppvObject = nullptr;
      return E_NOINTERFACE;
    }
    *ppvObject = static_cast<ITypeInfo*>(this);
    AddRef();
    return S_OK;
  }

  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }

  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG remaining = --references_;
    if (remaining == 0) delete this;
    return remaining;
  }

  HRESULT STDMETHODCALLTYPE GetTypeAttr(TYPEATTR** ppTypeAttr) override {
    if (!ppTypeAttr) return E_INVALIDARG;
    *ppTypeAttr = new (std::nothrow) TYPEATTR{};
    if (!*ppTypeAttr) return E_OUTOFMEMORY;
    TYPEATTR& attributes = **ppTypeAttr;
    attributes.guid = kClsidQVProvider;
    attributes.lcid = kTypeLibLocale;
    attributes.memidConstructor = kTypeItself;
    attributes.memidDestructor = kTypeItself;
    attributes.typekind = TKIND_COCLASS;
    attributes.cImplTypes = 1;
    attributes.wTypeFlags = kCoclassFlags;
    attributes.wMajorVerNum = kTypeLibMajorVersion;
    attributes.wMinorVerNum = kTypeLibMinorVersion;
    return S_OK;
  }

  void STDMETHODCALLTYPE ReleaseTypeAttr(TYPEATTR* pTypeAttr) override { delete pTypeAttr; }

  HRESULT STDMETHODCALLTYPE GetDocumentation(MEMBERID memid, BSTR* pBstrName, BSTR* pBstrDocString,
                                             DWORD* pdwHelpContext, BSTR* pBstrHelpFile) override {
    if (memid != kTypeItself) return TYPE_E_ELEMENTNOTFOUND;
    try {
      Bstr name(toWide(kCoclassName));
      Bstr docString(toWide(kCoclassHelpString));
      if (pBstrName) *pBstrName = name.release();
      if (pBstrDocString) *pBstrDocString = docString.release();
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    if (pdwHelpContext) *pdwHelpContext = 0;
    if (pBstrHelpFile) *pBstrHelpFile = nullptr;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetFuncDesc(UINT, FUNCDESC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetVarDesc(UINT, VARDESC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetNames(MEMBERID, BSTR*, UINT, UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetRefTypeOfImplType(UINT, HREFTYPE*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetImplTypeFlags(UINT, INT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(LPOLESTR*, UINT, MEMBERID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(PVOID, MEMBERID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetRefTypeInfo(HREFTYPE, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE AddressOfMember(MEMBERID, INVOKEKIND, PVOID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, PVOID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMops(MEMBERID, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetContainingTypeLib(ITypeLib**, UINT*) override { return E_NOTIMPL; }
  // No function or variable descriptions are ever handed out.
  void STDMETHODCALLTYPE ReleaseFuncDesc(FUNCDESC*) override {}
  void STDMETHODCALLTYPE ReleaseVarDesc(VARDESC*) override {}

 private:
  std::atomic<ULONG> references_{0};
};

}  // namespace

HRESULT coclassTypeInfo(const std::string&, ITypeInfo** typeInfo) {
  *typeInfo = new (std::nothrow) CoclassTypeInfo();
  if (!*typeInfo) return E_OUTOFMEMORY;
  (*typeInfo)->AddRef();
  return S_OK;
}

}  // namespace qrv::cim
