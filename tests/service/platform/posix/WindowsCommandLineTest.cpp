#include <gtest/gtest.h>

#include "service/platform/posix/WindowsCommandLine.h"

using rulo::posix::splitCommandLine;
using Args = std::vector<std::string>;

namespace {

TEST(WindowsCommandLine, SplitsAsWindowsProgramsDo) {
  const struct {
    const char* line;
    Args arguments;
  } cases[] = {
      {R"("/opt/my tools/inv.sh" -outc="/tmp/a b/out.TMP" -logc="/x/lastrun.log")",
       {"/opt/my tools/inv.sh", "-outc=/tmp/a b/out.TMP", "-logc=/x/lastrun.log"}},
      {"prog  a\tb  ", {"prog", "a", "b"}},
      {R"(prog a\\b "c\\" d)", {"prog", R"(a\\b)", R"(c\)", "d"}},
      {R"(prog a\"b a\\\"b a\\\\"b c")", {"prog", R"(a"b)", R"(a\"b)", R"(a\\b c)"}},
      {R"(prog "a""b" "")", {"prog", R"(a"b)", ""}},
      {R"(prog "unclosed arg)", {"prog", "unclosed arg"}},
      {R"("C:\dir\"x y)", {R"(C:\dir\)", "x", "y"}},
      {R"(C:\a\b.exe "x")", {R"(C:\a\b.exe)", "x"}},
      {"", {""}},
  };
  for (const auto& c : cases) EXPECT_EQ(splitCommandLine(c.line), c.arguments) << c.line;
}

}  // namespace
