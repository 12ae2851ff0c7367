#include <gtest/gtest.h>

#include <string>

#include "common/com/GuidText.h"

namespace qrv::com {
namespace {

constexpr GUID kSample = {0x5A1E7C3D, 0x0B94, 0x4F2A, {0x9C, 0x61, 0x7D, 0x28, 0xE4, 0xB0, 0xA9, 0x13}};
constexpr char kSampleText[] = "{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}";

TEST(GuidText, WritesEachFieldMostSignificantDigitFirst) { EXPECT_EQ(guidText(kSample), kSampleText); }

TEST(GuidText, PadsEveryGroupWithZeros) {
  const GUID small = {0xA, 0xB, 0xC, {0x0, 0xD, 0x0, 0x0, 0x0, 0x0, 0x0, 0xE}};
  EXPECT_EQ(guidText(small), "{0000000A-000B-000C-000D-00000000000E}");
  EXPECT_EQ(guidText(GUID{}), "{00000000-0000-0000-0000-000000000000}");
}

TEST(GuidText, WritesTheLargestFieldsWhole) {
  const GUID largest = {0xFFFFFFFF, 0xFFFF, 0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}};
  EXPECT_EQ(guidText(largest), "{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}");
}

TEST(GuidFromText, ReadsEachFieldAsItIsWritten) {
  const auto guid = guidFromText(kSampleText);
  ASSERT_TRUE(guid);
  EXPECT_EQ(guid->Data1, 0x5A1E7C3Du);
  EXPECT_EQ(guid->Data2, 0x0B94);
  EXPECT_EQ(guid->Data3, 0x4F2A);
  EXPECT_EQ(*guid, kSample);
}

TEST(GuidFromText, ReadsDigitsOfMixedCase) {
  EXPECT_EQ(guidFromText("{5a1E7c3D-0b94-4F2a-9C61-7d28e4B0a913}"), kSample);
}

TEST(GuidFromText, RoundTripsWithGuidText) {
  for (const GUID& guid : {kSample, GUID{}, GUID{0x80000001, 0x8001, 0x0080, {0x80, 0x7F, 0, 1, 2, 3, 4, 0xFE}}}) {
    const std::string text = guidText(guid);
    EXPECT_EQ(guidFromText(text), guid) << text;
  }
}

TEST(GuidFromText, RefusesWhatANumberParserWouldAccept) {
  for (const char* text : {"{+A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}", "{0x1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}",
                           "{ 5A1E7C3-0B94-4F2A-9C61-7D28E4B0A913}", "{5A1E7C3D--B94-4F2A-9C61-7D28E4B0A913}",
                           "{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A9 3}", "{-A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}"}) {
    EXPECT_FALSE(guidFromText(text)) << text;
  }
}

TEST(GuidFromText, ReadsTheWholeTextNotUpToItsFirstNul) {
  using namespace std::string_literals;
  EXPECT_FALSE(guidFromText(kSampleText + "\0"s));
}

}  // namespace
}  // namespace qrv::com
