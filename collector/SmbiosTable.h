#pragma once
// The firmware's SMBIOS structure table, split into its structures. Each
// structure is a formatted area (type, length, handle and fields) followed by
// its string set, strings ending in NUL and the set in a second NUL. The
// table comes from the firmware and is read with care: one pass, every read
// within the bytes given, and a structure cut short ends the table.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace collector {

class SmbiosStructure {
 public:
  SmbiosStructure(std::string_view formatted, std::vector<std::string> strings);

  std::uint8_t type() const;
  std::uint16_t handle() const;

  // The field at offset (from the start of the structure, as the SMBIOS
  // reference gives it, little-endian); nullopt where the structure is too
  // short to hold it, as an older version's is.
  std::optional<std::uint8_t> byte(std::size_t offset) const;
  std::optional<std::uint16_t> word(std::size_t offset) const;
  std::optional<std::uint32_t> dword(std::size_t offset) const;
  std::optional<std::uint64_t> qword(std::size_t offset) const;
  // The bytes of a field of size bytes; nullopt where the structure is too short.
  std::optional<std::string_view> bytes(std::size_t offset, std::size_t size) const;
  // The string the field at offset refers to (numbered from 1), blanks
  // around it removed; nullopt for 0, a number beyond the set, or a blank string.
  std::optional<std::string> string(std::size_t offset) const;

 private:
  std::optional<std::uint64_t> littleEndian(std::size_t offset, std::size_t size) const;

  std::string formatted_;
  std::vector<std::string> strings_;
};

class SmbiosTable {
 public:
  // The structure table itself.
  static SmbiosTable fromStructures(std::string_view table);
  // What GetSystemFirmwareTable gives for 'RSMB': the calling method, the
  // SMBIOS major and minor version, the DMI revision, the table's length
  // (4 bytes), then the table. A length beyond the bytes given is cut to them.
  static SmbiosTable fromRawSmbiosData(std::string_view data);

  const std::vector<SmbiosStructure>& structures() const { return structures_; }
  std::vector<const SmbiosStructure*> ofType(std::uint8_t type) const;
  // Whether the table ended inside a structure (what came before is kept).
  bool truncated() const { return truncated_; }

 private:
  std::vector<SmbiosStructure> structures_;
  bool truncated_ = false;
};

}  // namespace collector
