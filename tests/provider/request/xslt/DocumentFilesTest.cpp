// What a stylesheet reads with document(): files below the stylesheet root,
// within the bounds of a data file, without a document type declaration,
// never from the network, and within the transform's time. Anything else
// fails the transform, and the diagnostic line names the stylesheet, the
// address and the reason.

#include <gtest/gtest.h>

#include <string>

#include "provider/request/transform/RequestTransform.h"
#include "provider/request/xslt/FileUrl.h"
#include "tests/provider/request/LoopbackListener.h"
#include "tests/provider/request/RequestFiles.h"
#include "tests/provider/request/ScopedEnvironment.h"
#include "tests/support/DiagnosticLines.h"

namespace qrv::cim {
namespace {

using test::repeated;
using test::writeXslRootFile;

const std::string kSecret = "for-the-host-only";

class DocumentFunction : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Files that the host can read, beside the stylesheet root.
    test::writeFile(test::relocatedRoot() + "/secret.xml", "<S>" + kSecret + "</S>");
    test::writeFile(test::relocatedRoot() + "/secret.txt", kSecret);
    writeXslRootFile("app/data/extra.xml", "<E>inside</E>");
  }

  // Transforms a document with a stylesheet that writes the value of `select`.
  RequestStatus transform(const std::string& select) {
    writeXslRootFile("app/xsl/doc.xsl", test::textStylesheet("<xsl:value-of select=\"" + select + "\"/>"));
    result.clear();
    return transformDocument("<QRVCIM/>", Conversion("app", "xsl", "doc.xsl"), result);
  }

  // Transforms a document with a stylesheet that writes the text of the file `href` names.
  RequestStatus read(const std::string& href) { return transform("document('" + href + "')"); }

  // The diagnostic line of a read refused for `reason`, up to the address's end.
  static std::string refusedRead(const std::string& urlEnd, const std::string& reason) {
    return urlEnd + " with document(), which " + reason;
  }

  static std::string failedStylesheet() {
    return "the stylesheet " + test::xslRootFile("app/xsl/doc.xsl") + " failed on the request: it reads ";
  }

  std::string result;
};

TEST_F(DocumentFunction, AFileBelowTheRootIsReadOnce) {
  const std::string extra = test::xslRootFile("app/data/extra.xml");
  for (const std::string& href : {std::string("../data/extra.xml"), std::string("../xsl/../data/./extra.xml"), extra,
                                  fileUrl(extra)}) {
    test::DiagnosticLines lines;
    EXPECT_EQ(read(href), Ok) << href << ": " << lines.all();
    EXPECT_EQ(result, "inside") << href;
  }
  // Two names of one file give one tree, and the same nodes.
  EXPECT_EQ(transform("count(document('../data/extra.xml') | document('../xsl/../data/extra.xml'))"), Ok);
  EXPECT_EQ(result, "1");
}

TEST_F(DocumentFunction, AFileOutsideTheRootIsNotRead) {
  const std::string secret = test::relocatedRoot() + "/secret.xml";
  for (const std::string& href : {std::string("../../../secret.xml"), std::string("%2e%2e/%2e%2e/%2E%2E/secret.xml"),
                                  secret, fileUrl(secret), fileUrl(test::xslRoot() + "/../secret.xml"),
                                  std::string("/etc/passwd")}) {
    test::DiagnosticLines lines;
    EXPECT_EQ(read(href), TransformFailed) << href;
    EXPECT_EQ(result.find(kSecret), std::string::npos) << href;
    EXPECT_NE(lines.all().find(failedStylesheet()), std::string::npos) << lines.all();
    EXPECT_NE(lines.all().find(" with document(), which lies outside " + test::xslRoot()), std::string::npos)
        << lines.all();
  }
}

TEST_F(DocumentFunction, NoAddressOnTheNetworkIsFetched) {
  test::LoopbackListener listener;
  test::DiagnosticLines lines;
  EXPECT_EQ(read(listener.url("/data.xml")), TransformFailed);
  EXPECT_EQ(listener.connections(), 0);
  EXPECT_NE(lines.all().find(failedStylesheet() + refusedRead(listener.url("/data.xml"), "is no local file")),
            std::string::npos)
      << lines.all();
}

