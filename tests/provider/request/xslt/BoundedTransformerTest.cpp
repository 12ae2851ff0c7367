// Stylesheets that never end, or would take far too long, fail the request
// at one of the transform's bounds and say which; the transformer then
// serves the next request as before.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/XSLT/XSLTResultTarget.hpp>

#include "provider/request/EnumerateImpl.h"
#include "provider/request/cache/ParsedDocument.h"
#include "provider/request/cache/RequestCaches.h"
#include "provider/request/xslt/BoundedTransformer.h"
#include "tests/provider/request/RequestFiles.h"
#include "tests/provider/request/ScopedEnvironment.h"
#include "tests/support/DiagnosticLines.h"

namespace qrv::cim {
namespace {

using test::textStylesheet;
using Instances = std::vector<ParsedInstance>;

const std::string kNamespace = "root\\qrvbounds";
const int kItems = 200;

const char kItemInstance[] = "instance of Item\n{\n Name = \"<xsl:value-of select=\"@name\"/>\";\n};\n";

// A stylesheet with a named template `r` beside the one for the root.
std::string withTemplate(const std::string& rootBody, const std::string& r) {
  return "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
         "<xsl:output method=\"text\"/><xsl:template match=\"/\">" + rootBody +
         "</xsl:template><xsl:template name=\"r\">" + r + "</xsl:template></xsl:stylesheet>";
}

// Registers class `name`, enumerated over the items by the stylesheet `name`.xsl.
void addClass(const std::string& name, const std::string& stylesheet) {
  test::writeXslRootFile("app/xsl/" + name + ".xsl", stylesheet);
  test::writeRegistration("root/qrvbounds/" + name + ".xml",
                          "<R><Class name=\"" + name + "\" namespace=\"" + kNamespace +
                              "\"><Enumerate><FileProvider name=\"items.xml\" app=\"app\" area=\"data\"/>"
                              "<Conversion name=\"" + name + ".xsl\" app=\"app\" area=\"xsl\"/></Enumerate>"
                              "<Attribute name=\"Name\" required=\"true\"/></Class></R>");
}

class TransformBounds : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string items = "<Items>";
    for (int i = 0; i < kItems; ++i) items += "<Item name=\"i" + std::to_string(i) + "\"/>";
    test::writeXslRootFile("app/data/items.xml", items + "</Items>");
    addClass("listed", textStylesheet("<xsl:for-each select=\"//Item\">" + std::string(kItemInstance) + "</xsl:for-each>"));
  }

  static RequestStatus enumerate(const std::string& className, Instances& instances) {
    return EnumerateImpl("").run(kNamespace, className, instances);
  }

  // The diagnostic line of an enumeration that has to fail.
  static std::string failure(const std::string& className) {
    test::DiagnosticLines lines;
    Instances instances;
    EXPECT_EQ(enumerate(className, instances), TransformFailed) << className;
    EXPECT_TRUE(instances.empty()) << className;
    EXPECT_EQ(lines.lines().size(), 1u) << lines.all();
    return lines.all();
  }

  // The transformer that a bound stopped answers the next request in full.
  static void expectServed() {
    Instances instances;
    EXPECT_EQ(enumerate("listed", instances), Ok);
    ASSERT_EQ(instances.size(), static_cast<std::size_t>(kItems));
    EXPECT_EQ(instances.back(), (ParsedInstance{{"Name", "i199"}}));
  }
};

TEST_F(TransformBounds, EndlessRecursionEndsAtTheDepthBound) {
  const test::ScopedEnvironment bound{{"KORVEX_TRANSFORM_MAX_DEPTH", "2000"}};
  addClass("callsitself", withTemplate("<xsl:call-template name=\"r\"/>", "<xsl:call-template name=\"r\"/>"));
  addClass("appliesitself", textStylesheet("<xsl:apply-templates select=\".\"/>"));
  addClass("throughvariable",
           withTemplate("<xsl:call-template name=\"r\"/>",
                        "<xsl:variable name=\"v\"><xsl:call-template name=\"r\"/></xsl:variable><xsl:value-of select=\"$v\"/>"));
  addClass("writesforever", withTemplate("<xsl:call-template name=\"r\"/>",
                                          "instance of Item\n{\n};\n<xsl:call-template name=\"r\"/>"));
  for (const char* name : {"callsitself", "appliesitself", "throughvariable", "writesforever"}) {
    const std::string line = failure(name);
    EXPECT_NE(line.find("/xslroot/app/xsl/" + std::string(name) + ".xsl failed on the request: its templates nested "
                        "deeper than 2000"), std::string::npos) << line;
    EXPECT_NE(line.find("KORVEX_TRANSFORM_MAX_DEPTH"), std::string::npos) << line;
    expectServed();
  }
}

