#include "host/cli/CommandLine.h"

#include <map>

namespace wmihost {

const char* const kUsage =
    "usage: wmihost [options] enum CLASS\n"
    "       wmihost [options] get OBJECTPATH\n"
    "       wmihost [options] query WQL\n"
    "       wmihost regsvr MODULE\n"
    "       wmihost unregsvr MODULE\n"
    "options: --module PATH          the provider module (default: the registered one)\n"
    "         --repository PATH      a MOF file or a folder of them; repeatable\n"
    "         --namespace NS         default root\\cimv2\n"
    "         --level 1..4           the client's impersonation level, default 3\n"
    "         --format mof|json      default mof\n";

namespace {

const std::map<std::string, Verb> kVerbs{{"enum", Verb::Enumerate}, {"get", Verb::Get},         {"query", Verb::Query},
                                         {"regsvr", Verb::Register}, {"unregsvr", Verb::Unregister}};

// What the operand of each verb is, for the message when it is missing.
std::string operandName(Verb verb) {
  switch (verb) {
    case Verb::Enumerate:
      return "a class name";
    case Verb::Get:
      return "an object path";
    case Verb::Query:
      return "a query";
    default:
      return "a module path";
  }
}

DWORD levelOf(const std::string& text) {
  if (text.size() == 1 && text[0] >= '1' && text[0] <= '4') return static_cast<DWORD>(text[0] - '0');
  throw UsageError("--level must be 1, 2, 3 or 4, not '" + text + "'");
}

OutputFormat formatOf(const std::string& text) {
  if (text == "mof") return OutputFormat::Mof;
  if (text == "json") return OutputFormat::Json;
  throw UsageError("--format must be mof or json, not '" + text + "'");
}

// Stores the value of one option; false when name is no option of wmihost.
bool applyOption(const std::string& name, const std::string& value, CommandLine& command) {
  if (name == "--module") {
    command.module = value;
  } else if (name == "--repository") {
    command.repositories.push_back(value);
  } else if (name == "--namespace") {
    command.nameSpace = value;
  } else if (name == "--level") {
    command.level = levelOf(value);
  } else if (name == "--format") {
    command.format = formatOf(value);
  } else {
    return false;
  }
  return true;
}

}  // namespace

std::string verbWord(Verb verb) {
  for (const auto& [word, named] : kVerbs) {
    if (named == verb) return word;
  }
  return {};
}

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine command;
  std::vector<std::string> positional;
  bool anyOption = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument.rfind("--", 0) != 0) {
      positional.push_back(argument);
      continue;
    }
    if (i + 1 == arguments.size()) throw UsageError(argument + " needs a value");
    if (!applyOption(argument, arguments[++i], command)) throw UsageError("unknown option " + argument);
    anyOption = true;
  }
  if (positional.empty()) throw UsageError("no request given");
  const auto verb = kVerbs.find(positional[0]);
  if (verb == kVerbs.end()) throw UsageError("unknown request '" + positional[0] + "'");
  command.verb = verb->second;
  if (positional.size() < 2) throw UsageError(positional[0] + " needs " + operandName(command.verb));
  if (positional.size() > 2) throw UsageError("unexpected argument '" + positional[2] + "'");
  const bool registration = command.verb == Verb::Register || command.verb == Verb::Unregister;
  if (registration && anyOption) throw UsageError(positional[0] + " takes no options");
  command.operand = positional[1];
  return command;
}

}  // namespace wmihost
