#include "collector/CollectorArguments.h"

#include <gtest/gtest.h>

namespace collector {
namespace {

TEST(CollectorArguments, TakesBothOptionsAfterAnyPadding) {
  const auto parsed = parseCollectorArguments(
      {"some", "padding -x", "-outc=C:\\data\\rul1.tmp", "-logc=C:\\data\\lastrun.log"});
  EXPECT_EQ(parsed.outputPath, "C:\\data\\rul1.tmp");
  EXPECT_EQ(parsed.logPath, "C:\\data\\lastrun.log");
}

TEST(CollectorArguments, RemovesTheQuotesTheSplittingLeft) {
  const auto parsed = parseCollectorArguments({"-outc=\"C:\\a b\\out.xml\"", "-logc=\"log.txt"});
  EXPECT_EQ(parsed.outputPath, "C:\\a b\\out.xml");
  EXPECT_EQ(parsed.logPath, "log.txt");
}

TEST(CollectorArguments, MissingOrEmptyOptionsGiveEmptyPaths) {
  EXPECT_EQ(parseCollectorArguments({}).outputPath, "");
  EXPECT_EQ(parseCollectorArguments({"-logc=x"}).outputPath, "");
  EXPECT_EQ(parseCollectorArguments({"-outc=\"\"", "-logc="}).outputPath, "");
  EXPECT_EQ(parseCollectorArguments({"-outc", "out.xml"}).outputPath, "") << "the value goes after the =";
  EXPECT_EQ(parseCollectorArguments({"-OUTC=out.xml"}).outputPath, "") << "options are lower case";
  EXPECT_EQ(parseCollectorArguments({"x-outc=out.xml"}).outputPath, "") << "an option starts the argument";
}

TEST(CollectorArguments, TheLaterOfTwoOptionsCounts) {
  const auto parsed = parseCollectorArguments({"-outc=first", "-logc=l1", "-outc=second", "-logc=l2"});
  EXPECT_EQ(parsed.outputPath, "second");
  EXPECT_EQ(parsed.logPath, "l2");
}

TEST(CollectorArguments, HelpIsAskedByEitherSpellingOnly) {
  EXPECT_TRUE(parseCollectorArguments({"--help"}).helpAsked);
  EXPECT_TRUE(parseCollectorArguments({"PADDING", "-help", "-outc=\"x\""}).helpAsked);
  EXPECT_FALSE(parseCollectorArguments({"-outc=--help", "help", "--helpful"}).helpAsked);
}

TEST(CollectorArguments, KeepsNonAsciiPaths) {
  EXPECT_EQ(parseCollectorArguments({"-outc=C:\\Donn\xC3\xA9" "es\\o.xml"}).outputPath, "C:\\Donn\xC3\xA9" "es\\o.xml");
}

}  // namespace
}  // namespace collector
