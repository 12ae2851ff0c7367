// The one shape of every line of wmihost check's report.

#include "host/check/Finding.h"

#include <gtest/gtest.h>

namespace wmihost {
namespace {

TEST(Finding, EachLineIsPlaceSeverityAndText) {
  EXPECT_EQ((Finding{"a.xml:4", Severity::Error, "what"}).line(), "a.xml:4: error: what");
  EXPECT_EQ((Finding{"a.xml", Severity::Warning, "what"}).line(), "a.xml: warning: what");
  EXPECT_EQ((Finding{"wmihost", Severity::Note, "what"}).line(), "wmihost: note: what");
}

}  // namespace
}  // namespace wmihost
