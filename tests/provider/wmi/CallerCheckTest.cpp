#include <gtest/gtest.h>

#include "compat/com/CallContext.h"
#include "provider/wmi/CallerCheck.h"

namespace {

using compat::ClientCall;
using compat::ClientCallScope;
using qrv::cim::checkImpersonationLevel;

struct LevelCase {
  SECURITY_IMPERSONATION_LEVEL token;
  DWORD level;
};

TEST(CallerCheck, TokenLevelsMapToImpersonationLevels) {
  for (const LevelCase& c : {LevelCase{SecurityIdentification, RPC_C_IMP_LEVEL_IDENTIFY},
                             LevelCase{SecurityImpersonation, RPC_C_IMP_LEVEL_IMPERSONATE},
                             LevelCase{SecurityDelegation, RPC_C_IMP_LEVEL_DELEGATE}}) {
    ClientCallScope call(c.token);
    DWORD level = 0;
    EXPECT_EQ(checkImpersonationLevel(&level), S_OK);
    EXPECT_EQ(level, c.level);
    EXPECT_FALSE(compat::isImpersonating());
  }
}

TEST(CallerCheck, AnUnknownTokenLevelFailsAtTheAnonymousLevel) {
  ClientCallScope call(static_cast<SECURITY_IMPERSONATION_LEVEL>(7));
  DWORD level = 0;
  EXPECT_EQ(checkImpersonationLevel(&level), static_cast<HRESULT>(0x8007FFFFu));
  EXPECT_EQ(level, RPC_C_IMP_LEVEL_ANONYMOUS);
  EXPECT_FALSE(compat::isImpersonating());
}

TEST(CallerCheck, ATokenThatCannotBeReadGivesItsWin32ErrorAndReverts) {
  ClientCall openFails;
  openFails.openTokenError = ERROR_ACCESS_DENIED;
  ClientCall queryFails;
  queryFails.tokenInformationError = ERROR_BAD_IMPERSONATION_LEVEL;
  for (const auto& [call, expected] : {std::pair{openFails, 0x80070005u}, std::pair{queryFails, 0x80070542u}}) {
    ClientCallScope scope(call);
    DWORD level = 0;
    EXPECT_EQ(checkImpersonationLevel(&level), static_cast<HRESULT>(expected));
    EXPECT_EQ(level, RPC_C_IMP_LEVEL_ANONYMOUS);
    EXPECT_FALSE(compat::isImpersonating());
    EXPECT_EQ(compat::openTokenCount(), 0u);
  }
}

}  // namespace
