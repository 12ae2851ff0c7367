#include <gtest/gtest.h>

#include <string>

#include "provider/request/document/RequestAttributes.h"

namespace qrv::cim {
namespace {

// Writes the attributes block of a class with the given attributes.
std::string attributes(std::initializer_list<Attribute> registered, const KeyValues& keys,
                       RequestStatus expected = Ok) {
  ClassMap classMap("N", "C");
  for (const Attribute& attribute : registered) classMap.addAttribute(attribute);
  std::string document = "head";
  EXPECT_EQ(writeRequestAttributes(classMap, keys, document), expected);
  return document;
}

Attribute required(const std::string& name, const std::string& altName = "") {
  return Attribute(true, false, name, altName);
}
Attribute optional(const std::string& name, const std::string& altName = "") {
  return Attribute(false, false, name, altName);
}

TEST(WriteAttributes, RequiredBeforeOptionalInRegistrationOrderEscaped) {
  EXPECT_EQ(attributes({optional("B"), required("Z"), optional("A"), required("Y")},
                       {{"A", "1"}, {"B", "2"}, {"Y", "a<b&c"}, {"Z", "4"}, {"Unregistered", "5"}}),
            "head<Attributes><Required name=\"Z\" value=\"4\" /><Required name=\"Y\" value=\"a&lt;b&amp;c\" />"
            "<Optional name=\"B\" value=\"2\" /><Optional name=\"A\" value=\"1\" /></Attributes>");
  EXPECT_EQ(attributes({}, {{"Name", "7"}}), "head<Attributes></Attributes>");
}

TEST(WriteAttributes, ArraysAndAlternativeNames) {
  EXPECT_EQ(attributes({optional("Ports", "PortList"), required("X"), optional("S", "A&B")},
                       {{"Ports", "{1, \"2\",,3}"}, {"X", "{}"}, {"S", " {1}"}}),
            "head<Attributes><Required name=\"X\"></Required>"
            "<Optional name=\"PortList\"><ArrayElement value=\"1\"/><ArrayElement value=\"2\"/>"
            "<ArrayElement value=\"3\"/></Optional><Optional name=\"A&amp;B\" value=\" {1}\" /></Attributes>");
}

TEST(WriteAttributes, EachKeyServesOneAttributeWhateverTheCaseOfItsName) {
  EXPECT_EQ(attributes({optional("Name"), optional("Name", "Other"), optional("other")}, {{"Name", "7"}, {"Other", "8"}}),
            "head<Attributes><Optional name=\"Name\" value=\"7\" /><Optional name=\"other\" value=\"8\" />"
            "</Attributes>");
  EXPECT_EQ(attributes({optional("Name"), required("Name")}, {{"Name", "7"}}, MissingKey), "head");
  // The entry carries the registration's spelling; an exact match is preferred.
  EXPECT_EQ(attributes({required("Name")}, {{"NAME", "7"}}), "head<Attributes><Required name=\"Name\" value=\"7\" /></Attributes>");
  EXPECT_EQ(attributes({required("Name"), optional("nAME")}, {{"NAME", "1"}, {"Name", "2"}}),
            "head<Attributes><Required name=\"Name\" value=\"2\" /><Optional name=\"nAME\" value=\"1\" />"
            "</Attributes>");
}

}  // namespace
}  // namespace qrv::cim
