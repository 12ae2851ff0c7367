// The memory that requests keep stays within the bounds a deployment sets,
// however many classes and data files pass through, and the answers stay
// right when kept documents have to go.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "provider/request/EnumerateImpl.h"
#include "provider/request/GetInstanceImpl.h"
#include "provider/request/cache/CacheLimits.h"
#include "provider/request/cache/RequestCaches.h"
#include "tests/provider/request/RequestFiles.h"

namespace qrv::cim {
namespace {

constexpr std::size_t kDocumentBound = 3000000;
constexpr std::size_t kTextBound = 1000000;

// The caches read their bounds when a request first uses them, so the
// bounds are set before any test runs.
const bool kBoundsSet = setenv("KORVEX_CACHE_MAX_DOCUMENT_BYTES", std::to_string(kDocumentBound).c_str(), 1) == 0 &&
                        setenv("KORVEX_CACHE_MAX_TEXT_BYTES", std::to_string(kTextBound).c_str(), 1) == 0;

const std::string kNamespace = "root\\boundtest";
constexpr int kClasses = 6;
constexpr int kItems = 4000;  // a tree of about a megabyte

const char kStylesheet[] =
    "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\"><xsl:output method=\"text\"/>"
    "<xsl:variable name=\"get\" select=\"/QRVCIM/@cim-operation = 'get'\"/>"
    "<xsl:variable name=\"id\" select=\"/QRVCIM/Attributes/Required/@value\"/>"
    "<xsl:template match=\"/\"><xsl:for-each select=\"QRVCIM/Inv/Item[not($get) or @id = $id]\">instance of Item\n"
    "{\n Id = <xsl:value-of select=\"@id\"/>;\n File = \"<xsl:value-of select=\"../@file\"/>\";\n};\n"
    "</xsl:for-each></xsl:template></xsl:stylesheet>";

std::string className(int i) { return "Bounded" + std::to_string(i); }

void layOut() {
  test::writeXslRootFile("app/xsl/bounded.xsl", kStylesheet);
  for (int i = 0; i < kClasses; ++i) {
    std::string items;
    for (int item = 0; item < kItems; ++item) {
      items += "<Item id=\"" + std::to_string(item) + "\" text=\"item text\"/>\n";
    }
    test::writeXslRootFile("app/data/" + className(i) + ".xml",
                           "<Inv file=\"" + className(i) + "\">" + items + "</Inv>");
    const std::string files = "<FileProvider name=\"" + className(i) +
                              ".xml\" app=\"app\" area=\"data\"/>"
                              "<Conversion name=\"bounded.xsl\" app=\"app\" area=\"xsl\"/>";
    test::writeRegistration("root/boundtest/bounded" + std::to_string(i) + ".xml",
                            "<R><Class name=\"" + className(i) + "\" namespace=\"" + kNamespace + "\"><Enumerate>" +
                                files + "</Enumerate><Get>" + files +
                                "</Get><Attribute name=\"Id\" required=\"true\"/></Class></R>");
  }
  // Only files older than their times' resolution are kept for reuse.
  std::this_thread::sleep_for(std::chrono::milliseconds(2100));
}

TEST(CacheLimits, TheBoundsComeFromTheEnvironment) {
  ASSERT_TRUE(kBoundsSet);
  EXPECT_EQ(CacheLimits::current().documentBytes, kDocumentBound);
  EXPECT_EQ(CacheLimits::current().textBytes, kTextBound);
}

TEST(CacheLimits, RequestsOverMoreDataThanTheBoundKeepWithinIt) {
  layOut();
  std::size_t keptMost = 0;
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < kClasses; ++i) {
      std::vector<ParsedInstance> instances;
      ASSERT_EQ(EnumerateImpl("").run(kNamespace, className(i), instances), Ok);
      ASSERT_EQ(instances.size(), static_cast<std::size_t>(kItems));
      EXPECT_EQ(instances.back().at("Id"), std::to_string(kItems - 1));
      EXPECT_EQ(instances.back().at("File"), className(i));
      for (const int id : {round, kItems / 2 + i}) {
        ParsedInstance instance;
        ASSERT_EQ(GetInstanceImpl("").run(kNamespace, className(i), {{"Id", std::to_string(id)}}, instance), Ok);
        EXPECT_EQ(instance.at("Id"), std::to_string(id));
        EXPECT_EQ(instance.at("File"), className(i));
      }
      keptMost = std::max(keptMost, RequestCaches::documents().bytes());
      EXPECT_LE(RequestCaches::documents().bytes(), kDocumentBound);
      EXPECT_LE(RequestCaches::documentChunks().heldBytes(), kDocumentBound);
      EXPECT_LE(RequestCaches::documentTexts().keptBytes(), kTextBound);
      EXPECT_LE(RequestCaches::resultTexts().keptBytes(), kTextBound);
    }
  }
  // The bound was reached: documents were kept, and not all of them fitted.
  EXPECT_GT(keptMost, kDocumentBound / 2);
}

}  // namespace
}  // namespace qrv::cim
