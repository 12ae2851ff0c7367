#include <gtest/gtest.h>

#include "provider/wmi/RequestResult.h"
#include "provider/wmi/WbemResult.h"

namespace {

using namespace qrv::cim;

TEST(RequestResult, EachRequestStatusHasItsWmiResult) {
  EXPECT_EQ(mapRequestStatus(Ok), wbemResult(WBEM_S_NO_ERROR));
  EXPECT_EQ(mapRequestStatus(MissingKey), wbemResult(WBEM_E_INVALID_OBJECT));
  EXPECT_EQ(mapRequestStatus(NotAccessible), wbemResult(WBEM_E_ACCESS_DENIED));
  EXPECT_EQ(mapRequestStatus(TransformFailed), wbemResult(WBEM_E_FAILED));
  EXPECT_EQ(mapRequestStatus(StylesheetFailed), wbemResult(WBEM_E_FAILED));
  EXPECT_EQ(mapRequestStatus(NotSupported), wbemResult(WBEM_E_NOT_SUPPORTED));
  EXPECT_EQ(mapRequestStatus(static_cast<RequestStatus>(7)), wbemResult(WBEM_E_PROVIDER_FAILURE));
}

TEST(RequestResult, TheFiltersLetOnlyTheirCodesThrough) {
  for (WBEMSTATUS allowed : {WBEM_S_NO_ERROR, WBEM_E_NOT_FOUND, WBEM_E_ACCESS_DENIED, WBEM_E_INVALID_PARAMETER,
                             WBEM_E_INVALID_CLASS, WBEM_E_PROVIDER_NOT_CAPABLE}) {
    EXPECT_TRUE(isEnumerationStatus(wbemResult(allowed))) << std::hex << allowed;
    EXPECT_TRUE(isGetObjectStatus(wbemResult(allowed))) << std::hex << allowed;
  }
  EXPECT_FALSE(isEnumerationStatus(wbemResult(WBEM_E_INVALID_OBJECT_PATH)));
  EXPECT_TRUE(isGetObjectStatus(wbemResult(WBEM_E_INVALID_OBJECT_PATH)));
  for (HRESULT refused : {wbemResult(WBEM_E_FAILED), wbemResult(WBEM_E_INVALID_OBJECT),
                          wbemResult(WBEM_E_NOT_SUPPORTED), wbemResult(WBEM_E_TYPE_MISMATCH), S_FALSE}) {
    EXPECT_FALSE(isEnumerationStatus(refused)) << std::hex << refused;
    EXPECT_FALSE(isGetObjectStatus(refused)) << std::hex << refused;
  }
}

TEST(RequestResult, OnlyOkAndNotAccessibleSurviveTheFilters) {
  EXPECT_EQ(allowedOrNotCapable(mapRequestStatus(Ok), isEnumerationStatus), wbemResult(WBEM_S_NO_ERROR));
  EXPECT_EQ(allowedOrNotCapable(mapRequestStatus(NotAccessible), isGetObjectStatus),
            wbemResult(WBEM_E_ACCESS_DENIED));
  for (RequestStatus status : {MissingKey, TransformFailed, StylesheetFailed, NotSupported}) {
    EXPECT_EQ(allowedOrNotCapable(mapRequestStatus(status), isEnumerationStatus),
              wbemResult(WBEM_E_PROVIDER_NOT_CAPABLE));
    EXPECT_EQ(allowedOrNotCapable(mapRequestStatus(status), isGetObjectStatus),
              wbemResult(WBEM_E_PROVIDER_NOT_CAPABLE));
  }
}

}  // namespace
