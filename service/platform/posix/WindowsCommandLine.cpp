#include "service/platform/posix/WindowsCommandLine.h"

namespace rulo::posix {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string programName(const std::string& line, std::size_t& pos) {
  if (pos < line.size() && line[pos] == '"') {
    const std::size_t close = line.find('"', pos + 1);
    const std::size_t end = close == std::string::npos ? line.size() : close;
    std::string name = line.substr(pos + 1, end - pos - 1);
    pos = close == std::string::npos ? end : close + 1;
    return name;
  }
  const std::size_t start = pos;
  while (pos < line.size() && !isBlank(line[pos])) ++pos;
  return line.substr(start, pos - start);
}

// One argument starting at a non-blank pos; pos ends after it.
std::string argument(const std::string& line, std::size_t& pos) {
  std::string out;
  bool quoted = false;
  while (pos < line.size() && (quoted || !isBlank(line[pos]))) {
    std::size_t backslashes = 0;
    while (pos < line.size() && line[pos] == '\\') ++backslashes, ++pos;
    if (pos < line.size() && line[pos] == '"') {
      out.append(backslashes / 2, '\\');
      if (backslashes % 2 == 1) {
        out += '"';
      } else if (quoted && pos + 1 < line.size() && line[pos + 1] == '"') {
        out += '"';
        ++pos;
      } else {
        quoted = !quoted;
      }
      ++pos;
    } else {
      out.append(backslashes, '\\');
      if (pos < line.size() && (quoted || !isBlank(line[pos]))) out += line[pos++];
    }
  }
  return out;
}

}  // namespace

std::vector<std::string> splitCommandLine(const std::string& commandLine) {
  std::size_t pos = 0;
  std::vector<std::string> arguments{programName(commandLine, pos)};
  for (;;) {
    while (pos < commandLine.size() && isBlank(commandLine[pos])) ++pos;
    if (pos >= commandLine.size()) return arguments;
    arguments.push_back(argument(commandLine, pos));
  }
}

}  // namespace rulo::posix
