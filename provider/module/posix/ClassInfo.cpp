// Without Windows there is no type library loader, so the coclass's type
// information is the least ITypeInfo that describes it: its GUID, kind,
// flags, version, name and help string. Every other method is not
// implemented.

#include <new>

#include "common/com/Bstr.h"
#include "common/com/CallGuard.h"
#include "common/com/ComObject.h"
#include "common/com/TextConversion.h"
#include "provider/module/ClassInfo.h"
#include "provider/module/ComIdentity.h"

namespace qrv::cim {

using com::Bstr;
using com::toWide;

namespace {

// The member identifier that stands for the type itself.
constexpr MEMBERID kTypeItself = -1;
constexpr WORD kCoclassFlags = TYPEFLAG_FCANCREATE | TYPEFLAG_FAGGREGATABLE;

class CoclassTypeInfo final
    : public com::ComObject<com::Threading::Free, com::Implements<ITypeInfo, IID_ITypeInfo>> {
 public:
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
    // The version stays 0.0: it is the coclass's own, which it does not
    // declare, not the library's, as a compiled type library reports it.
    return S_OK;
  }

  void STDMETHODCALLTYPE ReleaseTypeAttr(TYPEATTR* pTypeAttr) override { delete pTypeAttr; }

  HRESULT STDMETHODCALLTYPE GetDocumentation(MEMBERID memid, BSTR* pBstrName, BSTR* pBstrDocString,
                                             DWORD* pdwHelpContext, BSTR* pBstrHelpFile) override {
    if (memid != kTypeItself) return TYPE_E_ELEMENTNOTFOUND;
    return com::guardCall(com::kComFailures, [&] {
      Bstr name(toWide(kCoclassName));
      Bstr docString(toWide(kCoclassHelpString));
      if (pBstrName) *pBstrName = name.release();
      if (pBstrDocString) *pBstrDocString = docString.release();
      if (pdwHelpContext) *pdwHelpContext = 0;
      if (pBstrHelpFile) *pBstrHelpFile = nullptr;
      return S_OK;
    });
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
};

}  // namespace

HRESULT coclassTypeInfo(const std::string&, ITypeInfo** typeInfo) {
  *typeInfo = new (std::nothrow) CoclassTypeInfo();
  return *typeInfo ? S_OK : E_OUTOFMEMORY;
}

}  // namespace qrv::cim
