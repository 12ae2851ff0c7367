#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <utility>

#include "compat/com/CallContext.h"
#include "common/com/WmiSdk.h"

namespace {

using compat::ClientCall;
using compat::ClientCallScope;

// The level of the calling thread's token, or -1 with the error when it
// cannot be read.
int tokenLevel(DWORD* error = nullptr) {
  HANDLE token = nullptr;
  SECURITY_IMPERSONATION_LEVEL level = SecurityAnonymous;
  DWORD returned = 0;
  BOOL ok = OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token);
  if (ok) {
    ok = GetTokenInformation(token, TokenImpersonationLevel, &level, sizeof(level), &returned);
    CloseHandle(token);
  }
  if (!ok && error) *error = GetLastError();
  return ok ? static_cast<int>(level) : -1;
}

TEST(Impersonation, OutsideAClientCallThereIsNoClient) {
  EXPECT_FALSE(compat::inClientCall());
  EXPECT_EQ(CoImpersonateClient(), RPC_E_CALL_COMPLETE);
  EXPECT_EQ(CoRevertToSelf(), RPC_E_CALL_COMPLETE);
  DWORD error = 0;
  EXPECT_EQ(tokenLevel(&error), -1);
  EXPECT_EQ(error, ERROR_NO_TOKEN);
}

TEST(Impersonation, TheTokenCarriesTheClientLevelOnlyWhileImpersonating) {
  ClientCallScope call(SecurityDelegation);
  DWORD error = 0;
  EXPECT_EQ(tokenLevel(&error), -1);
  EXPECT_EQ(error, ERROR_NO_TOKEN);

  ASSERT_EQ(CoImpersonateClient(), S_OK);
  EXPECT_TRUE(compat::isImpersonating());
  EXPECT_EQ(tokenLevel(), SecurityDelegation);
  EXPECT_EQ(compat::openTokenCount(), 0u);

  ASSERT_EQ(CoRevertToSelf(), S_OK);
  EXPECT_FALSE(compat::isImpersonating());
  EXPECT_EQ(tokenLevel(), -1);
}

TEST(Impersonation, AnAnonymousTokenCannotBeOpened) {
  ClientCallScope call(SecurityAnonymous);
  CoImpersonateClient();
  DWORD error = 0;
  EXPECT_EQ(tokenLevel(&error), -1);
  EXPECT_EQ(error, ERROR_CANT_OPEN_ANONYMOUS);
  CoRevertToSelf();
}

TEST(Impersonation, InjectedTokenFailuresReachTheCaller) {
  ClientCall failingOpen;
  failingOpen.openTokenError = ERROR_ACCESS_DENIED;
  ClientCall failingQuery;
  failingQuery.tokenInformationError = ERROR_BAD_IMPERSONATION_LEVEL;
  const std::pair<ClientCall, DWORD> cases[] = {{failingOpen, ERROR_ACCESS_DENIED},
                                                {failingQuery, ERROR_BAD_IMPERSONATION_LEVEL}};

  for (const auto& [failing, expected] : cases) {
    ClientCallScope call(failing);
    CoImpersonateClient();
    DWORD error = 0;
    EXPECT_EQ(tokenLevel(&error), -1);
    EXPECT_EQ(error, expected);
    EXPECT_EQ(compat::openTokenCount(), 0u);
  }
}

TEST(Impersonation, TokenQueriesCheckTheirBufferAndHandle) {
  ClientCallScope call(SecurityImpersonation);
  CoImpersonateClient();
  HANDLE token = nullptr;
  ASSERT_TRUE(OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token));
  WORD tooSmall = 0;
  DWORD returned = 0;
  EXPECT_FALSE(GetTokenInformation(token, TokenImpersonationLevel, &tooSmall, sizeof(tooSmall), &returned));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(returned, sizeof(SECURITY_IMPERSONATION_LEVEL));

  EXPECT_TRUE(CloseHandle(token));
  EXPECT_FALSE(CloseHandle(token));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  SECURITY_IMPERSONATION_LEVEL level = SecurityAnonymous;
  EXPECT_FALSE(GetTokenInformation(token, TokenImpersonationLevel, &level, sizeof(level), &returned));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  CoRevertToSelf();
}

TEST(Impersonation, NestedCallsRestoreTheOuterCall) {
  ClientCallScope outer(SecurityImpersonation);
  CoImpersonateClient();
  {
    ClientCallScope inner(SecurityIdentification);
    EXPECT_FALSE(compat::isImpersonating());
    CoImpersonateClient();
    EXPECT_EQ(tokenLevel(), SecurityIdentification);
  }
  EXPECT_TRUE(compat::isImpersonating());
  EXPECT_EQ(tokenLevel(), SecurityImpersonation);
  CoRevertToSelf();
}

TEST(Impersonation, EachThreadSeesItsOwnClient) {
  std::atomic<int> ready{0};
  int levels[2] = {-1, -1};
  auto serve = [&](int slot, SECURITY_IMPERSONATION_LEVEL level) {
    ClientCallScope call(level);
    CoImpersonateClient();
    ++ready;
    while (ready.load() < 2) std::this_thread::yield();  // both calls are open now
    levels[slot] = tokenLevel();
    CoRevertToSelf();
  };
  std::thread identify(serve, 0, SecurityIdentification);
  std::thread delegate(serve, 1, SecurityDelegation);
  identify.join();
  delegate.join();
  EXPECT_EQ(levels[0], SecurityIdentification);
  EXPECT_EQ(levels[1], SecurityDelegation);
  EXPECT_FALSE(compat::inClientCall());
}

TEST(Impersonation, Win32ErrorsBecomeHresultsOfTheWin32Facility) {
  EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_NO_TOKEN), static_cast<HRESULT>(0x800703F0u));
  EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_SUCCESS), S_OK);
}

}  // namespace
