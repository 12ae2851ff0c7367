#include "provider/wmi/CallerCheck.h"

#include "provider/diagnostic/Diagnostic.h"
#include "provider/wmi/ClientImpersonation.h"
#include "provider/wmi/WbemResult.h"

namespace qrv::cim {

namespace {

constexpr HRESULT kUnknownTokenLevel = static_cast<HRESULT>(0x8007FFFFu);

// The thread's last Win32 error as an HRESULT of the Win32 facility.
HRESULT lastErrorResult() { return static_cast<HRESULT>(GetLastError() | 0x80070000u); }

// The impersonation level of the current thread's token, a
// SECURITY_IMPERSONATION_LEVEL read as the plain number it is, since a token
// may report a value without a name; false, with the thread's last error
// set, when the token cannot be opened or queried.
bool readTokenLevel(DWORD* tokenLevel) {
  HANDLE token = nullptr;
  if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token)) return false;
  DWORD returned = 0;
  const BOOL read = GetTokenInformation(token, TokenImpersonationLevel, tokenLevel, sizeof *tokenLevel, &returned);
  CloseHandle(token);
  return read != FALSE;
}

}  // namespace

HRESULT checkImpersonationLevel(DWORD* level) {
  *level = RPC_C_IMP_LEVEL_ANONYMOUS;
  ClientImpersonation impersonation;
  const HRESULT hr = impersonation.begin();
  if (FAILED(hr)) return hr;
  DWORD tokenLevel = SecurityAnonymous;
  if (!readTokenLevel(&tokenLevel)) return lastErrorResult();
  switch (tokenLevel) {
    case SecurityAnonymous:
      return hr;
    case SecurityIdentification:
      *level = RPC_C_IMP_LEVEL_IDENTIFY;
      return hr;
    case SecurityImpersonation:
      *level = RPC_C_IMP_LEVEL_IMPERSONATE;
      return hr;
    case SecurityDelegation:
      *level = RPC_C_IMP_LEVEL_DELEGATE;
      return hr;
  }
  return kUnknownTokenLevel;
}

HRESULT checkCaller() {
  DWORD level = RPC_C_IMP_LEVEL_ANONYMOUS;
  const HRESULT hr = checkImpersonationLevel(&level);
  if (FAILED(hr)) return hr;
  if (level >= RPC_C_IMP_LEVEL_IMPERSONATE) return hr;
  diagnose([&] { return "the caller is refused: its impersonation level is " + std::to_string(level) +
                        ", and at least 3 (impersonate) is needed"; });
  return wbemResult(WBEM_E_ACCESS_DENIED);
}

}  // namespace qrv::cim
