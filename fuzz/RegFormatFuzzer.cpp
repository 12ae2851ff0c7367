// The .reg format, UTF-8 and UTF-16. The first byte picks the check:
//  even: the rest is .reg text; once read, what is written reads back to the
//        same text, and so does that text saved as UTF-16 by regedit.
//  odd:  the rest is one value (name, a zero byte, a type byte, its bytes);
//        written and read back, in UTF-8 and in UTF-16, it is what was put.

#include <cstdint>
#include <optional>
#include <string>

#include "common/text/Unicode.h"
#include "common/text/Utf16Le.h"
#include "compat/registry/RegFormat.h"
#include "fuzz/FuzzCheck.h"

using namespace qrv::regfile;

namespace {

const std::string kKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\K";

bool validUtf8(const std::string& text) {
  bool invalid = false;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  for (std::size_t i = 0; i < text.size() && !invalid;) {
    char32_t codePoint = 0;
    i = qrv::unicode::decodeUtf8(bytes, text.size(), i, &codePoint, &invalid);
  }
  return !invalid;
}

// The text as regedit saves it: UTF-16LE after a byte order mark.
std::optional<std::string> asUtf16(const std::string& text) {
  if (!validUtf8(text)) return std::nullopt;
  return "\xFF\xFE" + qrv::text::encodeUtf16Le(text);
}

void checkText(const std::string& input) {
  std::optional<Registry> read;
  try {
    read = parseRegText(input, "fuzz.reg");
  } catch (const RegistryError&) {
    return;
  }
  const std::string written = formatRegText(*read);
  QRV_FUZZ_CHECK(formatRegText(parseRegText(written, "written.reg")) == written);
  if (const auto utf16 = asUtf16(written)) QRV_FUZZ_CHECK(formatRegText(parseRegText(*utf16, "utf16.reg")) == written);
}

void checkValue(const std::string& input) {
  const std::size_t zero = input.find('\0');
  if (zero == std::string::npos || zero + 1 >= input.size()) return;
  const std::string name = input.substr(0, zero);
  const auto type = static_cast<std::uint32_t>(static_cast<unsigned char>(input[zero + 1]) % 12);
  const std::string bytes = input.substr(zero + 2);
  Registry registry;
  registry.createKey(kKey);
  try {
    registry.setValue(kKey, name, normalizedValue(type, {bytes.begin(), bytes.end()}));
  } catch (const RegistryError&) {
    return;  // a name with a control character
  }
  const std::string written = formatRegText(registry);
  QRV_FUZZ_CHECK(parseRegText(written, "value.reg").value(kKey, name) == registry.value(kKey, name));
  if (const auto utf16 = asUtf16(written)) {
    QRV_FUZZ_CHECK(parseRegText(*utf16, "utf16.reg").value(kKey, name) == registry.value(kKey, name));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] % 2 == 0) {
    checkText(input);
  } else {
    checkValue(input);
  }
  return 0;
}
