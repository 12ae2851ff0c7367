#include <gtest/gtest.h>

#include <string>

#include "provider/request/HostName.h"
#include "provider/request/RequestBase.h"

namespace qrv::cim {
namespace {

const std::string kStylesheetInstruction =
    "<?xml-stylesheet type=\"text/xml\" version=\"1.0\" encoding=\"UTF-8\"?>";

TEST(WriteHeader, EnumerationDocumentWithoutDataIsExact) {
  const RequestBase request("");
  const std::string document = request.writeHeader("enumerate", "C", "N") + "</QRVCIM>";
  EXPECT_EQ(document, kStylesheetInstruction +
                          "<QRVCIM cim-operation=\"enumerate\" creation-class-name=\"C\" "
                          "creation-class-namespace=\"N\" system-name=\"" +
                          hostName() + "\" user-name=\"\"></QRVCIM>");
}

TEST(WriteHeader, WritesCallerValuesUnescaped) {
  const RequestBase request("u&\"");
  const std::string header = request.writeHeader("get", "C&\"", "root\\cimv2");
  EXPECT_NE(header.find(" creation-class-name=\"C&\"\""), std::string::npos);
  EXPECT_NE(header.find(" creation-class-namespace=\"root\\cimv2\""), std::string::npos);
  EXPECT_EQ(header.substr(header.size() - 17), " user-name=\"u&\"\">");
}

struct AttributeCase {
  ClassMap classMap{"N", "C"};
  KeyValues keys;

  std::string write(RequestStatus expected = Ok) {
    std::string document = "head";
    EXPECT_EQ(RequestBase::writeAttributes(classMap, keys, document), expected);
    return document;
  }
};

TEST(WriteAttributes, RequiredScalarIsEscaped) {
  AttributeCase c;
  c.classMap.addAttribute(Attribute(true, false, "Name", ""));
  c.keys = {{"Name", "a<b&c"}};
  EXPECT_EQ(c.write(), "head<Attributes><Required name=\"Name\" value=\"a&lt;b&amp;c\" /></Attributes>");
}

TEST(WriteAttributes, RequiredEntriesPrecedeOptionalOnesInRegistrationOrder) {
  AttributeCase c;
  c.classMap.addAttribute(Attribute(false, false, "B", ""));
  c.classMap.addAttribute(Attribute(true, false, "Z", ""));
  c.classMap.addAttribute(Attribute(false, false, "A", ""));
  c.classMap.addAttribute(Attribute(true, false, "Y", ""));
  c.keys = {{"A", "1"}, {"B", "2"}, {"Y", "3"}, {"Z", "4"}, {"Unregistered", "5"}};
  EXPECT_EQ(c.write(),
            "head<Attributes><Required name=\"Z\" value=\"4\" /><Required name=\"Y\" value=\"3\" />"
            "<Optional name=\"B\" value=\"2\" /><Optional name=\"A\" value=\"1\" /></Attributes>");
}

TEST(WriteAttributes, ArrayValuesUseTheAlternativeName) {
  AttributeCase c;
  c.classMap.addAttribute(Attribute(false, false, "Ports", "PortList"));
  c.classMap.addAttribute(Attribute(true, false, "X", ""));
  c.classMap.addAttribute(Attribute(false, false, "S", "A&B"));
  c.keys = {{"Ports", "{1, \"2\",,3}"}, {"X", "{}"}, {"S", " {1}"}};
  EXPECT_EQ(c.write(),
            "head<Attributes><Required name=\"X\"></Required>"
            "<Optional name=\"PortList\"><ArrayElement value=\"1\"/><ArrayElement value=\"2\"/>"
            "<ArrayElement value=\"3\"/></Optional>"
            "<Optional name=\"A&amp;B\" value=\" {1}\" /></Attributes>");
}

TEST(WriteAttributes, ClassWithoutAttributesWritesAnEmptyBlock) {
  AttributeCase c;
  c.keys = {{"Name", "7"}};
  EXPECT_EQ(c.write(), "head<Attributes></Attributes>");
}

TEST(WriteAttributes, KeyValueServesOnlyTheFirstAttributeOfItsName) {
  AttributeCase optionalTwice;
  optionalTwice.classMap.addAttribute(Attribute(false, false, "Name", ""));
  optionalTwice.classMap.addAttribute(Attribute(false, false, "Name", "Other"));
  optionalTwice.keys = {{"Name", "7"}};
  EXPECT_EQ(optionalTwice.write(), "head<Attributes><Optional name=\"Name\" value=\"7\" /></Attributes>");

  AttributeCase requiredSecond;
  requiredSecond.classMap.addAttribute(Attribute(false, false, "Name", ""));
  requiredSecond.classMap.addAttribute(Attribute(true, false, "Name", ""));
  requiredSecond.keys = {{"Name", "7"}};
  EXPECT_EQ(requiredSecond.write(MissingKey), "head");
}

TEST(WriteAttributes, CaseOnlyMatchLeavesARequiredKeyMissing) {
  AttributeCase required;
  required.classMap.addAttribute(Attribute(false, false, "Other", ""));
  required.classMap.addAttribute(Attribute(true, false, "Name", ""));
  required.keys = {{"NAME", "7"}, {"Other", "1"}};
  EXPECT_EQ(required.write(MissingKey), "head");

  AttributeCase optional;
  optional.classMap.addAttribute(Attribute(false, false, "Name", ""));
  optional.keys = {{"name", "7"}};
  EXPECT_EQ(optional.write(), "head<Attributes></Attributes>");
}

TEST(WriteAttributes, LeavesTheCallersKeysUnchanged) {
  AttributeCase c;
  c.classMap.addAttribute(Attribute(true, false, "Name", ""));
  c.keys = {{"Name", "7"}};
  const KeyValues before = c.keys;
  c.write();
  EXPECT_EQ(c.keys, before);
}

}  // namespace
}  // namespace qrv::cim
