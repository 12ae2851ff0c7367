// Windows command-line splitting: any line splits, and the words it gives,
// quoted again by the Windows rules, split back to the same words.

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "service/platform/posix/WindowsCommandLine.h"

namespace {

// An argument in quotes: backslashes doubled before a quote (which is then
// escaped) and at the end, left alone elsewhere.
std::string quoted(const std::string& word) {
  std::string out = "\"";
  for (std::size_t i = 0;; ++i) {
    std::size_t backslashes = 0;
    while (i < word.size() && word[i] == '\\') ++backslashes, ++i;
    if (i == word.size()) {
      out.append(2 * backslashes, '\\');
      return out + '"';
    }
    if (word[i] == '"') {
      out.append(2 * backslashes + 1, '\\');
    } else {
      out.append(backslashes, '\\');
    }
    out += word[i];
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> words = rulo::posix::splitCommandLine(line);
  QRV_FUZZ_CHECK(!words.empty());
  // The program name is taken between quotes without escapes, so one that
  // holds a quote has no quoted form.
  if (words[0].find('"') != std::string::npos) return 0;
  std::string again = "\"" + words[0] + "\"";
  for (std::size_t i = 1; i < words.size(); ++i) again += " " + quoted(words[i]);
  QRV_FUZZ_CHECK(rulo::posix::splitCommandLine(again) == words);
  return 0;
}
