// A stand-in for the inventory collector, driven by the files beside it:
//   exitcode       the code to exit with (0 when absent)
//   delay          milliseconds to run before exiting (0 when absent)
//   inventory.xml  copied to the -outc file
// It writes its argument string to the -logc file and appends its whole
// command line to calls.txt, so a test can see how often and how it ran.

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string ownDirectory() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string text(path, length);
  return text.substr(0, text.find_last_of('\\'));
}

std::string readWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The value of -name="..." (argv has the quotes removed already).
std::string option(int argc, char** argv, const std::string& name) {
  const std::string prefix = "-" + name + "=";
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument.compare(0, prefix.size(), prefix) == 0) return argument.substr(prefix.size());
  }
  return std::string();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string dir = ownDirectory();
  std::ofstream(dir + "\\calls.txt", std::ios::app) << GetCommandLineA() << "\n";

  std::string arguments;
  for (int i = 1; i < argc; ++i) arguments += std::string(i > 1 ? " " : "") + argv[i];
  std::ofstream(option(argc, argv, "logc"), std::ios::binary) << "collector ran with " << arguments << "\n";

  const std::string output = option(argc, argv, "outc");
  if (!output.empty()) std::ofstream(output, std::ios::binary) << readWhole(dir + "\\inventory.xml");

  Sleep(static_cast<DWORD>(std::atoi(readWhole(dir + "\\delay").c_str())));
  return std::atoi(readWhole(dir + "\\exitcode").c_str());
}
