#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "provider/request/cache/TextPool.h"

namespace qrv::cim {
namespace {

constexpr std::size_t kLarge = std::size_t{1} << 20;

std::string textOfCapacity(std::size_t capacity) {
  std::string text;
  text.reserve(capacity);
  text = "left over";
  return text;
}

TEST(TextPool, HandsOutKeptBuffersEmptyLargestFirst) {
  TextPool pool(4, 8 * kLarge);
  EXPECT_TRUE(pool.take().empty());
  pool.give(textOfCapacity(kLarge));
  pool.give(textOfCapacity(3 * kLarge));
  pool.give(textOfCapacity(2 * kLarge));

  const std::string largest = pool.take();
  EXPECT_TRUE(largest.empty());
  EXPECT_GE(largest.capacity(), 3 * kLarge);
  EXPECT_GE(pool.take().capacity(), 2 * kLarge);
  EXPECT_GE(pool.take().capacity(), kLarge);
  EXPECT_EQ(pool.keptBytes(), 0u);
}

TEST(TextPool, KeepsNoMoreBuffersNorBytesThanItsLimits) {
  TextPool pool(2, 4 * kLarge);
  pool.give(textOfCapacity(5 * kLarge));  // larger than the whole limit
  EXPECT_EQ(pool.keptBytes(), 0u);
  pool.give(textOfCapacity(2 * kLarge));
  pool.give(textOfCapacity(3 * kLarge));  // would pass the byte limit
  pool.give(textOfCapacity(kLarge / 2));
  pool.give(textOfCapacity(kLarge / 2));  // a third buffer
  const std::size_t kept = pool.keptBytes();
  EXPECT_LE(kept, 4 * kLarge);
  EXPECT_GE(kept, 2 * kLarge + kLarge / 2);
  pool.take();
  pool.take();
  EXPECT_EQ(pool.keptBytes(), 0u);
}

TEST(TextPool, APooledTextGoesBackWithWhatItGrewTo) {
  TextPool pool(1, 8 * kLarge);
  {
    PooledText text(pool);
    text->assign(kLarge, 'x');
  }
  EXPECT_GE(pool.keptBytes(), kLarge);
  PooledText again(pool);
  EXPECT_TRUE(again->empty());
  EXPECT_GE(again->capacity(), kLarge);
  EXPECT_EQ(pool.keptBytes(), 0u);
}

TEST(TextPool, ThreadsTakeAndGiveAtOnce) {
  TextPool pool(2, 64 * kLarge);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&pool, t] {
      for (int round = 0; round < 200; ++round) {
        PooledText text(pool);
        EXPECT_TRUE(text->empty());
        text->assign(static_cast<std::size_t>(1000 * (t + 1)), 'a');
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_LE(pool.keptBytes(), 64 * kLarge);
}

}  // namespace
}  // namespace qrv::cim
