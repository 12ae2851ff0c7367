// The line after a failure whose code alone does not tell the provider's
// reason: where the reason is, and the check of the deployment.

#include "host/cli/ProviderFailureHint.h"

#include <gtest/gtest.h>

namespace wmihost {
namespace {

TEST(ProviderFailureHint, CodesOfManyCausesPointToTheProvidersReasonAndToCheck) {
  for (const auto code : {WBEM_E_ACCESS_DENIED, WBEM_E_PROVIDER_NOT_CAPABLE}) {
    EXPECT_EQ(providerFailureHint(static_cast<HRESULT>(code), false),
              "the provider gives its reason on its diagnostic channel, which --verbose shows; wmihost check checks "
              "the deployment")
        << code;
    EXPECT_EQ(providerFailureHint(static_cast<HRESULT>(code), true),
              "the provider's lines above give its reason; wmihost check checks the deployment")
        << code;
  }
}

TEST(ProviderFailureHint, OtherCodesSpeakForThemselves) {
  for (const auto code : {WBEM_E_NOT_FOUND, WBEM_E_INVALID_OBJECT_PATH, WBEM_E_INVALID_CLASS, WBEM_E_FAILED}) {
    EXPECT_EQ(providerFailureHint(static_cast<HRESULT>(code), false), "") << code;
  }
  EXPECT_EQ(providerFailureHint(S_OK, false), "");
}

}  // namespace
}  // namespace wmihost
