#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/XSLT/XSLTResultTarget.hpp>

#include "provider/request/cache/ParsedDocument.h"
#include "provider/request/cache/RequestCaches.h"
#include "provider/request/xslt/BoundedTransformer.h"
#include "tests/provider/request/RequestFiles.h"

namespace qrv::cim {
namespace {

// The tree frees nothing while it is read, so a kept document must not
// allocate from its arena when it is transformed: over thousands of
// transforms even the smallest block each would need a new chunk.
TEST(ParsedDocument, TransformsLeaveTheTreeAsLarge) {
  std::unique_ptr<ParsedDocument> document;
  ASSERT_EQ(ParsedDocument::parse("<!DOCTYPE Items [<!ATTLIST Item id ID #IMPLIED>]>"
                                  "<Items xmlns:n=\"urn:n\" xml:lang=\"en\"><Item id=\"a\" n:v=\"1\">x</Item>"
                                  "<Item id=\"b\" n:v=\"2\"><!-- c --><?p d?>y</Item></Items>",
                                  document),
            Ok);
  test::writeXslRootFile(
      "app/xsl/reader.xsl",
      "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
      "<xsl:output method=\"text\"/><xsl:key name=\"k\" match=\"Item\" use=\"@id\"/>"
      "<xsl:template match=\"/\"><xsl:for-each select=\"//Item\"><xsl:sort select=\"@id\" order=\"descending\"/>"
      "<xsl:value-of select=\"concat(generate-id(), name(@*[2]), local-name(), namespace-uri(@*[2]), lang('en'),"
      " count(namespace::*), id('a'), key('k', 'b'), string(following::node()), normalize-space(.),"
      " unparsed-entity-uri('e'), sum(//@n:v), translate(., 'xy', 'XY'))\" xmlns:n=\"urn:n\"/>"
      "<xsl:copy-of select=\"comment()|processing-instruction()\"/></xsl:for-each></xsl:template></xsl:stylesheet>");
  const auto stylesheet = RequestCaches::stylesheets().find(test::xslRootFile("app/xsl/reader.xsl"), test::xslRoot());
  ASSERT_TRUE(stylesheet);
  BoundedTransformer transformer;
  const auto transform = [&] {
    std::ostringstream output;
    const xalanc::XSLTResultTarget target(output);
    TransformBudget budget({}, [&output] { return static_cast<std::size_t>(output.tellp()); });
    EXPECT_TRUE(transformer.transform(document->source(), stylesheet->get(), target, budget, test::xslRootDocuments()));
    return output.str();
  };
  const std::string first = transform();
  EXPECT_NE(first.find("Y"), std::string::npos) << first;
  const std::size_t bytes = document->bytes();
  for (int i = 0; i < 10000; ++i) transform();
  EXPECT_EQ(document->bytes(), bytes);
  EXPECT_EQ(transform(), first);
}

// Its first error is the reason, and nothing is written to the host's error stream.
TEST(ParsedDocument, ADocumentThatIsNotWellFormedIsATransformFailure) {
  std::unique_ptr<ParsedDocument> document;
  std::string problem;
  testing::internal::CaptureStderr();
  EXPECT_EQ(ParsedDocument::parse("<a>\n<b></a>", document, &problem), TransformFailed);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(document, nullptr);
  EXPECT_EQ(problem, "line 2, column 6: expected end of tag 'b'");
}

}  // namespace
}  // namespace qrv::cim
