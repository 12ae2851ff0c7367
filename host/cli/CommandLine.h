#pragma once
// The command line of wmihost:
//   wmihost [options] REQUEST [REQUEST ...]     REQUEST: enum CLASS | get OBJECTPATH | query WQL
//   wmihost [options] --batch FILE [REQUEST ...] requests from FILE, one a line ("-": standard input)
//   wmihost [options] check                      the module root against the repository
//   wmihost [options] classes                    the classes of the repository and their providers
//   wmihost [options] describe CLASS             a class's declaration
//   wmihost regsvr MODULE | unregsvr MODULE
//   wmihost --help | -h | --version
// with the options --module PATH, --repository PATH (repeatable),
// --namespace NS, --level 1..4, --format mof|json|list|csv, --batch FILE
// (repeatable) and --verbose. Options may stand anywhere.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/com/WmiSdk.h"

namespace wmihost {

enum class Verb { Enumerate, Get, Query, Check, Classes, Describe, Register, Unregister };
enum class OutputFormat { Mof, Json, List, Csv };

struct Request {
  Verb verb = Verb::Enumerate;
  // The class, object path, query or module that the verb works on; empty
  // for check and classes.
  std::string operand;
};

struct CommandLine {
  // The requests written on the command line, in order; they run before
  // those of the batch files.
  std::vector<Request> requests;
  // Files of requests, one a line; "-" is standard input.
  std::vector<std::string> batchFiles;
  // Empty: the module registered for the provider's class.
  std::string module;
  std::vector<std::string> repositories;
  std::string nameSpace = "root\\cimv2";
  // The client's RPC impersonation level.
  DWORD level = RPC_C_IMP_LEVEL_IMPERSONATE;
  OutputFormat format = OutputFormat::Mof;
  bool verbose = false;
  bool help = false;
  bool version = false;

  // Whether the output keeps requests apart: more than one request, or any
  // batch file. A single request prints its objects and nothing else.
  bool batch() const { return requests.size() > 1 || !batchFiles.empty(); }
};

// A command line that cannot be run; the message says what is wrong.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The word that names the verb on the command line.
std::string verbWord(Verb verb);

// The request as it is written on the command line or a line of a batch
// file: "get Korvex_Disk.DeviceID=\"sda\"".
std::string requestText(const Request& request);

// The arguments after the program name. Throws UsageError.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// One line of a batch file: the verb, blanks, and the operand taken as it
// stands up to the end of the line (no quoting); blank lines and lines
// starting with # give none. Throws UsageError for a line that is no
// request of enum, get or query.
std::optional<Request> parseRequestLine(std::string_view line);

// The usage printed by --help and after a usage error.
extern const char* const kUsage;
// What --version prints.
extern const char* const kVersion;

}  // namespace wmihost
