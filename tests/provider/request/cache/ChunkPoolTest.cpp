// The memory of parsed trees: chunks kept for the next tree only within the
// pool's limit.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include <xalanc/Include/PlatformDefinitions.hpp>

#include "provider/request/cache/ChunkPool.h"

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

}  // namespace
}  // namespace qrv::cim
