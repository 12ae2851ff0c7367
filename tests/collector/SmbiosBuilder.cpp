#include "tests/collector/SmbiosBuilder.h"

namespace collector {

SmbiosBuilder& SmbiosBuilder::add(std::uint8_t type, std::uint16_t handle, const std::string& fields,
                                  const std::vector<std::string>& strings) {
  table_ += static_cast<char>(type);
  table_ += static_cast<char>(4 + fields.size());
  table_ += le16(handle);
  table_ += fields;
  for (const std::string& text : strings) table_ += text + '\0';
  if (strings.empty()) table_ += '\0';
  table_ += '\0';
  return *this;
}

SmbiosBuilder& SmbiosBuilder::end() { return add(127, 0xFEFF, ""); }

std::string SmbiosBuilder::rawSmbiosData() const {
  return bytes({0, 3, 4, 0}) + le32(static_cast<std::uint32_t>(table_.size())) + table_;
}

std::string le16(std::uint16_t value) { return bytes({value & 0xFF, value >> 8}); }

std::string le32(std::uint32_t value) { return le16(value & 0xFFFF) + le16(static_cast<std::uint16_t>(value >> 16)); }

std::string bytes(std::initializer_list<int> values) {
  std::string out;
  for (const int value : values) out += static_cast<char>(value);
  return out;
}

}  // namespace collector
