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
  // Only a get may report an invalid object path as it is.
  EXPECT_FALSE(isEnumerationStatus(wbemResult(WBEM_E_INVALID_OBJECT_PATH)));
  EXPECT_TRUE(isGetObjectStatus(wbemResult(WBEM_E_INVALID_OBJECT_PATH)));
}

}  // namespace