// What a stylesheet says with xsl:message, and Xalan-C's warnings, are the
// provider's diagnostic lines, one each, and never the host's error stream.
TEST_F(TransformBounds, MessagesAreDiagnosticLines) {
  addClass("talks", withTemplate("<xsl:for-each select=\"//Item[position() &lt; 3]\"><xsl:message>at <xsl:value-of "
                                 "select=\"@name\"/>\nnext line</xsl:message><xsl:call-template name=\"r\">"
                                 "<xsl:with-param name=\"n\" select=\"@name\"/></xsl:call-template></xsl:for-each>",
                                 "<xsl:param name=\"n\"/>instance of Item\n{\n Name = \"<xsl:value-of select=\"$n\"/>\";\n};\n"));
  testing::internal::CaptureStderr();
  test::DiagnosticLines lines;
  Instances instances;
  EXPECT_EQ(enumerate("talks", instances), Ok);
  ASSERT_EQ(instances.size(), 2u);
  EXPECT_EQ(instances[1].at("Name"), "i1");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  ASSERT_EQ(lines.lines().size(), 2u) << lines.all();
  for (const char* name : {"i0", "i1"}) {
    EXPECT_NE(lines.all().find("wexi: XSLT message: at " + std::string(name) +
                               " next line (Occurred in entity 'file://" + test::xslRootFile("app/xsl/talks.xsl") + "'"),
              std::string::npos) << lines.all();
  }
}

TEST_F(TransformBounds, OutputBeyondItsBoundEndsTheTransform) {
  const test::ScopedEnvironment bound{{"KORVEX_TRANSFORM_MAX_OUTPUT_BYTES", "100000"}};
  // 8 million instances: an endless loop to whoever waits for it.
  addClass("cubed", textStylesheet("<xsl:for-each select=\"//Item\"><xsl:for-each select=\"//Item\"><xsl:for-each "
                                   "select=\"//Item\">" + std::string(kItemInstance) +
                                   "</xsl:for-each></xsl:for-each></xsl:for-each>"));
  const std::string line = failure("cubed");
  EXPECT_NE(line.find("it wrote more than 100000 bytes (KORVEX_TRANSFORM_MAX_OUTPUT_BYTES)"), std::string::npos) << line;
  expectServed();
}

TEST_F(TransformBounds, AStepThatTakesTooLongEndsAtTheDeadline) {
  const test::ScopedEnvironment bound{{"KORVEX_TRANSFORM_MAX_MILLISECONDS", "200"}};
  // One expression that visits the items 200^4 times, and writes nothing.
  addClass("nested", textStylesheet("<xsl:value-of select=\"count(//Item[count(//Item[count(//Item[count(//Item) = "
                                    "200]) = 200]) = 200])\"/>"));
  const std::string line = failure("nested");
  EXPECT_NE(line.find("it ran longer than 200 ms (KORVEX_TRANSFORM_MAX_MILLISECONDS)"), std::string::npos) << line;
  expectServed();
}

TEST_F(TransformBounds, MemoryBeyondItsBoundEndsTheTransform) {
  const test::ScopedEnvironment bound{{"KORVEX_TRANSFORM_MAX_MEMORY_BYTES", "10000000"}};
  // A string that doubles at every call outgrows any bound within a few dozen calls.
  addClass("doubles", withTemplate("<xsl:call-template name=\"r\"><xsl:with-param name=\"s\" select=\"'x'\"/>"
                                   "</xsl:call-template>",
                                   "<xsl:param name=\"s\"/><xsl:call-template name=\"r\"><xsl:with-param name=\"s\" "
                                   "select=\"concat($s, $s)\"/></xsl:call-template>"));
  const std::string line = failure("doubles");
  EXPECT_NE(line.find("it held more than 10000000 bytes of memory (KORVEX_TRANSFORM_MAX_MEMORY_BYTES)"),
            std::string::npos) << line;
  expectServed();

  // EXSLT's str:padding builds its string in one step, so it is refused
  // beyond the bound before it starts (two billion characters ended the
  // process); shorter ones are written as before.
  const auto padding = [](const std::string& length) {
    return "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\" "
           "xmlns:str=\"http://exslt.org/strings\"><xsl:output method=\"text\"/><xsl:template match=\"/\">"
           "instance of Item\n{\n Name = \"<xsl:value-of select=\"str:padding(" + length +
           ", '0')\"/>\";\n};\n</xsl:template></xsl:stylesheet>";
  };
  addClass("padstoofar", padding("2000000000"));
  addClass("pads", padding("3"));
  const std::string padded = failure("padstoofar");
  EXPECT_NE(padded.find("str:padding() asked for more than 5000000 characters"), std::string::npos) << padded;
  Instances instances;
  EXPECT_EQ(enumerate("pads", instances), Ok);
  EXPECT_EQ(instances, (Instances{{{"Name", "000"}}}));
}

