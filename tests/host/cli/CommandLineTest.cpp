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
  ASSERT_EQ(command.requests.size(), 1u);
  EXPECT_EQ(command.requests[0].verb, Verb::Enumerate);
  EXPECT_EQ(command.requests[0].operand, "Korvex_Disk");
  EXPECT_FALSE(command.batch());
  EXPECT_FALSE(command.verbose);
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
  ASSERT_EQ(command.requests.size(), 1u);
  EXPECT_EQ(command.requests[0].verb, Verb::Get);
  EXPECT_EQ(command.requests[0].operand, "Korvex_Disk.DeviceID=\"sda\"");
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
  EXPECT_EQ(usageErrorOf({"--verbosity", "1", "enum", "A"}), "unknown option --verbosity");
  EXPECT_EQ(usageErrorOf({"enum", "A", "--helpme"}), "unknown option --helpme");
  EXPECT_EQ(usageErrorOf({"-x", "enum", "A"}), "unknown option -x");
  EXPECT_EQ(usageErrorOf({"enum", "A", "get"}), "get needs an object path");
  EXPECT_EQ(usageErrorOf({"--batch"}), "--batch needs a value");
  EXPECT_EQ(usageErrorOf({"--verbose"}), "no request given");
  EXPECT_EQ(usageErrorOf({"regsvr", "m.so", "enum", "A"}), "regsvr cannot be combined with other requests");
  EXPECT_EQ(usageErrorOf({"enum", "A", "unregsvr", "m.so"}), "unregsvr cannot be combined with other requests");
  EXPECT_EQ(usageErrorOf({"--format", "xml", "enum", "A"}), "--format must be mof, json, list or csv, not 'xml'");
  EXPECT_EQ(usageErrorOf({"regsvr", "m.so", "--module", "n.so"}), "regsvr takes no options");
  for (const char* level : {"0", "5", "3x", ""}) {
    EXPECT_EQ(usageErrorOf({"--level", level, "enum", "A"}),
              std::string("--level must be 1, 2, 3 or 4, not '") + level + "'");
  }
}

TEST(CommandLine, SeveralRequestsAndBatchFilesMakeABatch) {
  const CommandLine command = parseCommandLine(
      {"enum", "A", "--verbose", "get", "A.Id=1", "--batch", "-", "query", "SELECT * FROM A", "--batch", "more.txt"});
  ASSERT_EQ(command.requests.size(), 3u);
  EXPECT_EQ(requestText(command.requests[0]), "enum A");
  EXPECT_EQ(requestText(command.requests[1]), "get A.Id=1");
  EXPECT_EQ(requestText(command.requests[2]), "query SELECT * FROM A");
  EXPECT_EQ(command.batchFiles, (std::vector<std::string>{"-", "more.txt"}));
  EXPECT_TRUE(command.verbose);
  EXPECT_TRUE(command.batch());
  // One request from a file is a batch too: its output is kept apart.
  EXPECT_TRUE(parseCommandLine({"--batch", "requests.txt"}).batch());
}

TEST(CommandLine, CheckTakesNoOperandAndStandsAloneWithItsOptions) {
  const CommandLine command = parseCommandLine({"--module", "m.so", "check", "--repository", "mof", "--verbose"});
  ASSERT_EQ(command.requests.size(), 1u);
  EXPECT_EQ(command.requests[0].verb, Verb::Check);
  EXPECT_EQ(command.requests[0].operand, "");
  EXPECT_EQ(command.module, "m.so");
  EXPECT_TRUE(command.verbose);
  EXPECT_EQ(usageErrorOf({"check", "enum", "X"}), "check cannot be combined with other requests");
  EXPECT_EQ(usageErrorOf({"enum", "X", "check"}), "check cannot be combined with other requests");
  EXPECT_EQ(usageErrorOf({"check", "--batch", "-"}), "check cannot be combined with other requests");
  EXPECT_EQ(usageErrorOf({"check", "X"}), "unexpected argument 'X'");
  EXPECT_THROW(parseRequestLine("check"), UsageError);
}

