#include "collector/SmbiosTable.h"

#include <algorithm>

#include "collector/TrimSpaces.h"

namespace collector {

namespace {

constexpr std::size_t kHeaderSize = 4;         // type, length, handle
constexpr std::size_t kRawDataHeaderSize = 8;  // before the table in 'RSMB' data
constexpr std::uint8_t kEndOfTable = 127;

std::vector<std::string> splitStrings(std::string_view set) {
  std::vector<std::string> strings;
  while (!set.empty()) {
    const std::size_t end = std::min(set.find('\0'), set.size());
    strings.emplace_back(set.substr(0, end));
    set.remove_prefix(std::min(end + 1, set.size()));
  }
  return strings;
}

}  // namespace

SmbiosStructure::SmbiosStructure(std::string_view formatted, std::vector<std::string> strings)
    : formatted_(formatted), strings_(std::move(strings)) {}

std::uint8_t SmbiosStructure::type() const { return static_cast<std::uint8_t>(formatted_[0]); }

std::uint16_t SmbiosStructure::handle() const { return static_cast<std::uint16_t>(*littleEndian(2, 2)); }

std::optional<std::uint64_t> SmbiosStructure::littleEndian(std::size_t offset, std::size_t size) const {
  if (offset > formatted_.size() || size > formatted_.size() - offset) return std::nullopt;
  std::uint64_t value = 0;
  for (std::size_t i = size; i > 0; --i) value = value << 8 | static_cast<unsigned char>(formatted_[offset + i - 1]);
  return value;
}

std::optional<std::uint8_t> SmbiosStructure::byte(std::size_t offset) const {
  const auto value = littleEndian(offset, 1);
  return value ? std::optional<std::uint8_t>(static_cast<std::uint8_t>(*value)) : std::nullopt;
}

std::optional<std::uint16_t> SmbiosStructure::word(std::size_t offset) const {
  const auto value = littleEndian(offset, 2);
  return value ? std::optional<std::uint16_t>(static_cast<std::uint16_t>(*value)) : std::nullopt;
}

std::optional<std::uint32_t> SmbiosStructure::dword(std::size_t offset) const {
  const auto value = littleEndian(offset, 4);
  return value ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*value)) : std::nullopt;
}

std::optional<std::uint64_t> SmbiosStructure::qword(std::size_t offset) const { return littleEndian(offset, 8); }

std::optional<std::string_view> SmbiosStructure::bytes(std::size_t offset, std::size_t size) const {
  if (offset > formatted_.size() || size > formatted_.size() - offset) return std::nullopt;
  return std::string_view(formatted_).substr(offset, size);
}

std::optional<std::string> SmbiosStructure::string(std::size_t offset) const {
  const auto number = byte(offset);
  if (!number || *number == 0 || *number > strings_.size()) return std::nullopt;
  const std::string_view text = trimSpaces(strings_[*number - 1u]);
  return text.empty() ? std::nullopt : std::optional<std::string>(text);
}

SmbiosTable SmbiosTable::fromStructures(std::string_view table) {
  SmbiosTable parsed;
  std::size_t at = 0;
  while (at < table.size()) {
    const std::size_t rest = table.size() - at;
    const std::size_t length = rest >= 2 ? static_cast<unsigned char>(table[at + 1]) : 0;
    const bool fits = length >= kHeaderSize && length <= rest;
    const std::size_t setEnd = fits ? table.find(std::string_view("\0\0", 2), at + length) : std::string_view::npos;
    if (setEnd == std::string_view::npos) {
      parsed.truncated_ = true;
      break;
    }
    SmbiosStructure structure(table.substr(at, length), splitStrings(table.substr(at + length, setEnd - at - length)));
    at = setEnd + 2;
    if (structure.type() == kEndOfTable) break;
    parsed.structures_.push_back(std::move(structure));
  }
  return parsed;
}

SmbiosTable SmbiosTable::fromRawSmbiosData(std::string_view data) {
  if (data.size() < kRawDataHeaderSize) {
    SmbiosTable empty;
    empty.truncated_ = !data.empty();
    return empty;
  }
  std::uint32_t length = 0;
  for (std::size_t i = 8; i > 4; --i) length = length << 8 | static_cast<unsigned char>(data[i - 1]);
  const std::string_view table = data.substr(kRawDataHeaderSize);
  SmbiosTable parsed = fromStructures(table.substr(0, std::min<std::size_t>(length, table.size())));
  parsed.truncated_ = parsed.truncated_ || length > table.size();
  return parsed;
}

std::vector<const SmbiosStructure*> SmbiosTable::ofType(std::uint8_t type) const {
  std::vector<const SmbiosStructure*> found;
  for (const SmbiosStructure& structure : structures_) {
    if (structure.type() == type) found.push_back(&structure);
  }
  return found;
}

}  // namespace collector
