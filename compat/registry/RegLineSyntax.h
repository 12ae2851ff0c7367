#pragma once
// The logical lines of .reg text. The first line that is not blank or a
// comment is the header "Windows Registry Editor Version 5.00"; then come
// [key] sections and value lines:
//   "name"="text"        REG_SZ, with \\ and \" escaped
//   @="text"             the key's default value
//   "name"=dword:0000001e
//   "name"=hex(2):41,00,00,00   REG_EXPAND_SZ as UTF-16LE bytes
//   "name"=hex:01,02     REG_BINARY; hex(N): any other type
// Lines starting with ';' are comments.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "compat/registry/RegTextLines.h"
#include "compat/registry/Registry.h"

namespace qrv::regfile {

inline constexpr char kRegHeader[] = "Windows Registry Editor Version 5.00";

bool isBlankOrComment(const LogicalLine& line);
bool isSection(const LogicalLine& line);

// Reads one logical line; each fault throws RegistryError naming the text
// (origin) and the line.
class LineReader {
 public:
  LineReader(std::string origin, const LogicalLine& line) : origin_(std::move(origin)), line_(line) {}

  [[noreturn]] void fail(const std::string& what) const;

  // Runs a change of the registry, reporting its refusal at this line.
  template <typename Change>
  void apply(Change change) const {
    try {
      change();
    } catch (const RegistryError& e) {
      fail(e.what());
    }
  }

  // The key path of a section line.
  std::string sectionPath() const;
  // The name and value of a value line.
  std::pair<std::string, Value> value() const;

 private:
  std::string quoted(const std::string& s, std::size_t& pos) const;
  Value data(const std::string& text) const;
  std::uint32_t hexNumber(const std::string& digits, std::size_t maxDigits, const char* what) const;
  std::vector<char> hexBytes(const std::string& list) const;

  std::string origin_;
  const LogicalLine& line_;
};

std::string sectionLineText(const std::string& path);
// A value line, without its line end. Text values that are printable UTF-8
// are quoted text; other text values are UTF-16LE that gives back every byte.
std::string valueLineText(const std::string& name, const Value& value);

}  // namespace qrv::regfile
