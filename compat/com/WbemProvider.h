#pragma once
// The interfaces through which WMI initialises a provider, and WMI's
// object-path parser class.

#include "compat/com/WbemClient.h"

inline constexpr IID IID_IWbemProviderInitSink = {
    0x1be41571, 0x91dd, 0x11d1, {0xae, 0xb2, 0x00, 0xc0, 0x4f, 0xb6, 0x88, 0x20}};
inline constexpr IID IID_IWbemProviderInit = {
    0x1be41572, 0x91dd, 0x11d1, {0xae, 0xb2, 0x00, 0xc0, 0x4f, 0xb6, 0x88, 0x20}};

inline constexpr CLSID CLSID_WbemDefPath = {
    0xcf4cc405, 0xe2c5, 0x4ddd, {0xb3, 0xce, 0x5e, 0x75, 0x82, 0xd8, 0xc9, 0xfa}};

struct IWbemProviderInitSink : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SetStatus(LONG lStatus, LONG lFlags) = 0;
};

struct IWbemProviderInit : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Initialize(LPWSTR wszUser, LONG lFlags, LPWSTR wszNamespace,
                                               LPWSTR wszLocale, IWbemServices* pNamespace,
                                               IWbemContext* pCtx, IWbemProviderInitSink* pInitSink) = 0;
};