// Deep but finite recursion and a long enumeration stay within the defaults.
TEST_F(TransformBounds, LegitimateWorkPassesTheDefaults) {
  addClass("countsdown",
           withTemplate("<xsl:call-template name=\"r\"><xsl:with-param name=\"n\" select=\"20000\"/></xsl:call-template>",
                        "<xsl:param name=\"n\"/><xsl:if test=\"$n &gt; 0\"><xsl:call-template name=\"r\"><xsl:with-param "
                        "name=\"n\" select=\"$n - 1\"/></xsl:call-template></xsl:if><xsl:if test=\"$n = 0\">"
                        "instance of Item\n{\n Name = \"bottom\";\n};\n</xsl:if>"));
  addClass("squared", textStylesheet("<xsl:for-each select=\"//Item\"><xsl:for-each select=\"//Item\">" +
                                     std::string(kItemInstance) + "</xsl:for-each></xsl:for-each>"));
  Instances instances;
  EXPECT_EQ(enumerate("countsdown", instances), Ok);
  EXPECT_EQ(instances, (Instances{{{"Name", "bottom"}}}));
  instances.clear();
  EXPECT_EQ(enumerate("squared", instances), Ok);
  EXPECT_EQ(instances.size(), static_cast<std::size_t>(kItems * kItems));
}

// One transformer, stopped by each bound in turn, gives the same output for
// the same work after every stop.
TEST(BoundedTransformer, StopsAndServesAgain) {
  std::unique_ptr<ParsedDocument> document;
  ASSERT_EQ(ParsedDocument::parse("<Items><Item name=\"a\"/><Item name=\"b\"/></Items>", document), Ok);
  test::writeXslRootFile("app/xsl/plain.xsl", textStylesheet("<xsl:for-each select=\"//Item\">" +
                                                             std::string(kItemInstance) + "</xsl:for-each>"));
  test::writeXslRootFile("app/xsl/forever.xsl",
                         withTemplate("<xsl:call-template name=\"r\"/>", "x<xsl:call-template name=\"r\"/>"));
  const auto plain = RequestCaches::stylesheets().find(test::xslRootFile("app/xsl/plain.xsl"), test::xslRoot());
  const auto forever = RequestCaches::stylesheets().find(test::xslRootFile("app/xsl/forever.xsl"), test::xslRoot());
  ASSERT_TRUE(plain && forever);

  BoundedTransformer transformer;
  const auto run = [&](const CompiledStylesheet& stylesheet, const TransformLimits& limits, std::string& text) {
    std::ostringstream output;
    const xalanc::XSLTResultTarget target(output);
    TransformBudget budget(limits, [&output] { return static_cast<std::size_t>(output.tellp()); });
    const bool done = transformer.transform(document->source(), stylesheet.get(), target, budget, test::xslRootDocuments());
    text = output.str();
    return done;
  };
  std::string expected;
  ASSERT_TRUE(run(*plain, {}, expected));
  EXPECT_EQ(expected, "instance of Item\n{\n Name = \"a\";\n};\ninstance of Item\n{\n Name = \"b\";\n};\n");
  EXPECT_TRUE(transformer.lastError().empty());

  const struct {
    TransformLimits limits;
    std::string error;
  } stops[] = {
      {{TransformLimits::kDefaultMaxMilliseconds, 500}, "nested deeper than 500"},
      {{1, TransformLimits::kDefaultMaxDepth}, "ran longer than 1 ms"},
      {{TransformLimits::kDefaultMaxMilliseconds, TransformLimits::kDefaultMaxDepth, 100000}, "held more than 100000"},
      {{TransformLimits::kDefaultMaxMilliseconds, TransformLimits::kDefaultMaxDepth,
        TransformLimits::kDefaultMaxMemoryBytes, 100},
       "wrote more than 100 bytes"},
  };
  for (const auto& stop : stops) {
    std::string text;
    EXPECT_FALSE(run(*forever, stop.limits, text));
    EXPECT_NE(transformer.lastError().find(stop.error), std::string::npos) << transformer.lastError();
    EXPECT_EQ(text.find_first_not_of('x'), std::string::npos);
    EXPECT_TRUE(run(*plain, {}, text));
    EXPECT_EQ(text, expected);
    EXPECT_TRUE(transformer.lastError().empty());
  }
}

}  // namespace
}  // namespace qrv::cim
