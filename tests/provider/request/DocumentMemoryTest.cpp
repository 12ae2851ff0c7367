// The memory of parsed trees: chunks laid out in order, given back whole,
// and kept for the next tree only within the pool's limit.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/PlatformSupport/XalanArrayAllocator.hpp>
#include <xalanc/XSLT/XSLTResultTarget.hpp>

#include "provider/request/BoundedTransformer.h"
#include "provider/request/ChunkPool.h"
#include "provider/request/CountingMemoryManager.h"
#include "provider/request/DocumentArena.h"
#include "provider/request/ParsedDocument.h"
#include "provider/request/RequestCaches.h"
#include "tests/provider/request/RequestFiles.h"

namespace qrv::cim {
namespace {

constexpr std::size_t kSmallest = ChunkPool::chunkBytes(0);

TEST(ChunkPool, KeepsGivenBlocksOnlyWhileAllItHoldsStaysWithinItsLimit) {
  ChunkPool pool(2 * kSmallest);
  const ChunkPool::Block a = pool.take(kSmallest), b = pool.take(kSmallest), c = pool.take(kSmallest);
  EXPECT_EQ(pool.heldBytes(), 3 * kSmallest);
  pool.give({a, b, c});
  EXPECT_EQ(pool.heldBytes(), 2 * kSmallest);
  EXPECT_EQ(pool.freeBytes(), 2 * kSmallest);

  // A kept chunk serves the next take of its size; another size is new.
  const ChunkPool::Block again = pool.take(kSmallest);
  EXPECT_EQ(pool.freeBytes(), kSmallest);
  EXPECT_EQ(pool.heldBytes(), 2 * kSmallest);
  const ChunkPool::Block larger = pool.take(ChunkPool::chunkBytes(1));
  EXPECT_EQ(pool.heldBytes(), 2 * kSmallest + ChunkPool::chunkBytes(1));
  pool.give({again, larger});
  EXPECT_LE(pool.heldBytes(), 2 * kSmallest);
  EXPECT_EQ(pool.freeBytes(), pool.heldBytes());
}

TEST(ChunkPool, AKeptLargeBlockServesSizesUpToItsOwnDownToHalfOfIt) {
  ChunkPool pool(std::size_t{64} << 20);
  const std::size_t large = 1000000;
  pool.give({pool.take(large)});
  const ChunkPool::Block smaller = pool.take(large / 2);
  EXPECT_EQ(smaller.bytes, large);
  EXPECT_EQ(pool.freeBytes(), 0u);
  pool.give({smaller});
  const ChunkPool::Block tooSmall = pool.take(large / 2 - 16);  // too small a share of the kept block
  const ChunkPool::Block tooLarge = pool.take(large + 16);
  EXPECT_EQ(tooSmall.bytes, large / 2 - 16);
  EXPECT_EQ(tooLarge.bytes, large + 16);
  EXPECT_EQ(pool.freeBytes(), large);
  pool.give({tooSmall, tooLarge});
}

TEST(DocumentArena, LaysBlocksOutInGrowingChunksAndGivesThemBackWhole) {
  ChunkPool pool(std::size_t{64} << 20);
  const std::size_t large = ChunkPool::chunkBytes(ChunkPool::kChunkSizes - 1) + 16;
  {
    DocumentArena arena(pool);
    void* first = arena.allocate(1);
    void* second = arena.allocate(3);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(second) - reinterpret_cast<std::uintptr_t>(first),
              alignof(std::max_align_t));
    EXPECT_EQ(arena.bytes(), kSmallest);
    arena.allocate(kSmallest);  // no room left in the first chunk
    EXPECT_EQ(arena.bytes(), kSmallest + ChunkPool::chunkBytes(1));
    arena.deallocate(arena.allocate(large));  // a block of its own, held until the arena goes
    EXPECT_EQ(arena.bytes(), kSmallest + ChunkPool::chunkBytes(1) + large);
  }
  EXPECT_EQ(pool.freeBytes(), kSmallest + ChunkPool::chunkBytes(1) + large);
  EXPECT_EQ(pool.heldBytes(), pool.freeBytes());
}

// A tree's attribute lists come from Xalan-C's array allocator, which this
// project patches to find room by next fit: the arrays it hands out must not
// overlap, and after a reset it must fill the blocks it kept before taking
// new memory.
TEST(ArrayAllocator, HandsOutSeparateArraysAndReusesItsBlocksAfterAReset) {
  CountingMemoryManager memory;
  xalanc::XalanArrayAllocator<std::size_t> allocator(memory, 10);
  const auto fill = [&allocator] {
    std::vector<std::pair<std::size_t*, std::size_t>> arrays;
    for (std::size_t i = 0; i < 200; ++i) {
      const std::size_t count = 1 + i % 4;  // leaves a block short of room now and then
      arrays.emplace_back(allocator.allocate(count), count);
      std::fill_n(arrays.back().first, count, i);
    }
    for (std::size_t i = 0; i < arrays.size(); ++i) {
      EXPECT_EQ(std::count(arrays[i].first, arrays[i].first + arrays[i].second, i), arrays[i].second) << i;
    }
  };
  fill();
  const std::size_t filled = memory.live();
  allocator.reset();
  fill();
  EXPECT_EQ(memory.live(), filled);
  allocator.allocate(25);  // more than a block: one of its own
  EXPECT_GT(memory.live(), filled);
}

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
  const auto stylesheet = RequestCaches::stylesheets().find(test::xslRootFile("app/xsl/reader.xsl"));
  ASSERT_TRUE(stylesheet);
  BoundedTransformer transformer;
  const auto transform = [&] {
    std::ostringstream output;
    const xalanc::XSLTResultTarget target(output);
    TransformBudget budget({}, [&output] { return static_cast<std::size_t>(output.tellp()); });
    EXPECT_TRUE(transformer.transform(document->source(), stylesheet->get(), target, budget));
    return output.str();
  };
  const std::string first = transform();
  EXPECT_NE(first.find("Y"), std::string::npos) << first;
  const std::size_t bytes = document->bytes();
  for (int i = 0; i < 10000; ++i) transform();
  EXPECT_EQ(document->bytes(), bytes);
  EXPECT_EQ(transform(), first);
}

}  // namespace
}  // namespace qrv::cim
