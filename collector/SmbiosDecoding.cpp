#include "collector/SmbiosDecoding.h"

#include <cstdio>

namespace collector {

namespace {

constexpr std::uint8_t kSystem = 1;
constexpr std::uint8_t kChassis = 3;
constexpr std::uint8_t kProcessor = 4;
constexpr std::uint8_t kMemoryArray = 16;
constexpr std::uint8_t kMemoryDevice = 17;
// Type 16's use: video, flash, non-volatile and cache memory arrays are not the system's memory.
constexpr std::uint8_t kSystemMemoryUse = 3;

// The word or name at index value of a table, nullopt outside it or where empty.
template <std::size_t N>
std::optional<std::string> named(const char* const (&names)[N], std::size_t value) {
  if (value >= N || names[value][0] == '\0') return std::nullopt;
  return std::string(names[value]);
}

std::optional<std::uint64_t> known(std::optional<std::uint64_t> value, std::uint64_t unknown) {
  return value && *value != 0 && *value != unknown ? value : std::nullopt;
}

// A count of type 4: the byte, or the word beside it where the byte says 0xFF (over 255).
std::optional<std::uint64_t> processorCount(const SmbiosStructure& s, std::size_t byteOffset, std::size_t wordOffset) {
  const auto small = s.byte(byteOffset);
  if (small && *small == 0xFF) return known(s.word(wordOffset), 0xFFFF);
  return known(small, 0x100);
}

std::optional<std::uint64_t> moduleBytes(const SmbiosStructure& device) {
  const auto size = device.word(0x0C);
  if (!size || *size == 0 || *size == 0xFFFF) return std::nullopt;
  constexpr std::uint64_t kKiB = 1024, kMiB = 1024 * 1024;
  if (*size == 0x7FFF) {
    const auto extended = device.dword(0x1C);
    return extended ? std::optional<std::uint64_t>((*extended & 0x7FFFFFFFu) * kMiB) : std::nullopt;
  }
  return (*size & 0x8000) ? (*size & 0x7FFFu) * kKiB : *size * kMiB;
}

// The configured speed where given, else the maximum; the words' 0xFFFF
// points to the 32-bit fields of version 3.3.
std::optional<std::uint64_t> moduleSpeed(const SmbiosStructure& device) {
  for (const auto& [word, dword] : {std::pair<std::size_t, std::size_t>{0x20, 0x58}, {0x15, 0x54}}) {
    const auto speed = device.word(word);
    if (speed && *speed == 0xFFFF) return known(device.dword(dword), 0);
    if (auto value = known(speed, 0xFFFF)) return value;
  }
  return std::nullopt;
}

std::string moduleDescription(const SmbiosStructure& device) {
  static const char* const kFormFactors[] = {"", "", "", "SIMM", "SIP", "Chip", "DIP", "ZIP", "Proprietary Card",
                                             "DIMM", "TSOP", "Row of chips", "RIMM", "SODIMM", "SRIMM", "FB-DIMM",
                                             "Die"};
  static const char* const kTypes[] = {"", "", "", "DRAM", "EDRAM", "VRAM", "SRAM", "RAM", "ROM", "FLASH", "EEPROM",
                                       "FEPROM", "EPROM", "CDRAM", "3DRAM", "SDRAM", "SGRAM", "RDRAM", "DDR", "DDR2",
                                       "DDR2 FB-DIMM", "", "", "", "DDR3", "FBD2", "DDR4", "LPDDR", "LPDDR2",
                                       "LPDDR3", "LPDDR4", "Logical non-volatile device", "HBM", "HBM2", "DDR5",
                                       "LPDDR5", "HBM3"};
  std::string description;
  for (const auto& word : {named(kFormFactors, device.byte(0x0E).value_or(0)),
                           named(kTypes, device.byte(0x12).value_or(0))}) {
    if (word) description += (description.empty() ? "" : " ") + *word;
  }
  if (!moduleBytes(device)) description += description.empty() ? "[empty]" : " [empty]";
  return description;
}

// An empty bank keeps its description and slot alone: the firmware's part
// number, maker and serial of it ("NO DIMM", "Empty") name no module.
XmlElement moduleElement(const SmbiosStructure& device) {
  XmlElement module("Module");
  module.set("id", memoryId(device.handle()))
      .set("description", moduleDescription(device))
      .set("slot", device.string(0x10));
  if (!moduleBytes(device)) return module;
  module.set("product", device.string(0x1A))
      .set("vendor", device.string(0x17))
      .set("serial", device.string(0x18))
      .set("sizeBytes", moduleBytes(device))
      .set("speedMHz", moduleSpeed(device))
      .set("widthBits", known(device.word(0x0A), 0xFFFF));
  return module;
}

XmlElement arrayElement(const SmbiosStructure& array, const std::vector<const SmbiosStructure*>& devices) {
  static const char* const kLocations[] = {"", "", "", "System board or motherboard", "ISA add-on card",
                                           "EISA add-on card", "PCI add-on card", "MCA add-on card",
                                           "PCMCIA add-on card", "Proprietary add-on card", "NuBus"};
  XmlElement element("Array");
  element.set("id", memoryId(array.handle()))
      .set("description", std::string("System Memory"))
      .set("slot", named(kLocations, array.byte(0x04).value_or(0)));
  std::uint64_t installed = 0;
  for (const SmbiosStructure* device : devices) {
    if (device->word(0x04) != array.handle()) continue;
    installed += moduleBytes(*device).value_or(0);
    element.add(moduleElement(*device));
  }
  element.set("sizeBytes", known(installed, 0));
  return element;
}

}  // namespace

std::string memoryId(std::uint16_t handle) {
  char id[16];
  std::snprintf(id, sizeof id, "MEM0x%04X", static_cast<unsigned>(handle));
  return id;
}

std::optional<std::string> smbiosUuid(std::string_view bytes) {
  if (bytes.size() != 16) return std::nullopt;
  if (bytes.find_first_not_of('\0') == std::string_view::npos) return std::nullopt;
  if (bytes.find_first_not_of('\xFF') == std::string_view::npos) return std::nullopt;
  static const int kOrder[] = {3, 2, 1, 0, -1, 5, 4, -1, 7, 6, -1, 8, 9, -1, 10, 11, 12, 13, 14, 15};
  std::string uuid;
  char hex[3];
  for (const int index : kOrder) {
    if (index < 0) {
      uuid += '-';
      continue;
    }
    std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(static_cast<unsigned char>(bytes[index])));
    uuid += hex;
  }
  return uuid;
}

