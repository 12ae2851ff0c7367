#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "provider/request/TransformBudget.h"

namespace qrv::cim {
namespace {

TransformLimits limits(std::size_t depth, std::size_t memory, std::size_t output) {
  return {TransformLimits::kDefaultMaxMilliseconds, depth, memory, output};
}

TEST(TransformBudget, EachBoundIsInclusiveAndNamedWhenPassed) {
  std::size_t written = 30;
  TransformBudget within(limits(10, 20, 30), [&written] { return written; });
  EXPECT_NO_THROW(within.check(10, 20));
  EXPECT_TRUE(within.exceeded().empty());

  const struct {
    std::size_t depth, memory, output;
    std::string named;
  } passes[] = {
      {11, 20, 30, "nested deeper than 10 calls, parameters and variables (KORVEX_TRANSFORM_MAX_DEPTH)"},
      {10, 21, 30, "held more than 20 bytes of memory (KORVEX_TRANSFORM_MAX_MEMORY_BYTES)"},
      {10, 20, 31, "wrote more than 30 bytes (KORVEX_TRANSFORM_MAX_OUTPUT_BYTES)"},
  };
  for (const auto& pass : passes) {
    written = pass.output;
    TransformBudget budget(limits(10, 20, 30), [&written] { return written; });
    EXPECT_THROW(budget.check(pass.depth, pass.memory), TransformBudget::Exceeded);
    EXPECT_NE(budget.exceeded().find(pass.named), std::string::npos) << budget.exceeded();
  }
}

// A step that swallows the exception meets it again at the next check.
TEST(TransformBudget, KeepsThrowingOnceABoundIsPassed) {
  TransformBudget budget(limits(10, 20, 30), [] { return std::size_t{0}; });
  EXPECT_THROW(budget.check(11, 0), TransformBudget::Exceeded);
  const std::string first = budget.exceeded();
  EXPECT_THROW(budget.check(0, 0), TransformBudget::Exceeded);
  EXPECT_THROW(budget.check(0, 21), TransformBudget::Exceeded);
  EXPECT_EQ(budget.exceeded(), first);
}

TEST(TransformBudget, TheDeadlineCountsFromTheStart) {
  TransformLimits quick = limits(10, 20, 30);
  quick.maxMilliseconds = 1;
  TransformBudget budget(quick, [] { return std::size_t{0}; });
  const auto start = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(3)) {
  }
  EXPECT_THROW(budget.check(0, 0), TransformBudget::Exceeded);
  EXPECT_EQ(budget.exceeded(), "it ran longer than 1 ms (KORVEX_TRANSFORM_MAX_MILLISECONDS)");
  TransformLimits endless = quick;
  endless.maxMilliseconds = static_cast<std::size_t>(-1);
  EXPECT_NO_THROW(TransformBudget(endless, [] { return std::size_t{0}; }).check(0, 0));
}

}  // namespace
}  // namespace qrv::cim
