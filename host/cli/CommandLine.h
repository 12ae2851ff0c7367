#pragma once
// The command line of wmihost:
//   wmihost [options] enum CLASS | get OBJECTPATH | query WQL
//   wmihost regsvr MODULE | unregsvr MODULE
// with the options --module PATH, --repository PATH (repeatable),
// --namespace NS, --level 1..4 and --format mof|json.

#include <stdexcept>
#include <string>
#include <vector>

#include "common/com/WmiSdk.h"

namespace wmihost {

enum class Verb { Enumerate, Get, Query, Register, Unregister };
enum class OutputFormat { Mof, Json };

struct CommandLine {
  Verb verb = Verb::Enumerate;
  // The class, object path, query or module that the verb works on.
  std::string operand;
  // Empty: the module registered for the provider's class.
  std::string module;
  std::vector<std::string> repositories;
  std::string nameSpace = "root\\cimv2";
  // The client's RPC impersonation level.
  DWORD level = RPC_C_IMP_LEVEL_IMPERSONATE;
  OutputFormat format = OutputFormat::Mof;
};

// A command line that cannot be run; the message says what is wrong.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The word that names the verb on the command line.
std::string verbWord(Verb verb);

// The arguments after the program name. Throws UsageError.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The summary printed with a usage error.
extern const char* const kUsage;

}  // namespace wmihost