std::optional<std::string> chassisName(std::uint8_t chassisType) {
  static const char* const kNames[] = {
      "",          "other",       "",           "desktop",     "lowprofile",   "pizzabox",      "mini-tower",
      "tower",     "portable",    "laptop",     "notebook",    "handheld",     "docking",       "all-in-one",
      "sub-notebook", "space-saving", "lunchbox", "server",    "expansion",    "sub",           "bus-expansion",
      "peripheral", "raid",       "rackmount",  "sealed",      "multi-system", "pci",           "advanced-tca",
      "blade",     "enclosure",   "tablet",     "convertible", "detachable",   "iot-gateway",   "embedded",
      "mini",      "stick"};
  return named(kNames, chassisType & 0x7F);
}

XmlElement computerElement(const SmbiosTable& table) {
  XmlElement computer("Computer");
  computer.set("source", std::string("smbios"));
  const auto systems = table.ofType(kSystem);
  if (!systems.empty()) {
    const SmbiosStructure& system = *systems.front();
    const auto uuidBytes = system.bytes(0x08, 16);
    computer.set("vendor", system.string(0x04))
        .set("model", system.string(0x05))
        .set("version", system.string(0x06))
        .set("serial", system.string(0x07))
        .set("uuid", uuidBytes ? smbiosUuid(*uuidBytes) : std::nullopt);
  }
  const auto chassis = table.ofType(kChassis);
  if (!chassis.empty()) {
    const auto type = chassis.front()->byte(0x05);
    computer.set("chassis", type ? chassisName(*type) : std::nullopt);
  }
  return computer;
}

std::vector<SmbiosProcessor> smbiosProcessors(const SmbiosTable& table) {
  std::vector<SmbiosProcessor> processors;
  for (const SmbiosStructure* s : table.ofType(kProcessor)) {
    SmbiosProcessor processor;
    processor.socket = s->string(0x04);
    processor.vendor = s->string(0x07);
    processor.version = s->string(0x10);
    processor.maxMHz = known(s->word(0x14), 0);
    processor.currentMHz = known(s->word(0x16), 0);
    processor.cores = processorCount(*s, 0x23, 0x2A);
    processor.enabledCores = processorCount(*s, 0x24, 0x2C);
    processor.threads = processorCount(*s, 0x25, 0x2E);
    if (const auto status = s->byte(0x18)) {
      processor.populated = (*status & 0x40) != 0;
      const unsigned cpuStatus = *status & 0x07;
      if (cpuStatus != 0 && cpuStatus != 7) processor.enabled = cpuStatus == 1;
    }
    if (const auto characteristics = s->word(0x26)) processor.capable64 = (*characteristics & 0x04) != 0;
    processors.push_back(processor);
  }
  return processors;
}

std::vector<XmlElement> memoryArrayElements(const SmbiosTable& table) {
  const auto devices = table.ofType(kMemoryDevice);
  std::vector<XmlElement> arrays;
  for (const SmbiosStructure* array : table.ofType(kMemoryArray)) {
    if (array->byte(0x05) == kSystemMemoryUse) arrays.push_back(arrayElement(*array, devices));
  }
  return arrays;
}

}  // namespace collector
