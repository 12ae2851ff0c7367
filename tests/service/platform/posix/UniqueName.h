#pragma once
// Recognises the names of GetTempFileNameA-style unique files made with the
// prefix "rulo": "rul", one to four upper-case hexadecimal digits, ".TMP".

#include <string>

namespace rulo::test {

inline bool isUniqueName(const std::string& name) {
  const std::size_t digits = name.size() - 7;
  return name.size() >= 8 && name.size() <= 11 && name.compare(0, 3, "rul") == 0 &&
         name.compare(name.size() - 4, 4, ".TMP") == 0 &&
         name.substr(3, digits).find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

}  // namespace rulo::test
