#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "provider/wmi/ObjectPathKeys.h"

namespace {

using qrv::cim::KeyValues;
using qrv::cim::objectPathClass;
using qrv::cim::parseObjectPathKeys;

TEST(ObjectPath, TheClassIsTheTextBeforeTheFirstDot) {
  EXPECT_EQ(objectPathClass("Fan.Name=\"a.b\""), "Fan");
  EXPECT_EQ(objectPathClass("Fan"), "Fan");
  EXPECT_EQ(objectPathClass(".Name=\"x\""), "");
}

TEST(ObjectPath, QuotedValuesAreUnescaped) {
  EXPECT_EQ(parseObjectPathKeys(R"(Fan.Name="CPU \"A\"",Index="2")"),
            (KeyValues{{"Name", "CPU \"A\""}, {"Index", "2"}}));
  EXPECT_EQ(parseObjectPathKeys(R"(Dir.Path="C:\\temp\\x")"), (KeyValues{{"Path", "C:\\temp\\x"}}));
}

TEST(ObjectPath, AnEscapedQuoteBeforeACommaDoesNotEndTheValue) {
  EXPECT_EQ(parseObjectPathKeys(R"(A.K="x\",y",L="z")"), (KeyValues{{"K", "x\",y"}, {"L", "z"}}));
}

TEST(ObjectPath, APathWithoutDotOrEqualsHasNoKeys) {
  EXPECT_TRUE(parseObjectPathKeys("Fan").empty());
  EXPECT_TRUE(parseObjectPathKeys("").empty());
}

TEST(ObjectPath, KeysAreNotTrimmedAndTheFirstValueIsKept) {
  EXPECT_EQ(parseObjectPathKeys(R"(A.K="1", K="2",K="3")"), (KeyValues{{"K", "1"}, {" K", "2"}}));
}

TEST(ObjectPath, UnquotedValuesRunToTheNextCommaAsTheyStand) {
  EXPECT_EQ(parseObjectPathKeys("A.Id=5"), (KeyValues{{"Id", "5"}}));
  EXPECT_EQ(parseObjectPathKeys(R"(Fan.Name="x",Index=2,On=TRUE)"),
            (KeyValues{{"Name", "x"}, {"Index", "2"}, {"On", "TRUE"}}));
  EXPECT_EQ(parseObjectPathKeys(R"(A.N=a\b"c,M=,K="v")"), (KeyValues{{"N", R"(a\b"c)"}, {"M", ""}, {"K", "v"}}));
}

TEST(ObjectPath, AnEscapedBackslashBeforeTheClosingQuoteEndsTheValue) {
  EXPECT_EQ(parseObjectPathKeys(R"(C.K="x\\",L="y")"), (KeyValues{{"K", "x\\"}, {"L", "y"}}));
  EXPECT_EQ(parseObjectPathKeys(R"(Dir.Path="C:\\",Name="a")"), (KeyValues{{"Path", "C:\\"}, {"Name", "a"}}));
  // Runs of escapes are read pairwise, left to right.
  EXPECT_EQ(parseObjectPathKeys(R"(C.K="\\\\\"\\",L=1)"), (KeyValues{{"K", R"(\\"\)"}, {"L", "1"}}));
}

TEST(ObjectPath, ServerAndNamespaceAreLeftOut) {
  for (const std::string path : {R"(\\.\root\cimv2:Fan.Name="x")", R"(\\srv.example.org\root\cimv2:Fan.Name="x")",
                                 R"(root\cimv2:Fan.Name="x")"}) {
    EXPECT_EQ(objectPathClass(path), "Fan") << path;
    EXPECT_EQ(parseObjectPathKeys(path), (KeyValues{{"Name", "x"}})) << path;
  }
  EXPECT_EQ(objectPathClass(R"(root\cimv2:Fan)"), "Fan");
  // A colon after the first "=" belongs to a value.
  EXPECT_EQ(objectPathClass(R"(Dir.Path="C:\\x")"), "Dir");
  EXPECT_EQ(parseObjectPathKeys(R"(Dir.Path="C:\\x",Drive=C:)"), (KeyValues{{"Path", "C:\\x"}, {"Drive", "C:"}}));
}

TEST(ObjectPath, LongValuesAreUnescapedInLinearTime) {
  std::string escapes;
  for (int i = 0; i < 500000; ++i) escapes += "\\\\\"";
  const auto started = std::chrono::steady_clock::now();
  const KeyValues keys = parseObjectPathKeys("A.K=\"" + escapes + "\"");
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  EXPECT_EQ(keys.at("K").size(), 1000000u);
}

TEST(ObjectPath, TruncatedPathsGiveEmptyValuesWithoutReadingPastTheEnd) {
  EXPECT_EQ(parseObjectPathKeys("A.Name="), (KeyValues{{"Name", ""}}));
  EXPECT_EQ(parseObjectPathKeys("A.Name=\""), (KeyValues{{"Name", ""}}));
  EXPECT_EQ(parseObjectPathKeys("A.Name=\"\""), (KeyValues{{"Name", ""}}));
  EXPECT_EQ(parseObjectPathKeys("A.Name=\",Next=\"v\""), (KeyValues{{"Name", ""}, {"Next", "v"}}));
  EXPECT_EQ(parseObjectPathKeys("="), (KeyValues{{"", ""}}));
}

}  // namespace
