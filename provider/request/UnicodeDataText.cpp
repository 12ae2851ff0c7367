#include "provider/request/UnicodeDataText.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/com/WmiSdk.h"

namespace qrv::cim {

namespace {

// The most code units one conversion call takes; its counts are ints.
constexpr std::size_t kChunkUnits = 1 << 20;

bool isHighSurrogate(WCHAR unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

std::vector<WCHAR> unitsOf(std::string_view bytes) {
  std::vector<WCHAR> units(bytes.size() / 2);
  for (std::size_t i = 0; i < units.size(); ++i) {
    const auto low = static_cast<std::uint8_t>(bytes[2 * i]);
    const auto high = static_cast<std::uint8_t>(bytes[2 * i + 1]);
    units[i] = static_cast<WCHAR>(low | (high << 8));
  }
  return units;
}

void appendConverted(const WCHAR* units, int count, std::string& out) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, units, count, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return;
  const std::size_t start = out.size();
  out.resize(start + static_cast<std::size_t>(size));
  WideCharToMultiByte(CP_UTF8, 0, units, count, &out[start], size, nullptr, nullptr);
}

}  // namespace

std::string utf16LeToUtf8(std::string_view bytes) {
  const std::vector<WCHAR> units = unitsOf(bytes);
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
