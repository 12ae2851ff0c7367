#include <gtest/gtest.h>

#include <string>

#include "provider/request/xslt/TransformBudget.h"

namespace qrv::cim {
namespace {

// Each bound allows its own value; the first one passed is named, and every
// later check throws again, as a step of the stylesheet may swallow the
// first exception.
TEST(TransformBudget, BoundsAreInclusiveAndStayPassed) {
  std::size_t written = 30;
  TransformBudget budget({TransformLimits::kDefaultMaxMilliseconds, 10, 20, 30}, [&written] { return written; });
  EXPECT_NO_THROW(budget.check(10, 20));
  EXPECT_TRUE(budget.exceeded().empty());
  written = 31;
  EXPECT_THROW(budget.check(10, 20), TransformBudget::Exceeded);
  EXPECT_EQ(budget.exceeded(), "it wrote more than 30 bytes (KORVEX_TRANSFORM_MAX_OUTPUT_BYTES)");
  written = 0;
  EXPECT_THROW(budget.check(0, 0), TransformBudget::Exceeded);
  EXPECT_THROW(budget.check(11, 21), TransformBudget::Exceeded);
  EXPECT_EQ(budget.exceeded(), "it wrote more than 30 bytes (KORVEX_TRANSFORM_MAX_OUTPUT_BYTES)");
}

// A transform ended for another reason stays ended for the first one, as
// one past a bound does.
TEST(TransformBudget, AnEndedTransformStaysEnded) {
  TransformBudget budget({}, [] { return std::size_t{0}; });
  EXPECT_THROW(budget.end("it reads a file it may not"), TransformBudget::Exceeded);
  EXPECT_THROW(budget.check(0, 0), TransformBudget::Exceeded);
  EXPECT_THROW(budget.end("another reason"), TransformBudget::Exceeded);
  EXPECT_EQ(budget.exceeded(), "it reads a file it may not");
}

// A bound too large for the clock's arithmetic means no bound.
TEST(TransformBudget, AnEndlessDeadlineNeverPasses) {
  TransformBudget budget({static_cast<std::size_t>(-1)}, [] { return std::size_t{0}; });
  EXPECT_NO_THROW(budget.check(0, 0));
}

}  // namespace
}  // namespace qrv::cim
