#pragma once
// The stand-in's IWbemServices for one namespace, as WMI hands it to a
// provider's Initialize. GetObject gives a fresh class object of the
// repository, so a provider's puts on it never reach the repository. Every
// other operation answers WBEM_E_NOT_SUPPORTED: this stand-in serves class
// definitions only, and that is WMI's answer for what it cannot do.

#include <memory>
#include <string>

#include "common/com/ComObject.h"
#include "common/com/ComPtr.h"
#include "host/cim/ClassRepository.h"

namespace wmihost {

class NamespaceServices final
    : public qrv::com::ComObject<qrv::com::Threading::Free,
                                 qrv::com::Implements<IWbemServices, IID_IWbemServices>> {
 public:
  static qrv::com::ComPtr<NamespaceServices> create(std::shared_ptr<const ClassRepository> repository,
                                                    std::string nameSpace);

  // The class named by strObjectPath, which may name this machine and this
  // namespace before it (\\.\root\cimv2:Class). WBEM_E_INVALID_OBJECT_PATH
  // for a path that cannot be read; another machine or namespace is refused
  // as placeRefusal says; WBEM_E_NOT_FOUND for a class the namespace does not
  // hold, and for an instance path (Class.Key=..., Class=@), as the stand-in
  // keeps no instances. Flags are not looked at; no call result is made.
  HRESULT STDMETHODCALLTYPE GetObject(const BSTR strObjectPath, LONG lFlags, IWbemContext* pCtx,
                                      IWbemClassObject** ppObject, IWbemCallResult** ppCallResult) override;

  HRESULT STDMETHODCALLTYPE OpenNamespace(const BSTR strNamespace, LONG lFlags, IWbemContext* pCtx,
                                          IWbemServices** ppWorkingNamespace, IWbemCallResult** ppResult) override;
  HRESULT STDMETHODCALLTYPE CancelAsyncCall(IWbemObjectSink* pSink) override;
  HRESULT STDMETHODCALLTYPE QueryObjectSink(LONG lFlags, IWbemObjectSink** ppResponseHandler) override;
  HRESULT STDMETHODCALLTYPE GetObjectAsync(const BSTR strObjectPath, LONG lFlags, IWbemContext* pCtx,
                                           IWbemObjectSink* pResponseHandler) override;
  HRESULT STDMETHODCALLTYPE PutClass(IWbemClassObject* pObject, LONG lFlags, IWbemContext* pCtx,
                                     IWbemCallResult** ppCallResult) override;
  HRESULT STDMETHODCALLTYPE PutClassAsync(IWbemClassObject* pObject, LONG lFlags, IWbemContext* pCtx,
                                          IWbemObjectSink* pResponseHandler) override;
  HRESULT STDMETHODCALLTYPE DeleteClass(const BSTR strClass, LONG lFlags, IWbemContext* pCtx,
                                        IWbemCallResult** ppCallResult) override;
  HRESULT STDMETHODCALLTYPE DeleteClassAsync(const BSTR strClass, LONG lFlags, IWbemContext* pCtx,
                                             IWbemObjectSink* pResponseHandler) override;
  HRESULT STDMETHODCALLTYPE CreateClassEnum(const BSTR strSuperclass, LONG lFlags, IWbemContext* pCtx,
                                            IEnumWbemClassObject** ppEnum) override;
  HRESULT STDMETHODCALLTYPE CreateClassEnumAsync(const BSTR strSuperclass, LONG lFlags, IWbemContext* pCtx,
                                                 IWbemObjectSink* pResponseHandler) override;
  HRESULT STDMETHODCALLTYPE PutInstance(IWbemClassObject* pInst, LONG lFlags, IWbemContext* pCtx,
                                        IWbemCallResult** ppCallResult) override;
  HRESULT STDMETHODCALLTYPE PutInstanceAsync(IWbemClassObject* pInst, LONG lFlags, IWbemContext* pCtx,
                                             IWbemObjectSink* pResponseHandler) override;
  HRESULT STDMETHODCALLTYPE DeleteInstance(const BSTR strObjectPath, LONG lFlags, IWbemContext* pCtx,
                                           IWbemCallResult** ppCallResult) override;
  HRESULT STDMETHODCALLTYPE DeleteInstanceAsync(const BSTR strObjectPath, LONG lFlags, IWbemContext* pCtx,
                                                IWbemObjectSink* pResponseHandler) override;
  HRESULT STDMETHODCALLTYPE CreateInstanceEnum(const BSTR strFilter, LONG lFlags, IWbemContext* pCtx,
                                               IEnumWbemClassObject** ppEnum) override;
  HRESULT STDMETHODCALLTYPE CreateInstanceEnumAsync(const BSTR strFilter, LONG lFlags, IWbemContext* pCtx,
                                                    IWbemObjectSink* pResponseHandler) override;
  HRESULT STDMETHODCALLTYPE ExecQuery(const BSTR strQueryLanguage, const BSTR strQuery, LONG lFlags, IWbemContext* pCtx,
                                      IEnumWbemClassObject** ppEnum) override;
  HRESULT STDMETHODCALLTYPE ExecQueryAsync(const BSTR strQueryLanguage, const BSTR strQuery, LONG lFlags,
                                           IWbemContext* pCtx, IWbemObjectSink* pResponseHandler) override;
  HRESULT STDMETHODCALLTYPE ExecNotificationQuery(const BSTR strQueryLanguage, const BSTR strQuery, LONG lFlags,
                                                  IWbemContext* pCtx, IEnumWbemClassObject** ppEnum) override;
  HRESULT STDMETHODCALLTYPE ExecNotificationQueryAsync(const BSTR strQueryLanguage, const BSTR strQuery, LONG lFlags,
                                                       IWbemContext* pCtx, IWbemObjectSink* pResponseHandler) override;
  HRESULT STDMETHODCALLTYPE ExecMethod(const BSTR strObjectPath, const BSTR strMethodName, LONG lFlags,
                                       IWbemContext* pCtx, IWbemClassObject* pInParams, IWbemClassObject** ppOutParams,
                                       IWbemCallResult** ppCallResult) override;
  HRESULT STDMETHODCALLTYPE ExecMethodAsync(const BSTR strObjectPath, const BSTR strMethodName, LONG lFlags,
                                            IWbemContext* pCtx, IWbemClassObject* pInParams,
                                            IWbemObjectSink* pResponseHandler) override;

 private:
  NamespaceServices(std::shared_ptr<const ClassRepository> repository, std::string nameSpace);
  HRESULT getClass(const std::string& path, IWbemClassObject*& object) const;

  std::shared_ptr<const ClassRepository> repository_;
  std::string nameSpace_;
};

}  // namespace wmihost
