#include <gtest/gtest.h>

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

TEST(ObjectPath, AnUnquotedValueLosesItsFirstAndLastCharacters) {
  EXPECT_EQ(parseObjectPathKeys("A.Id=5"), (KeyValues{{"Id", ""}}));
  EXPECT_EQ(parseObjectPathKeys("A.Id=1234"), (KeyValues{{"Id", "23"}}));
}

TEST(ObjectPath, TruncatedPathsGiveEmptyValuesWithoutReadingPastTheEnd) {
  EXPECT_EQ(parseObjectPathKeys("A.Name="), (KeyValues{{"Name", ""}}));
  EXPECT_EQ(parseObjectPathKeys("A.Name=\""), (KeyValues{{"Name", ""}}));
  EXPECT_EQ(parseObjectPathKeys("A.Name=\"\""), (KeyValues{{"Name", ""}}));
  EXPECT_EQ(parseObjectPathKeys("A.Name=\",Next=\"v\""), (KeyValues{{"Name", ""}, {"Next", "v"}}));
  EXPECT_EQ(parseObjectPathKeys("="), (KeyValues{{"", ""}}));
}

}  // namespace
