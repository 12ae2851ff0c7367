#pragma once

#include <functional>
#include <memory>
#include <string>

#include "common/com/ComObject.h"
#include "common/com/ComPtr.h"
#include "common/com/WmiSdk.h"
#include "provider/dispatch/QVDispatch.h"
#include "provider/request/model/ParsedInstance.h"
#include "provider/wmi/ObjectPathKeys.h"
#include "provider/wmi/ServerModule.h"

namespace qrv::cim {

// The instance provider that WMI loads: it enumerates the instances of a
// registered class, gets one instance by object path, and declines every
// other operation. Each working operation checks the caller, impersonates
// it, runs the request through the object's dispatcher, fills instances
// spawned from WMI's class definition and reports one completion status.
// Created by a server module, it holds the module's lock while it lives and
// hands out its class's type information from the module. No exception
// leaves any of its methods.
//
// Its reference count is a plain counter, as the object lives in one
// apartment; it is born without a reference, which its creator adds.
class CQVProvider : public com::ComObject<com::Threading::Apartment, com::Implements<IWbemServices, IID_IWbemServices>,
                                          com::Implements<IWbemProviderInit, IID_IWbemProviderInit>,
                                          com::Implements<IProvideClassInfo, IID_IProvideClassInfo>> {
 public:
  // Pauses the calling thread; Initialize waits through it.
  using SleepFunction = std::function<void(DWORD milliseconds)>;

  // The system's Sleep.
  static void systemSleep(DWORD milliseconds);

  explicit CQVProvider(SleepFunction sleep = systemSleep, ServerModule* module = nullptr);
  ~CQVProvider() override;

  // IProvideClassInfo: the type information of the coclass, from the server
  // module; TYPE_E_ELEMENTNOTFOUND without one.
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** ppTI) override;

  // IWbemProviderInit
  HRESULT STDMETHODCALLTYPE Initialize(LPWSTR wszUser, LONG lFlags, LPWSTR wszNamespace, LPWSTR wszLocale,
                                       IWbemServices* pNamespace, IWbemContext* pCtx,
                                       IWbemProviderInitSink* pInitSink) override;

  // IWbemServices: the working operations.
  HRESULT STDMETHODCALLTYPE CreateInstanceEnumAsync(const BSTR strFilter, LONG lFlags, IWbemContext* pCtx,
                                                    IWbemObjectSink* pResponseHandler) override;
  HRESULT STDMETHODCALLTYPE GetObjectAsync(const BSTR strObjectPath, LONG lFlags, IWbemContext* pCtx,
                                           IWbemObjectSink* pResponseHandler) override;
  HRESULT STDMETHODCALLTYPE ExecQueryAsync(const BSTR strQueryLanguage, const BSTR strQuery, LONG lFlags,
                                           IWbemContext* pCtx, IWbemObjectSink* pResponseHandler) override;

  // IWbemServices: the declined operations.
  HRESULT STDMETHODCALLTYPE OpenNamespace(const BSTR strNamespace, LONG lFlags, IWbemContext* pCtx,
                                          IWbemServices** ppWorkingNamespace, IWbemCallResult** ppResult) override;
  HRESULT STDMETHODCALLTYPE CancelAsyncCall(IWbemObjectSink* pSink) override;
  HRESULT STDMETHODCALLTYPE QueryObjectSink(LONG lFlags, IWbemObjectSink** ppResponseHandler) override;
  HRESULT STDMETHODCALLTYPE GetObject(const BSTR strObjectPath, LONG lFlags, IWbemContext* pCtx,
                                      IWbemClassObject** ppObject, IWbemCallResult** ppCallResult) override;
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
  HRESULT STDMETHODCALLTYPE ExecQuery(const BSTR strQueryLanguage, const BSTR strQuery, LONG lFlags,
                                      IWbemContext* pCtx, IEnumWbemClassObject** ppEnum) override;
  HRESULT STDMETHODCALLTYPE ExecNotificationQuery(const BSTR strQueryLanguage, const BSTR strQuery, LONG lFlags,
                                                  IWbemContext* pCtx, IEnumWbemClassObject** ppEnum) override;
  HRESULT STDMETHODCALLTYPE ExecNotificationQueryAsync(const BSTR strQueryLanguage, const BSTR strQuery,
                                                       LONG lFlags, IWbemContext* pCtx,
                                                       IWbemObjectSink* pResponseHandler) override;
  HRESULT STDMETHODCALLTYPE ExecMethod(const BSTR strObjectPath, const BSTR strMethodName, LONG lFlags,
                                       IWbemContext* pCtx, IWbemClassObject* pInParams,
                                       IWbemClassObject** ppOutParams, IWbemCallResult** ppCallResult) override;
  HRESULT STDMETHODCALLTYPE ExecMethodAsync(const BSTR strObjectPath, const BSTR strMethodName, LONG lFlags,
                                            IWbemContext* pCtx, IWbemClassObject* pInParams,
                                            IWbemObjectSink* pResponseHandler) override;

 private:
  HRESULT start(LPWSTR nameSpace, IWbemServices* services, IWbemProviderInitSink* initSink);
  HRESULT enumerate(const BSTR className, IWbemContext* context, IWbemObjectSink* sink);
  HRESULT deliverEnumeration(const BSTR className, const std::string& name, IWbemContext* context,
                             IWbemObjectSink* sink);
  HRESULT get(const BSTR objectPath, IWbemContext* context, IWbemObjectSink* sink);
  HRESULT deliverObject(const std::string& path, const ObjectPathParts& parts, IWbemContext* context,
                        IWbemObjectSink* sink);
  // The keys a get hands its request, by name and fit for the request
  // document; a path that names another machine or namespace, or a form that
  // does not fit the class, is refused.
  HRESULT requestKeys(const std::string& path, const ObjectPathParts& parts, KeyValues& keys) const;
  // Another machine is refused as WMI refuses one it cannot connect to
  // (RPC_S_SERVER_UNAVAILABLE), another namespace with
  // WBEM_E_INVALID_NAMESPACE.
  HRESULT checkPlace(const std::string& path, const ObjectPathParts& parts) const;
  // Class=value and Class=@ are read against the class's registration: the
  // value is its one required key, and @ fits a class that requires none.
  HRESULT keysOf(const std::string& path, const ObjectPathParts& parts, KeyValues& keys) const;

  ServerLock serverLock_;  // first, so that it is released last
  SleepFunction sleep_;
  com::ComPtr<IWbemServices> namespaceServices_;
  com::ComPtr<IClassFactory> pathParserFactory_;
  std::unique_ptr<QVDispatch> dispatcher_;
  std::string nameSpace_;
};

}  // namespace qrv::cim
