// A tree's memory: chunks laid out in order and given back whole, and the
// patched array allocator its attribute lists come from.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/PlatformSupport/XalanArrayAllocator.hpp>

#include "provider/request/cache/ChunkPool.h"
#include "provider/request/cache/DocumentArena.h"
#include "provider/request/xslt/CountingMemoryManager.h"

namespace qrv::cim {
namespace {

constexpr std::size_t kSmallest = ChunkPool::chunkBytes(0);

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

}  // namespace
}  // namespace qrv::cim
