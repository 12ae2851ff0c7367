// A kept get document given other key values is, to a stylesheet, the
// document parsed with those values: every node, value, name and position in
// document order.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/XSLT/XSLTResultTarget.hpp>

#include "provider/request/cache/ParsedDocument.h"
#include "provider/request/cache/RequestCaches.h"
#include "provider/request/text/EscapeXml.h"
#include "provider/request/xslt/BoundedTransformer.h"
#include "tests/provider/request/RequestFiles.h"

namespace qrv::cim {
namespace {

using Values = std::vector<std::string>;

// A get document whose block holds two scalar entries and an array of two
// elements; the data holds values that keys may repeat.
std::string getDocument(const Values& values) {
  return "<?xml-stylesheet type=\"text/xml\" version=\"1.0\" encoding=\"UTF-8\"?><QRVCIM cim-operation=\"get\" "
         "creation-class-name=\"C\" creation-class-namespace=\"N\" system-name=\"H\" user-name=\"\"><Attributes>"
         "<Required name=\"Name\" value=\"" + escapeXml(values[0]) + "\" /><Required name=\"Arch\" value=\"" +
         escapeXml(values[1]) + "\" /><Optional name=\"Ports\"><ArrayElement value=\"" + escapeXml(values[2]) +
         "\"/><ArrayElement value=\"" + escapeXml(values[3]) + "\"/></Optional></Attributes>\n"
         "<Inv><Item name=\"a\" arch=\"x\">a</Item><Item name=\"b\" arch=\"y\">b<!-- c --></Item></Inv></QRVCIM>";
}

// Every node and attribute in document order, with what a stylesheet can
// ask of its place; and the items that a get of the keys selects.
const char kDump[] =
    "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
    "<xsl:output method=\"text\"/><xsl:key name=\"v\" match=\"@*\" use=\".\"/>"
    "<xsl:template match=\"/\"><xsl:for-each select=\"//node() | //@*\">"
    "<xsl:value-of select=\"concat(name(), '=', string(.), ' ', name(..), ' ', count(preceding::node()), ' ',"
    " count(ancestor::node()), ' ', count(preceding-sibling::node()), ' ', count(following::node()), ' ',"
    " count(key('v', string(.))), ' ', name((. | /QRVCIM/Inv)[1]), '&#10;')\"/></xsl:for-each>"
    "<xsl:for-each select=\"//Item[@name = /QRVCIM/Attributes/Required[@name = 'Name']/@value]\">"
    "<xsl:value-of select=\"concat('selected ', @arch)\"/></xsl:for-each></xsl:template></xsl:stylesheet>";

class KeyValueSlots : public testing::Test {
 protected:
  static void SetUpTestSuite() { test::writeXslRootFile("app/xsl/dump.xsl", kDump); }

  static std::string dump(const ParsedDocument& document) {
    const auto stylesheet = RequestCaches::stylesheets().find(test::xslRootFile("app/xsl/dump.xsl"), test::xslRoot());
    EXPECT_TRUE(stylesheet);
    BoundedTransformer transformer;
    std::ostringstream output;
    const xalanc::XSLTResultTarget target(output);
    TransformBudget budget({}, [&output] { return static_cast<std::size_t>(output.tellp()); });
    EXPECT_TRUE(transformer.transform(document.source(), stylesheet->get(), target, budget, test::xslRootDocuments()));
    return output.str();
  }

  static std::unique_ptr<ParsedDocument> parse(const Values& values) {
    std::unique_ptr<ParsedDocument> document;
    EXPECT_EQ(ParsedDocument::parse(getDocument(values), document), Ok);
    return document;
  }
};

TEST_F(KeyValueSlots, OtherValuesGiveTheTreeOfTheDocumentWithThem) {
  const std::unique_ptr<ParsedDocument> kept = parse({"a", "x", "1", "2"});
  // Values the data holds too, values a parser unescapes, an empty one,
  // longer and shorter ones, and the first ones again.
  for (const Values& values : {Values{"b", "y", "a", "a"}, Values{"<&'\">", "", "x", "b"},
                               Values{"a much longer value than before", "y", "3", "4"}, Values{"a", "x", "1", "2"}}) {
    ASSERT_TRUE(kept->useKeyValues(values));
    EXPECT_EQ(dump(*kept), dump(*parse(values))) << values[0];
  }
  EXPECT_NE(dump(*kept).find("selected x"), std::string::npos);
}

// A parser turns tabs and line ends in an attribute into blanks, reads
// other bytes as UTF-8 and refuses control characters: such values are not
// taken, and the tree keeps the values it had.
TEST_F(KeyValueSlots, ValuesAParserWouldChangeOrRefuseAreNotTaken) {
  const std::unique_ptr<ParsedDocument> kept = parse({"a", "x", "1", "2"});
  ASSERT_TRUE(kept->useKeyValues({"b", "y", "1", "2"}));
  const std::string before = dump(*kept);
  for (const Values& values : {Values{"a\tb", "x", "1", "2"}, Values{"b", "y\n", "1", "2"},
                               Values{"\xC3\xA9", "x", "1", "2"}, Values{"b", "x", "\x01", "2"},
                               Values{"b", "x", "1"}, Values{"b", "x", "1", "2", "3"}}) {
    EXPECT_FALSE(kept->useKeyValues(values)) << values[0];
    EXPECT_EQ(dump(*kept), before);
  }
}

TEST_F(KeyValueSlots, ADocumentWithoutAnAttributesBlockTakesNoValues) {
  std::unique_ptr<ParsedDocument> enumeration;
  ASSERT_EQ(ParsedDocument::parse("<QRVCIM cim-operation=\"enumerate\"><Inv><Item value=\"v\"/></Inv></QRVCIM>",
                                  enumeration),
            Ok);
  const std::string before = dump(*enumeration);
  EXPECT_TRUE(enumeration->useKeyValues({}));
  EXPECT_FALSE(enumeration->useKeyValues({"w"}));
  EXPECT_EQ(dump(*enumeration), before);
}

}  // namespace
}  // namespace qrv::cim
