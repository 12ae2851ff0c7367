#include "provider/request/document/UnicodeDataText.h"

#include <algorithm>
#include <climits>
#include <cstddef>

#include "common/com/WmiSdk.h"
#include "common/text/Utf16Le.h"

namespace qrv::cim {

namespace {

// The most code units one conversion call takes; its counts are ints.
constexpr std::size_t kChunkUnits = 1 << 20;

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

void appendConverted(const char16_t* text, int count, std::string& out) {
  // The converter's unit type is char16_t, or a wchar_t of the same size.
  static_assert(sizeof(WCHAR) == sizeof(char16_t));
  const auto* units = reinterpret_cast<const WCHAR*>(text);
  const int size = WideCharToMultiByte(CP_UTF8, 0, units, count, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return;
  const std::size_t start = out.size();
  out.resize(start + static_cast<std::size_t>(size));
  WideCharToMultiByte(CP_UTF8, 0, units, count, &out[start], size, nullptr, nullptr);
}

}  // namespace

std::string utf16LeToUtf8(std::string_view bytes) {
  const std::u16string units = text::utf16LeUnits(bytes);
  std::string out;
  out.reserve(units.size());
  for (std::size_t begin = 0; begin < units.size();) {
    std::size_t end = std::min(units.size(), begin + kChunkUnits);
    // Never split a surrogate pair between two calls.
    if (end < units.size() && end - begin > 1 && isHighSurrogate(units[end - 1])) --end;
    appendConverted(units.data() + begin, static_cast<int>(end - begin), out);
    begin = end;
  }
  return out;
}

}  // namespace qrv::cim
