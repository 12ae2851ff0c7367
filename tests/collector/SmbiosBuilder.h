#pragma once
// SMBIOS structure tables built by hand for the tests: each structure from
// its type, handle, the bytes of its formatted area after the header, and
// its strings.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace collector {

class SmbiosBuilder {
 public:
  // Appends a structure; its length byte is the header's 4 bytes plus fields.
  SmbiosBuilder& add(std::uint8_t type, std::uint16_t handle, const std::string& fields,
                     const std::vector<std::string>& strings = {});
  // Appends the end-of-table structure (type 127).
  SmbiosBuilder& end();

  const std::string& table() const { return table_; }
  // The table behind the 8-byte header that GetSystemFirmwareTable('RSMB') gives.
  std::string rawSmbiosData() const;

 private:
  std::string table_;
};

// Little-endian fields for a formatted area.
std::string le16(std::uint16_t value);
std::string le32(std::uint32_t value);
// The bytes given, as a string that may hold NULs.
std::string bytes(std::initializer_list<int> values);

}  // namespace collector