// Nested entities blow a few hundred bytes up into hours of parsing, an
// external entity reads any file the host can, and an external subset is
// fetched from where it names.
TEST_F(DocumentFunction, AFileWithADocumentTypeDeclarationIsNotRead) {
  test::LoopbackListener listener;
  std::string nested = "<!DOCTYPE d [<!ENTITY e0 \"ha\">";
  for (int level = 1; level <= 5; ++level) {
    nested += "<!ENTITY e" + std::to_string(level) + " \"" + repeated("&e" + std::to_string(level - 1) + ";", 10) + "\">";
  }
  writeXslRootFile("app/data/nested.xml", nested + "]><d>&e5;</d>");
  writeXslRootFile("app/data/external.xml", "<!DOCTYPE d [<!ENTITY e SYSTEM \"" +
                                                fileUrl(test::relocatedRoot() + "/secret.txt") + "\">]><d>&e;</d>");
  writeXslRootFile("app/data/subset.xml", "<!DOCTYPE d SYSTEM \"" + listener.url("/d.dtd") + "\"><d>&e;</d>");
  for (const std::string name : {"nested", "external", "subset"}) {
    test::DiagnosticLines lines;
    EXPECT_EQ(read("../data/" + name + ".xml"), TransformFailed) << name;
    EXPECT_EQ(result, "") << name;
    EXPECT_NE(lines.all().find(refusedRead("/xslroot/app/data/" + name + ".xml", "has a document type declaration")),
              std::string::npos)
        << lines.all();
  }
  EXPECT_EQ(listener.connections(), 0);
}

TEST_F(DocumentFunction, AFileBeyondTheBoundsOfADataFileIsNotRead) {
  const test::ScopedEnvironment bounds{{"KORVEX_DATA_FILE_MAX_BYTES", "100"}, {"KORVEX_DATA_FILE_MAX_DEPTH", "3"}};
  writeXslRootFile("app/data/full.xml", "<a>" + std::string(100 - 7, 'x') + "</a>");
  writeXslRootFile("app/data/large.xml", "<a>" + std::string(101 - 7, 'x') + "</a>");
  writeXslRootFile("app/data/deep.xml", "<a><b><c>x</c><c/></b></a>");
  writeXslRootFile("app/data/deeper.xml", "<a><b><c><d>x</d></c></b></a>");
  EXPECT_EQ(read("../data/full.xml"), Ok);
  EXPECT_EQ(result, std::string(100 - 7, 'x'));
  EXPECT_EQ(read("../data/deep.xml"), Ok);
  EXPECT_EQ(result, "x");
  const struct {
    std::string name;
    std::string reason;
  } beyond[] = {{"large", "is larger than 100 bytes"}, {"deeper", "nests deeper than 3 elements"}};
  for (const auto& [name, reason] : beyond) {
    test::DiagnosticLines lines;
    EXPECT_EQ(read("../data/" + name + ".xml"), TransformFailed) << name;
    EXPECT_NE(lines.all().find(refusedRead("/xslroot/app/data/" + name + ".xml", reason)), std::string::npos)
        << lines.all();
  }
}

// Parsing the file is the transform's only work here, and takes far longer than its bound.
TEST_F(DocumentFunction, TheTimeBoundCoversReadingTheFile) {
  writeXslRootFile("app/data/many.xml", "<a>" + repeated("<i/>", 200000) + "</a>");
  const test::ScopedEnvironment bound{{"KORVEX_TRANSFORM_MAX_MILLISECONDS", "1"}};
  test::DiagnosticLines lines;
  EXPECT_EQ(read("../data/many.xml"), TransformFailed);
  EXPECT_NE(lines.all().find("ran longer than 1 ms"), std::string::npos) << lines.all();
}

}  // namespace
}  // namespace qrv::cim
