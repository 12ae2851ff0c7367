#include "host/cli/CommandLine.h"

#include <algorithm>
#include <map>

namespace wmihost {

const char* const kUsage =
    "usage: wmihost [options] REQUEST [REQUEST ...]\n"
    "       wmihost [options] --batch FILE [REQUEST ...]\n"
    "       wmihost [options] check\n"
    "       wmihost [options] classes | describe CLASS\n"
    "       wmihost regsvr MODULE\n"
    "       wmihost unregsvr MODULE\n"
    "       wmihost --help | --version\n"
    "requests: enum CLASS          every instance of the class\n"
    "          get OBJECTPATH      one instance: Class.Key=\"value\",...\n"
    "          query WQL           SELECT * | Prop,... FROM Class [WHERE ...]\n"
    "check:    validates the module's root (registrations, data files, stylesheets)\n"
    "          against the repository, then enumerates each class once\n"
    "classes:  the classes of the repository, each with its provider and whether that is registered\n"
    "describe: the class as MOF declares it: its qualifiers, and its properties with their types,\n"
    "          keys and qualifiers\n"
    "options: --module PATH          the provider module (default: the registered one)\n"
    "         --repository PATH      a MOF file or a folder of them; repeatable\n"
    "         --namespace NS         default root\\cimv2\n"
    "         --level 1..4           the client's impersonation level, default 3\n"
    "         --format FORMAT        mof (default), json, list (Name = value lines) or csv (RFC 4180)\n"
    "         --batch FILE           requests from FILE, one a line; - for standard input; repeatable\n"
    "         --verbose              what the host does, on standard error\n"
    "         -h, --help             this text\n"
    "         --version              the version of wmihost\n"
    "The provider is loaded and initialised once per invocation, and its Initialize\n"
    "pauses six seconds: every invocation of wmihost pays them. Requests together on\n"
    "one command line, in --batch FILE or fed a line at a time to --batch -, pay\n"
    "them once. With more than one request, or --batch, each request's output is\n"
    "kept apart: in MOF a block that starts with the comment line // REQUEST (# REQUEST\n"
    "in list and csv), in JSON one line per request.\n"
    "Exit status: 0 when every request succeeds and check finds no error, 1 otherwise,\n"
    "2 for a usage error.\n";

const char* const kVersion = "wmihost 1.1\n";

namespace {

const std::map<std::string, Verb, std::less<>> kVerbs{{"enum", Verb::Enumerate},
                                                      {"get", Verb::Get},
                                                      {"query", Verb::Query},
                                                      {"check", Verb::Check},
                                                      {"classes", Verb::Classes},
                                                      {"describe", Verb::Describe},
                                                      {"regsvr", Verb::Register},
                                                      {"unregsvr", Verb::Unregister}};

bool isRegistration(Verb verb) { return verb == Verb::Register || verb == Verb::Unregister; }

// The verbs that stand alone on a line, with options but no other request.
bool standsAlone(Verb verb) { return verb == Verb::Check || verb == Verb::Classes || verb == Verb::Describe; }

// What the operand of each verb is, for the message when it is missing.
std::string operandName(Verb verb) {
  switch (verb) {
    case Verb::Enumerate:
    case Verb::Describe:
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
  if (text == "list") return OutputFormat::List;
  if (text == "csv") return OutputFormat::Csv;
  throw UsageError("--format must be mof, json, list or csv, not '" + text + "'");
}

bool isOption(const std::string& argument) { return argument.size() > 1 && argument[0] == '-'; }

bool takesValue(const std::string& name) {
  return name == "--module" || name == "--repository" || name == "--namespace" || name == "--level" ||
         name == "--format" || name == "--batch";
}

// Stores the value of an option that takes one.
void applyOption(const std::string& name, const std::string& value, CommandLine& command) {
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
    command.batchFiles.push_back(value);
  }
}

// The requests of the words that are no options: a verb, then its operand,
// and so on.
std::vector<Request> requestsOf(const std::vector<std::string>& words) {
  std::vector<Request> requests;
  for (std::size_t i = 0; i < words.size();) {
    const auto verb = kVerbs.find(words[i]);
    if (verb == kVerbs.end()) {
      throw UsageError(requests.empty() ? "unknown request '" + words[i] + "'"
                                        : "unexpected argument '" + words[i] + "'");
    }
    if (verb->second == Verb::Check || verb->second == Verb::Classes) {  // the verbs without an operand
      requests.push_back({verb->second, {}});
      ++i;
      continue;
    }
    if (i + 1 == words.size()) throw UsageError(words[i] + " needs " + operandName(verb->second));
    requests.push_back({verb->second, words[i + 1]});
    i += 2;
  }
  return requests;
}

// check, classes and describe stand alone, with options but without
// requests or batches.
void checkCheck(const CommandLine& command) {
  const auto alone = std::find_if(command.requests.begin(), command.requests.end(),
                                  [](const Request& request) { return standsAlone(request.verb); });
  if (alone != command.requests.end() && (command.requests.size() > 1 || !command.batchFiles.empty())) {
    throw UsageError(verbWord(alone->verb) + " cannot be combined with other requests");
  }
}

// regsvr and unregsvr stand alone, without options.
void checkRegistration(const CommandLine& command, bool anyOption) {
  for (const Request& request : command.requests) {
    if (!isRegistration(request.verb)) continue;
    const std::string word = verbWord(request.verb);
    if (command.requests.size() > 1) throw UsageError(word + " cannot be combined with other requests");
    if (anyOption) throw UsageError(word + " takes no options");
  }
}

}  // namespace

std::string verbWord(Verb verb) {
  for (const auto& [word, named] : kVerbs) {
    if (named == verb) return word;
  }
  return {};
}

std::string requestText(const Request& request) { return verbWord(request.verb) + " " + request.operand; }

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine command;
  // Help and the version answer whatever else the line holds.
  for (const std::string& argument : arguments) {
    command.help = command.help || argument == "--help" || argument == "-h";
    command.version = command.version || argument == "--version";
  }
  if (command.help || command.version) return command;
  std::vector<std::string> words;
  bool anyOption = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (!isOption(argument)) {
      words.push_back(argument);
    } else if (argument == "--verbose") {
      command.verbose = true;
      anyOption = true;
    } else if (!takesValue(argument)) {
      throw UsageError("unknown option " + argument);
    } else if (i + 1 == arguments.size()) {
      throw UsageError(argument + " needs a value");
    } else {
      applyOption(argument, arguments[++i], command);
      anyOption = true;
    }
  }
  command.requests = requestsOf(words);
  if (command.requests.empty() && command.batchFiles.empty()) throw UsageError("no request given");
  checkRegistration(command, anyOption);
  checkCheck(command);
  return command;
}

std::optional<Request> parseRequestLine(std::string_view line) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!line.empty() && blank(line.front())) line.remove_prefix(1);
  while (!line.empty() && blank(line.back())) line.remove_suffix(1);
  if (line.empty() || line.front() == '#') return std::nullopt;
  const std::size_t wordEnd = std::min(line.find_first_of(" \t"), line.size());
  const std::string_view word = line.substr(0, wordEnd);
  std::string_view operand = line.substr(wordEnd);
  while (!operand.empty() && blank(operand.front())) operand.remove_prefix(1);
  const auto verb = kVerbs.find(word);
  if (verb == kVerbs.end() || isRegistration(verb->second) || standsAlone(verb->second)) {
    throw UsageError("unknown request '" + std::string(word) + "': a line holds enum, get or query");
  }
  if (operand.empty()) throw UsageError(std::string(word) + " needs " + operandName(verb->second));
  return Request{verb->second, std::string(operand)};
}

}  // namespace wmihost
