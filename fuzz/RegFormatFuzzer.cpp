// The .reg format, UTF-8 and UTF-16. The first byte picks the check:
//  even: the rest is .reg text; once read, the unchanged registry is written
//        back as that very text (UTF-16 text as it reads), a changed one so
//        that it reads back as changed, and the registry written on its own
//        reads back to the same text, also saved as UTF-16 by regedit.
//  odd:  the rest is one value (name, a zero byte, a type byte, its bytes);
//        written and read back, in UTF-8 and in UTF-16, it is what was put.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/text/AsciiCase.h"
#include "common/text/Unicode.h"
#include "common/text/Utf16Le.h"
#include "compat/registry/RegFormat.h"
#include "fuzz/FuzzCheck.h"

using namespace qrv::regfile;

namespace {

const std::string kKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\K";

// The text as regedit saves it: UTF-16LE after a byte order mark.
std::optional<std::string> asUtf16(const std::string& text) {
  if (!qrv::unicode::isWellFormedUtf8(text)) return std::nullopt;
  return "\xFF\xFE" + qrv::text::encodeUtf16Le(text);
}

// Changes of each kind on the keys the text has: a value set, one deleted,
// one added and one moved to the end of its key; a key deleted and one
// added.
void changeSome(Registry& registry) {
  std::vector<std::string> paths;
  for (const Registry::Key* key : registry.keysToWrite()) paths.push_back(key->path());
  if (!paths.empty()) {
    const std::vector<std::string> names = registry.valueNames(paths[0]);
    if (!names.empty()) {
      registry.setValue(paths[0], names.front(), dwordValue(7));
      registry.deleteValue(paths[0], names.back());
    }
    registry.setValue(paths[0], "fuzz-added", textValue("x"));
  }
  if (paths.size() > 1 && !registry.valueNames(paths[1]).empty()) {
    const std::string moved = registry.valueNames(paths[1]).front();
    const Value value = *registry.value(paths[1], moved);
    registry.deleteValue(paths[1], moved);
    registry.setValue(paths[1], moved, value);
  }
  if (paths.size() > 2) registry.deleteKey(paths[2]);
  registry.createKey("HKEY_CURRENT_CONFIG\\fuzz-added");
}

// The same keys holding the same values in the same order.
bool sameRegistry(const Registry& a, const Registry& b) {
  const std::vector<const Registry::Key*> keysA = a.keysToWrite();
  const std::vector<const Registry::Key*> keysB = b.keysToWrite();
  const auto sameKey = [](const Registry::Key* x, const Registry::Key* y) {
    return qrv::text::toLowerAscii(x->path()) == qrv::text::toLowerAscii(y->path()) && x->values() == y->values();
  };
  return std::equal(keysA.begin(), keysA.end(), keysB.begin(), keysB.end(), sameKey);
}

void checkText(const std::string& input) {
  std::optional<RegDocument> document;
  try {
    document = RegDocument::parse(input, "fuzz.reg");
  } catch (const RegistryError&) {
    return;
  }
  const Registry& read = document->registry();
  const std::string unchanged = document->format(read);
  const bool utf16 = input.compare(0, 2, "\xFF\xFE") == 0;
  QRV_FUZZ_CHECK(utf16 || unchanged == input);
  const RegDocument reread = RegDocument::parse(unchanged, "unchanged.reg");
  QRV_FUZZ_CHECK(reread.format(reread.registry()) == unchanged);
  QRV_FUZZ_CHECK(sameRegistry(reread.registry(), read));

  Registry changed = read;
  changeSome(changed);
  QRV_FUZZ_CHECK(sameRegistry(parseRegText(document->format(changed), "changed.reg"), changed));

  const std::string written = formatRegText(read);
  QRV_FUZZ_CHECK(formatRegText(parseRegText(written, "written.reg")) == written);
  if (const auto utf16Text = asUtf16(written)) {
    QRV_FUZZ_CHECK(formatRegText(parseRegText(*utf16Text, "utf16.reg")) == written);
  }
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
