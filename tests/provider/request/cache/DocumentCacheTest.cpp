#include <gtest/gtest.h>

#include <string>

#include "provider/request/cache/DocumentCache.h"

namespace qrv::cim {
namespace {

// Parses `text` for the document cache's own tests.
std::unique_ptr<ParsedDocument> parsed(const std::string& text) {
  std::unique_ptr<ParsedDocument> document;
  EXPECT_EQ(ParsedDocument::parse(text, document), Ok);
  return document;
}

TEST(DocumentCache, KeepsWithinItsBudgetDroppingTheLeastRecentlyUsed) {
  const std::string big = "<a>" + std::string(20000, 'x') + "</a>";
  const std::size_t one = parsed(big)->bytes();
  DocumentCache cache(2 * one + one / 2);
  const DocumentCache::Identities settledFile(1);  // written at the epoch
  cache.give("a", settledFile, parsed(big));
  cache.give("b", settledFile, parsed(big));
  cache.give("a", settledFile, cache.take("a", settledFile));  // "a" is now the most recent
  cache.give("c", settledFile, parsed(big));
  EXPECT_EQ(cache.bytes(), 2 * one);
  EXPECT_EQ(cache.take("b", settledFile), nullptr);
  EXPECT_NE(cache.take("a", settledFile), nullptr);
  EXPECT_NE(cache.take("c", settledFile), nullptr);

  DocumentCache small(one / 2);
  small.give("a", settledFile, parsed(big));
  EXPECT_EQ(small.bytes(), 0u);
}

TEST(DocumentCache, ADocumentIsFoundOnlyWithTheIdentitiesItWasReadWith) {
  DocumentCache cache(std::size_t{1} << 20);
  DocumentCache::Identities identities(1);
  cache.give("a", identities, parsed("<a/>"));
  DocumentCache::Identities changed = identities;
  changed[0].changed = 1;
  EXPECT_EQ(cache.take("a", changed), nullptr);
  EXPECT_EQ(cache.take("a", identities), nullptr);  // the stale one is gone
  EXPECT_EQ(cache.bytes(), 0u);
}

}  // namespace
}  // namespace qrv::cim
