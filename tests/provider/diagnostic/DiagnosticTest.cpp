#include <gtest/gtest.h>

#include <string>

#include "provider/diagnostic/Diagnostic.h"
#include "tests/support/DiagnosticLines.h"

namespace qrv::cim {
namespace {

using test::DiagnosticLines;

TEST(Diagnostic, ALineIsComposedOnlyWhenSomeoneListens) {
  int composed = 0;
  const auto compose = [&composed] {
    ++composed;
    return std::string("what\nhappened \r\n");
  };
  diagnose(compose);
  EXPECT_EQ(composed, 0);
  DiagnosticLines lines;
  diagnose(compose);
  EXPECT_EQ(composed, 1);
  EXPECT_EQ(lines.lines(), (std::vector<std::string>{"wexi: what happened\n"}));
}

}  // namespace
}  // namespace qrv::cim
