#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "provider/registration/ClassMap.h"
#include "provider/request/document/AttributesShape.h"
#include "provider/request/document/RequestAttributes.h"

namespace qrv::cim {
namespace {

using Values = std::vector<std::string>;

// The block that a get of a class with a required Name (written as
// PackageName) and an optional Ports writes for the keys.
std::string block(const KeyValues& keys) {
  ClassMap classMap("N", "C");
  classMap.addAttribute(Attribute(true, false, "Name", "PackageName"));
  classMap.addAttribute(Attribute(false, false, "Ports", ""));
  std::string written;
  EXPECT_EQ(writeRequestAttributes(classMap, keys, written), Ok);
  return written;
}

TEST(AttributesShape, ValuesComeOutUnescapedInDocumentOrder) {
  Values values;
  const std::string shape = attributesShape(block({{"Name", "a<b&\"c'"}, {"Ports", "{1, \"2\"}"}}), values);
  EXPECT_EQ(values, (Values{"a<b&\"c'", "1", "2"}));
  EXPECT_EQ(shape,
            "<Attributes><Required name=\"PackageName\" value=\"\" /><Optional name=\"Ports\">"
            "<ArrayElement value=\"\"/><ArrayElement value=\"\"/></Optional></Attributes>");
}

TEST(AttributesShape, OnlyTheValuesMayDifferWithinOneShape) {
  Values values;
  const std::string shape = attributesShape(block({{"Name", "a"}, {"Ports", "{1,2}"}}), values);
  EXPECT_EQ(attributesShape(block({{"Name", "value=\"b\""}, {"Ports", "{3,4}"}}), values), shape);
  EXPECT_NE(attributesShape(block({{"Name", "a"}, {"Ports", "{1}"}}), values), shape);
  EXPECT_NE(attributesShape(block({{"Name", "a"}, {"Ports", "1"}}), values), shape);
  EXPECT_NE(attributesShape(block({{"Name", "a"}}), values), shape);
}

// A name is no value, even where its text ends like the start of one.
TEST(AttributesShape, NamesStayInTheShape) {
  ClassMap classMap("N", "C");
  classMap.addAttribute(Attribute(true, false, "Key", "x value="));
  std::string written;
  ASSERT_EQ(writeRequestAttributes(classMap, {{"Key", "7"}}, written), Ok);
  Values values;
  EXPECT_EQ(attributesShape(written, values), "<Attributes><Required name=\"x value=\" value=\"\" /></Attributes>");
  EXPECT_EQ(values, Values{"7"});
}

}  // namespace
}  // namespace qrv::cim
