#pragma once
// What the inventory takes from the SMBIOS structures: the system (type 1)
// and its chassis (type 3), the processor sockets (type 4), and the memory
// arrays (type 16) with their devices (type 17). Fields that an older
// structure lacks, or that hold the reference's "unknown" value, are left out.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "collector/SmbiosTable.h"
#include "collector/XmlElement.h"

namespace collector {

// The Computer element's SMBIOS attributes: vendor, model, version, serial,
// uuid (from type 1) and chassis (type 3); source="smbios".
XmlElement computerElement(const SmbiosTable& table);

// The system UUID as Windows writes it (the first three fields
// little-endian, upper case); nullopt for all zeros or all ones (not set).
std::optional<std::string> smbiosUuid(std::string_view bytes);

// A chassis type (low 7 bits of type 3's byte 5) as a word: rackmount,
// notebook, desktop, ...; nullopt for "unknown" and values the reference does
// not know.
std::optional<std::string> chassisName(std::uint8_t chassisType);

struct SmbiosProcessor {
  std::optional<std::string> socket;
  std::optional<std::string> vendor;
  std::optional<std::string> version;
  std::optional<std::uint64_t> currentMHz;
  std::optional<std::uint64_t> maxMHz;
  std::optional<std::uint64_t> cores;
  std::optional<std::uint64_t> enabledCores;
  std::optional<std::uint64_t> threads;
  bool populated = false;
  std::optional<bool> enabled;     // the CPU status: enabled, or disabled or idle
  std::optional<bool> capable64;   // the characteristics' "64-bit capable"
};

// The type 4 structures in table order, one per socket.
std::vector<SmbiosProcessor> smbiosProcessors(const SmbiosTable& table);

// The Array elements of the system memory arrays (type 16 whose use is
// system memory; never video, flash or cache memory), each with its Module
// elements (the type 17 structures that name it), in table order. Ids are
// the structures' handles (MEM0x1000); an empty slot is a Module with its
// description ending in "[empty]", its slot, and nothing else.
std::vector<XmlElement> memoryArrayElements(const SmbiosTable& table);

// The id of a memory structure: "MEM0x" and its handle in four hex digits.
std::string memoryId(std::uint16_t handle);

}  // namespace collector
