#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <string>

#include "common/com/TextConversion.h"
#include "common/com/Variant.h"
#include "provider/wmi/CimDateTime.h"

namespace {

using qrv::cim::toCimDateTime;
using qrv::com::toUtf8;
using qrv::com::Variant;

// The CIM date-time text for a value, "<empty>" when the value stays empty.
std::string dateTime(const std::string& text) {
  Variant value;
  EXPECT_EQ(toCimDateTime(value.get(), text), S_OK);
  if (value.get()->vt == VT_EMPTY) return "<empty>";
  EXPECT_EQ(value.get()->vt, VT_BSTR);
  return toUtf8(value.get()->bstrVal);
}

TEST(CimDateTime, IntervalsSplitSecondsIntoDaysHoursMinutesAndSeconds) {
  EXPECT_EQ(dateTime("interval:93784"), "00000001020304.000000:000");
  EXPECT_EQ(dateTime("interval:0"), "00000000000000.000000:000");
  EXPECT_EQ(dateTime("interval:86399"), "00000000235959.000000:000");
}

TEST(CimDateTime, IntervalsReadOnlyTheTextAfterTheLastColonLikeAtoi) {
  EXPECT_EQ(dateTime("interval:12:34"), "00000000000034.000000:000");
  EXPECT_EQ(dateTime("interval:  61s"), "00000000000101.000000:000");
  EXPECT_EQ(dateTime("interval:x"), "00000000000000.000000:000");
}

TEST(CimDateTime, AbsoluteTextIsTakenUnchanged) {
  EXPECT_EQ(dateTime("absolute:20070605040302.000000+060"), "20070605040302.000000+060");
  EXPECT_EQ(dateTime("absolute:\xC3\xA9t\xC3\xA9"), "\xC3\xA9t\xC3\xA9");
}

TEST(CimDateTime, EpochSecondsBecomeUtcDateTimes) {
  EXPECT_EQ(dateTime("1000000000"), "20010909014640.000000-000");
  EXPECT_EQ(dateTime("0"), "19700101000000.000000-000");
  EXPECT_EQ(dateTime("abc"), "19700101000000.000000-000");
  EXPECT_EQ(dateTime("951782400"), "20000229000000.000000-000");
  EXPECT_EQ(dateTime("1765200000"), "20251208132000.000000-000");
}

TEST(CimDateTime, EpochSecondsAgreeWithTheCLibraryAcrossThe32BitRange) {
  for (int64_t seconds = 0; seconds <= 2147483647; seconds += 7654321) {
    const time_t time = static_cast<time_t>(seconds);
    std::tm fields{};
    ASSERT_TRUE(gmtime_r(&time, &fields));
    char expected[32];
    std::strftime(expected, sizeof expected, "%Y%m%d%H%M%S.000000-000", &fields);
    EXPECT_EQ(dateTime(std::to_string(seconds)), expected) << seconds;
  }
}

TEST(CimDateTime, APrefixWithNothingAfterItsColonFallsThroughToEpochSeconds) {
  EXPECT_EQ(dateTime("interval:"), "19700101000000.000000-000");
  EXPECT_EQ(dateTime("absolute:"), "19700101000000.000000-000");
}

TEST(CimDateTime, ANegativeCountLeavesTheValueEmpty) {
  EXPECT_EQ(dateTime("-5"), "<empty>");
  EXPECT_EQ(dateTime("-99999999999999999999"), "<empty>");
}

TEST(CimDateTime, NumbersBeyondThe32BitRangeSaturate) {
  EXPECT_EQ(dateTime("2147483647"), "20380119031407.000000-000");
  EXPECT_EQ(dateTime("99999999999999999999999999"), "20380119031407.000000-000");
  EXPECT_EQ(dateTime("interval:99999999999999999999"), "00024855031407.000000:000");
  EXPECT_EQ(dateTime("interval:-99999999999999999999"), "-0024855-3-14-8.000000:000");
}

}  // namespace
