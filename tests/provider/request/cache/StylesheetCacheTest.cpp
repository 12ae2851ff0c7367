// What a stylesheet includes and imports: files below the stylesheet root,
// never from the network. Anything else refuses the stylesheet, and the
// diagnostic line names it, the address and the reason; a file that is not
// there fails it.

#include <gtest/gtest.h>

#include <string>

#include "provider/request/transform/RequestTransform.h"
#include "provider/request/xslt/FileUrl.h"
#include "tests/provider/request/LoopbackListener.h"
#include "tests/provider/request/RequestFiles.h"
#include "tests/support/DiagnosticLines.h"

namespace qrv::cim {
namespace {

using test::writeXslRootFile;

const std::string kOpen = "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">";

// A stylesheet with the named template "part", which writes "part".
const std::string kPart = kOpen + "<xsl:template name=\"part\">part</xsl:template></xsl:stylesheet>";

// A stylesheet that takes the template "part" from `href` with xsl:include or xsl:import.
std::string taking(const std::string& element, const std::string& href) {
  return kOpen + "<xsl:" + element + " href=\"" + href +
         "\"/><xsl:output method=\"text\"/><xsl:template match=\"/\"><xsl:call-template name=\"part\"/>"
         "</xsl:template></xsl:stylesheet>";
}

class IncludedStylesheets : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    writeXslRootFile("app/xsl/part.xsl", kPart);
    writeXslRootFile("app/lib/part.xsl", kPart);
    test::writeFile(test::relocatedRoot() + "/outside.xsl", kPart);
  }

  // Transforms a document with a stylesheet that takes "part" from `href`.
  RequestStatus transform(const std::string& element, const std::string& href) {
    writeXslRootFile("app/xsl/main.xsl", taking(element, href));
    result.clear();
    return transformDocument("<QRVCIM/>", Conversion("app", "xsl", "main.xsl"), result);
  }

  static std::string refusedStylesheet() {
    return "the stylesheet " + test::xslRootFile("app/xsl/main.xsl") + " is refused: it includes or imports ";
  }

  std::string result;
};

TEST_F(IncludedStylesheets, FilesBelowTheRootAreIncludedAndImported) {
  const std::string lib = test::xslRootFile("app/lib/part.xsl");
  for (const std::string element : {"include", "import"}) {
    for (const std::string& href :
         {std::string("part.xsl"), std::string("../lib/part.xsl"), std::string("../xsl/../lib/./part.xsl"), lib,
          fileUrl(lib)}) {
      test::DiagnosticLines lines;
      EXPECT_EQ(transform(element, href), Ok) << element << " " << href << ": " << lines.all();
      EXPECT_EQ(result, "part") << element << " " << href;
    }
  }
}

TEST_F(IncludedStylesheets, AFileOutsideTheRootIsRefused) {
  const std::string outside = test::relocatedRoot() + "/outside.xsl";
  // Included from an included file too.
  writeXslRootFile("app/xsl/relay.xsl", taking("include", "../../../outside.xsl"));
  for (const std::string element : {"include", "import"}) {
    for (const std::string& href : {std::string("../../../outside.xsl"), std::string("%2e%2e/%2e%2e/%2E%2E/outside.xsl"),
                                    outside, fileUrl(outside), fileUrl(test::xslRoot() + "/../outside.xsl"),
                                    std::string("relay.xsl")}) {
      test::DiagnosticLines lines;
      EXPECT_EQ(transform(element, href), StylesheetFailed) << element << " " << href;
      EXPECT_NE(lines.all().find(refusedStylesheet()), std::string::npos) << lines.all();
      EXPECT_NE(lines.all().find("outside.xsl, which lies outside " + test::xslRoot()), std::string::npos)
          << lines.all();
    }
  }
}

// The XML parser's complaint about a file that is not there is the reason
// on the diagnostic line, and never text on the host's error stream.
TEST_F(IncludedStylesheets, AMissingFileFailsTheStylesheetQuietly) {
  for (const std::string element : {"include", "import"}) {
    test::DiagnosticLines lines;
    testing::internal::CaptureStderr();
    EXPECT_EQ(transform(element, "missing.xsl"), StylesheetFailed) << element;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << element;
    EXPECT_NE(lines.all().find("the stylesheet " + test::xslRootFile("app/xsl/main.xsl") +
                               " does not compile: SAXParseException: unable to open primary document entity '" +
                               test::xslRootFile("app/xsl/missing.xsl") + "'"),
              std::string::npos)
        << lines.all();
  }
}

TEST_F(IncludedStylesheets, NoStylesheetIsFetchedFromTheNetwork) {
  test::LoopbackListener listener;
  for (const std::string element : {"include", "import"}) {
    test::DiagnosticLines lines;
    EXPECT_EQ(transform(element, listener.url("/part.xsl")), StylesheetFailed) << element;
    EXPECT_NE(lines.all().find(refusedStylesheet() + listener.url("/part.xsl") + ", which is no local file"),
              std::string::npos)
        << lines.all();
  }
  EXPECT_EQ(listener.connections(), 0);
}

}  // namespace
}  // namespace qrv::cim
