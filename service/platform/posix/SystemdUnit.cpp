#include "service/platform/posix/SystemdUnit.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "service/platform/posix/Fd.h"
#include "service/platform/posix/WindowsCommandLine.h"

namespace rulo::posix {

namespace {

constexpr DWORD kServiceAutoStart = 2;

bool isControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

// Appends text for a quoted value, which systemd reads with C escapes:
// quotes and backslashes escaped, control characters (a line feed would end
// the line and add lines of its own to the unit) as \xNN, and each of
// `doubled` (what systemd would expand) doubled.
void appendQuoted(std::string& out, const std::string& text, const char* doubled) {
  static const char kHex[] = "0123456789abcdef";
  for (const char c : text) {
    if (isControl(c)) {
      out += "\\x";
      out += kHex[(c >> 4) & 0xF];
      out += kHex[c & 0xF];
      continue;
    }
    if (c == '\\' || c == '"') out += '\\';
    if (std::strchr(doubled, c)) out += c;
    out += c;
  }
}

// One ExecStart word: quoted, with what systemd would expand escaped.
std::string execWord(const std::string& word) {
  std::string out = "\"";
  appendQuoted(out, word, "%$");
  return out + '"';
}

// The description: one line, with no specifier expanded.
std::string descriptionText(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '%') out += c;
    out += isControl(c) ? ' ' : c;
  }
  return out;
}

// An Environment= line that gives the service the value name has here, with
// a relative path made absolute; nothing when name is not set.
std::string environmentLine(const char* name) {
  const char* value = std::getenv(name);
  if (!value || !*value) return std::string();
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(value, error);
  std::string line = "Environment=\"" + std::string(name) + "=";
  appendQuoted(line, error ? std::string(value) : absolute.string(), "%");
  return line + "\"\n";
}

std::string wantsLink(const std::string& serviceName) {
  return unitDirectory() + "/multi-user.target.wants/" + serviceName + ".service";
}

}  // namespace

std::string unitDirectory() {
  const char* directory = std::getenv("RULOSRV_UNIT_DIR");
  return directory && *directory ? directory : "/etc/systemd/system";
}

std::string unitPath(const std::string& serviceName) { return unitDirectory() + "/" + serviceName + ".service"; }

std::string unitFileText(const ServiceConfig& config) {
  std::string command;
  for (const std::string& word : splitCommandLine(config.binaryPath)) {
    command += (command.empty() ? "" : " ") + execWord(word);
  }
  return "[Unit]\n"
         "Description=" + descriptionText(config.displayName) + "\n"
         "\n[Service]\n"
         "Type=notify\n" +
         environmentLine("KORVEX_REGISTRY_FILE") + environmentLine("RULOSRV_TRACE_DIR") +
         "ExecStart=" + command + "\n"
         "\n[Install]\n"
         "WantedBy=multi-user.target\n";
}

bool installUnit(const ServiceConfig& config) {
  const std::string path = unitPath(config.serviceName);
  const Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
  if (!fd) return false;
  const std::string text = unitFileText(config);
  if (::write(fd.get(), text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
    const int error = errno;
    ::unlink(path.c_str());
    errno = error;
    return false;
  }
  if (config.startType != kServiceAutoStart) return true;
  const std::string link = wantsLink(config.serviceName);
  ::mkdir(link.substr(0, link.rfind('/')).c_str(), 0755);
  return ::symlink(path.c_str(), link.c_str()) == 0 || errno == EEXIST;
}

bool removeUnit(const std::string& serviceName) {
  ::unlink(wantsLink(serviceName).c_str());
  return ::unlink(unitPath(serviceName).c_str()) == 0;
}

}  // namespace rulo::posix
