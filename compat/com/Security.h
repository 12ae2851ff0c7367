#pragma once
// Client impersonation and the impersonation level of the thread token.
// Both act on the calling thread's client call (see call_context.h).

#include "compat/com/Errors.h"

constexpr DWORD RPC_C_IMP_LEVEL_DEFAULT = 0;
constexpr DWORD RPC_C_IMP_LEVEL_ANONYMOUS = 1;
constexpr DWORD RPC_C_IMP_LEVEL_IDENTIFY = 2;
constexpr DWORD RPC_C_IMP_LEVEL_IMPERSONATE = 3;
constexpr DWORD RPC_C_IMP_LEVEL_DELEGATE = 4;

// A fixed underlying type, so that a token may report any level value.
enum SECURITY_IMPERSONATION_LEVEL : int {
  SecurityAnonymous,
  SecurityIdentification,
  SecurityImpersonation,
  SecurityDelegation
};
using PSECURITY_IMPERSONATION_LEVEL = SECURITY_IMPERSONATION_LEVEL*;

enum TOKEN_INFORMATION_CLASS {
  TokenUser = 1,
  TokenGroups,
  TokenPrivileges,
  TokenOwner,
  TokenPrimaryGroup,
  TokenDefaultDacl,
  TokenSource,
  TokenType,
  TokenImpersonationLevel,
  TokenStatistics
};

constexpr DWORD TOKEN_QUERY = 0x0008;

extern "C" {
// Fails with RPC_E_CALL_COMPLETE outside a client call.
HRESULT CoImpersonateClient();
HRESULT CoRevertToSelf();
// Opens the token of the calling thread. Fails with ERROR_NO_TOKEN while
// the thread is not impersonating, and with ERROR_CANT_OPEN_ANONYMOUS for
// a client at the anonymous level.
BOOL OpenThreadToken(HANDLE ThreadHandle, DWORD DesiredAccess, BOOL OpenAsSelf, PHANDLE TokenHandle);
// Answers TokenImpersonationLevel only.
BOOL GetTokenInformation(HANDLE TokenHandle, TOKEN_INFORMATION_CLASS TokenInformationClass,
                         LPVOID TokenInformation, DWORD TokenInformationLength, PDWORD ReturnLength);
}
