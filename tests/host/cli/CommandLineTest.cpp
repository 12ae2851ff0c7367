// wmihost's command line: options in any position, and every usage error
// named.

#include <gtest/gtest.h>

#include "host/cli/CommandLine.h"

namespace wmihost {
namespace {

std::string usageErrorOf(const std::vector<std::string>& arguments) {
  try {
    parseCommandLine(arguments);
  } catch (const UsageError& error) {
    return error.what();
  }
  return "accepted";
}

TEST(CommandLine, ARequestWithoutOptionsTakesTheDefaults) {
  const CommandLine command = parseCommandLine({"enum", "Korvex_Disk"});
  EXPECT_EQ(command.verb, Verb::Enumerate);
  EXPECT_EQ(command.operand, "Korvex_Disk");
  EXPECT_EQ(command.module, "");
  EXPECT_TRUE(command.repositories.empty());
  EXPECT_EQ(command.nameSpace, "root\\cimv2");
  EXPECT_EQ(command.level, 3u);
  EXPECT_EQ(command.format, OutputFormat::Mof);
}

TEST(CommandLine, OptionsMayStandBeforeAndAfterTheRequest) {
  const CommandLine command =
      parseCommandLine({"--repository", "a.mof", "--module", "m.so", "get", "Korvex_Disk.DeviceID=\"sda\"",
                        "--level", "2", "--format", "json", "--repository", "mof", "--namespace", "root\\test"});
  EXPECT_EQ(command.verb, Verb::Get);
  EXPECT_EQ(command.operand, "Korvex_Disk.DeviceID=\"sda\"");
  EXPECT_EQ(command.module, "m.so");
  EXPECT_EQ(command.repositories, (std::vector<std::string>{"a.mof", "mof"}));
  EXPECT_EQ(command.nameSpace, "root\\test");
  EXPECT_EQ(command.level, 2u);
  EXPECT_EQ(command.format, OutputFormat::Json);
}

TEST(CommandLine, UsageErrorsSayWhatIsWrong) {
  EXPECT_EQ(usageErrorOf({}), "no request given");
  EXPECT_EQ(usageErrorOf({"list", "X"}), "unknown request 'list'");
  EXPECT_EQ(usageErrorOf({"enum"}), "enum needs a class name");
  EXPECT_EQ(usageErrorOf({"get"}), "get needs an object path");
  EXPECT_EQ(usageErrorOf({"regsvr"}), "regsvr needs a module path");
  EXPECT_EQ(usageErrorOf({"enum", "A", "B"}), "unexpected argument 'B'");
  EXPECT_EQ(usageErrorOf({"enum", "A", "--module"}), "--module needs a value");
  EXPECT_EQ(usageErrorOf({"--verbose", "1", "enum", "A"}), "unknown option --verbose");
  EXPECT_EQ(usageErrorOf({"--format", "xml", "enum", "A"}), "--format must be mof or json, not 'xml'");
  EXPECT_EQ(usageErrorOf({"regsvr", "m.so", "--module", "n.so"}), "regsvr takes no options");
  for (const char* level : {"0", "5", "3x", ""}) {
    EXPECT_EQ(usageErrorOf({"--level", level, "enum", "A"}),
              std::string("--level must be 1, 2, 3 or 4, not '") + level + "'");
  }
}

}  // namespace
}  // namespace wmihost
