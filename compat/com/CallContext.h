#pragma once
// The per-thread context of a call from a COM client. The WMI stand-in opens
// a ClientCallScope around each call it makes into a provider; inside it,
// CoImpersonateClient succeeds and the thread token carries the client's
// impersonation level. Outside any scope a thread serves no client.

#include <cstddef>

#include "compat/com/Security.h"

namespace compat {

struct ClientCall {
  // The level of the token that impersonation gives the thread.
  SECURITY_IMPERSONATION_LEVEL level = SecurityImpersonation;
  // When not ERROR_SUCCESS, OpenThreadToken fails with this error.
  DWORD openTokenError = ERROR_SUCCESS;
  // When not ERROR_SUCCESS, GetTokenInformation fails with this error.
  DWORD tokenInformationError = ERROR_SUCCESS;
};

// Makes the calling thread serve a client call for the scope's lifetime,
// not impersonating at first. Scopes nest: the end of a scope restores the
// enclosing call and its impersonation state.
class ClientCallScope {
 public:
  explicit ClientCallScope(SECURITY_IMPERSONATION_LEVEL level);
  explicit ClientCallScope(const ClientCall& call);
  ~ClientCallScope();
  ClientCallScope(const ClientCallScope&) = delete;
  ClientCallScope& operator=(const ClientCallScope&) = delete;

 private:
  bool outerInCall_;
  bool outerImpersonating_;
  ClientCall outerCall_;
};

// Whether the calling thread serves a client call.
bool inClientCall();
// Whether the calling thread impersonates its client.
bool isImpersonating();
// Token handles opened in this process and not yet closed.
std::size_t openTokenCount();

}  // namespace compat
