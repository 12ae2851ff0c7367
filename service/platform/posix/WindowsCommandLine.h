#pragma once
// Splits a command line into arguments the way Windows programs do
// (CommandLineToArgvW and the C runtime): the program name runs to the first
// blank, or between quotes; in the arguments that follow, blanks outside
// quotes separate, 2n backslashes before a quote give n backslashes and the
// quote opens or closes quoting, 2n+1 backslashes before a quote give n
// backslashes and a literal quote, backslashes before anything else stay as
// they are, and a doubled quote inside quotes gives a literal quote.

#include <string>
#include <vector>

namespace rulo::posix {

std::vector<std::string> splitCommandLine(const std::string& commandLine);

}  // namespace rulo::posix