TEST(CommandLine, ClassesAndDescribeStandAloneWithTheirOptions) {
  const CommandLine classes = parseCommandLine({"classes", "--repository", "mof", "--namespace", "root\\x"});
  ASSERT_EQ(classes.requests.size(), 1u);
  EXPECT_EQ(classes.requests[0].verb, Verb::Classes);
  EXPECT_EQ(classes.requests[0].operand, "");
  EXPECT_EQ(classes.nameSpace, "root\\x");
  const CommandLine describe = parseCommandLine({"--repository", "mof", "describe", "Korvex_Disk"});
  ASSERT_EQ(describe.requests.size(), 1u);
  EXPECT_EQ(describe.requests[0].verb, Verb::Describe);
  EXPECT_EQ(describe.requests[0].operand, "Korvex_Disk");
  EXPECT_EQ(usageErrorOf({"describe"}), "describe needs a class name");
  EXPECT_EQ(usageErrorOf({"classes", "X"}), "unexpected argument 'X'");
  EXPECT_EQ(usageErrorOf({"classes", "enum", "X"}), "classes cannot be combined with other requests");
  EXPECT_EQ(usageErrorOf({"enum", "X", "describe", "X"}), "describe cannot be combined with other requests");
  EXPECT_EQ(usageErrorOf({"describe", "X", "--batch", "-"}), "describe cannot be combined with other requests");
  EXPECT_THROW(parseRequestLine("classes"), UsageError);
  EXPECT_THROW(parseRequestLine("describe X"), UsageError);
}

TEST(CommandLine, FormatsAreMofJsonListAndCsv) {
  const std::pair<const char*, OutputFormat> formats[] = {
      {"mof", OutputFormat::Mof}, {"json", OutputFormat::Json}, {"list", OutputFormat::List}, {"csv", OutputFormat::Csv}};
  for (const auto& [word, format] : formats) {
    EXPECT_EQ(parseCommandLine({"--format", word, "enum", "A"}).format, format) << word;
  }
  EXPECT_EQ(usageErrorOf({"--format", "CSV", "enum", "A"}), "--format must be mof, json, list or csv, not 'CSV'");
}

TEST(CommandLine, HelpAndVersionAnswerWhateverElseTheLineHolds) {
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"--help"}, {"-h"}, {"--level", "9", "-h"}, {"list", "--help", "--nonsense"}}) {
    const CommandLine command = parseCommandLine(arguments);
    EXPECT_TRUE(command.help);
    EXPECT_TRUE(command.requests.empty());
  }
  EXPECT_TRUE(parseCommandLine({"--version"}).version);
  EXPECT_TRUE(parseCommandLine({"enum", "--version"}).version);
}

TEST(CommandLine, BatchLinesHoldOneRequestEach) {
  const std::pair<const char*, const char*> cases[] = {
      {"enum Korvex_Disk", "enum Korvex_Disk"},
      {"  get\tKorvex_Disk.DeviceID=\"a b\"  \r", "get Korvex_Disk.DeviceID=\"a b\""},
      {"query SELECT * FROM A WHERE Name = 'x  y'", "query SELECT * FROM A WHERE Name = 'x  y'"},
      {"", "none"},
      {"   \t", "none"},
      {"# a comment", "none"},
      {"  # an indented comment", "none"},
      {"list A", "unknown request 'list': a line holds enum, get or query"},
      {"regsvr m.so", "unknown request 'regsvr': a line holds enum, get or query"},
      {"enum", "enum needs a class name"},
      {"query   ", "query needs a query"},
  };
  for (const auto& [line, expected] : cases) {
    std::string parsed;
    try {
      const auto request = parseRequestLine(line);
      parsed = request ? requestText(*request) : "none";
    } catch (const UsageError& error) {
      parsed = error.what();
    }
    EXPECT_EQ(parsed, expected) << line;
  }
}

}  // namespace
}  // namespace wmihost
