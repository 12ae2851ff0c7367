#include "collector/SmbiosDecoding.h"

#include <gtest/gtest.h>

#include "tests/collector/SmbiosBuilder.h"

namespace collector {
namespace {

using namespace std::string_literals;

const std::string kUuid = bytes({0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66, 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD,
                                 0xEE, 0xFF});

// Type 1 of version 2.4: maker, product, version, serial, UUID, wake-up type.
std::string systemFields(const std::string& uuid) { return bytes({1, 2, 3, 4}) + uuid + bytes({6}); }

TEST(ComputerElement, TakesTheSystemFromType1AndTheChassisFromType3) {
  SmbiosBuilder builder;
  builder.add(1, 0x100, systemFields(kUuid), {"Korvex & Sons", "KX-9000", "Rev <2>", "SN123"})
      .add(3, 0x300, bytes({1, 0x80 | 0x17}), {"Chassis maker"});
  const XmlElement computer = computerElement(SmbiosTable::fromStructures(builder.table()));
  EXPECT_EQ(computer.attribute("source"), "smbios");
  EXPECT_EQ(computer.attribute("vendor"), "Korvex & Sons");
  EXPECT_EQ(computer.attribute("model"), "KX-9000");
  EXPECT_EQ(computer.attribute("version"), "Rev <2>");
  EXPECT_EQ(computer.attribute("serial"), "SN123");
  EXPECT_EQ(computer.attribute("uuid"), "00112233-4455-6677-8899-AABBCCDDEEFF");
  EXPECT_EQ(computer.attribute("chassis"), "rackmount") << "the lock bit is not part of the type";
}

TEST(ComputerElement, LeavesOutWhatAnOldOrEmptyTableDoesNotGive) {
  // Version 2.0's type 1 ends before the UUID; there is no chassis.
  const XmlElement computer =
      computerElement(SmbiosTable::fromStructures(SmbiosBuilder().add(1, 1, bytes({1, 0, 0, 0}), {"Maker"}).table()));
  EXPECT_EQ(computer.attribute("vendor"), "Maker");
  for (const char* name : {"model", "version", "serial", "uuid", "chassis"}) {
    EXPECT_EQ(computer.attribute(name), std::nullopt) << name;
  }
  const XmlElement empty = computerElement(SmbiosTable::fromStructures(""));
  EXPECT_EQ(empty.attribute("vendor"), std::nullopt);
  EXPECT_EQ(empty.attribute("source"), "smbios");
}

TEST(SmbiosUuid, AllZerosAndAllOnesMeanNotSet) {
  EXPECT_EQ(smbiosUuid(std::string(16, '\0')), std::nullopt);
  EXPECT_EQ(smbiosUuid(std::string(16, '\xFF')), std::nullopt);
  EXPECT_EQ(smbiosUuid(kUuid.substr(0, 15)), std::nullopt);
  EXPECT_EQ(smbiosUuid(std::string(15, '\0') + "\x01"), "00000000-0000-0000-0000-000000000001");
}

TEST(ChassisName, NamesTheKnownTypesOnly) {
  EXPECT_EQ(chassisName(3), "desktop");
  EXPECT_EQ(chassisName(10), "notebook");
  EXPECT_EQ(chassisName(0x17), "rackmount");
  EXPECT_EQ(chassisName(0x24), "stick");
  EXPECT_EQ(chassisName(2), std::nullopt) << "unknown";
  EXPECT_EQ(chassisName(0), std::nullopt);
  EXPECT_EQ(chassisName(0x25), std::nullopt);
  EXPECT_EQ(chassisName(0x7F), std::nullopt);
}

// Type 4 of version 3.0 up to the thread count 2 field (0x30 bytes).
std::string processorFields(int status, int cores, int enabled, int threads, std::uint16_t cores2 = 0,
                            std::uint16_t enabled2 = 0, std::uint16_t threads2 = 0) {
  std::string fields = bytes({1, 3, 0xB3, 2}) + std::string(8, '\x01') + bytes({3, 0}) + le16(100) + le16(3900) +
                       le16(2100) + bytes({status, 1}) + le16(0xFFFF) + le16(0xFFFF) + le16(0xFFFF) +
                       bytes({0, 0, 0}) + bytes({cores, enabled, threads}) + le16(0x04) + le16(0xB3) + le16(cores2) +
                       le16(enabled2) + le16(threads2);
  return fields;
}

TEST(SmbiosProcessors, ReadsSocketsInTableOrder) {
  SmbiosBuilder builder;
  builder.add(4, 0x400, processorFields(0x41, 8, 6, 16), {"CPU0", "Intel(R) Corporation", "Xeon"})
      .add(4, 0x401, processorFields(0x00, 0, 0, 0), {"CPU1"});
  const auto sockets = smbiosProcessors(SmbiosTable::fromStructures(builder.table()));
  ASSERT_EQ(sockets.size(), 2u);
  EXPECT_EQ(sockets[0].socket, "CPU0");
  EXPECT_EQ(sockets[0].vendor, "Intel(R) Corporation");
  EXPECT_EQ(sockets[0].version, "Xeon");
  EXPECT_EQ(sockets[0].maxMHz, 3900u);
  EXPECT_EQ(sockets[0].currentMHz, 2100u);
  EXPECT_EQ(sockets[0].cores, 8u);
  EXPECT_EQ(sockets[0].enabledCores, 6u);
  EXPECT_EQ(sockets[0].threads, 16u);
  EXPECT_TRUE(sockets[0].populated);
  EXPECT_EQ(sockets[0].enabled, true);
  EXPECT_EQ(sockets[0].capable64, true);
  EXPECT_EQ(sockets[1].socket, "CPU1");
  EXPECT_FALSE(sockets[1].populated);
  EXPECT_EQ(sockets[1].enabled, std::nullopt) << "status unknown";
  EXPECT_EQ(sockets[1].cores, std::nullopt) << "0 is unknown";
}

TEST(SmbiosProcessors, CountsOver255ComeFromTheWordFields) {
  const auto sockets = smbiosProcessors(SmbiosTable::fromStructures(
      SmbiosBuilder().add(4, 1, processorFields(0x43, 0xFF, 0xFF, 0xFF, 288, 0xFFFF, 576)).table()));
  ASSERT_EQ(sockets.size(), 1u);
  EXPECT_EQ(sockets[0].cores, 288u);
  EXPECT_EQ(sockets[0].enabledCores, std::nullopt) << "0xFFFF is reserved";
  EXPECT_EQ(sockets[0].threads, 576u);
  EXPECT_EQ(sockets[0].enabled, false) << "disabled by the firmware";
}

TEST(SmbiosProcessors, AVersion20StructureGivesItsClocksOnly) {
  const std::string fields = processorFields(0x41, 8, 8, 8).substr(0, 0x1A - 4);
  const auto sockets = smbiosProcessors(SmbiosTable::fromStructures(SmbiosBuilder().add(4, 1, fields).table()));
  ASSERT_EQ(sockets.size(), 1u);
  EXPECT_EQ(sockets[0].maxMHz, 3900u);
  EXPECT_EQ(sockets[0].cores, std::nullopt);
  EXPECT_EQ(sockets[0].capable64, std::nullopt);
}

// Type 16: location, use, correction, maximum capacity, error handle, devices.
std::string arrayFields(int location, int use) {
  return bytes({location, use, 3}) + le32(0x4000000) + le16(0xFFFE) + le16(4);
}

// Type 17 of version 2.7 (up to the configured speed, 0x22 bytes).
std::string deviceFields(std::uint16_t array, std::uint16_t size, std::uint16_t speed, std::uint16_t configured,
                          std::uint32_t extendedMiB = 0) {
  return le16(array) + le16(0xFFFE) + le16(72) + le16(64) + le16(size) + bytes({0x09, 0, 1, 2, 0x1A}) + le16(0x80) +
         le16(speed) + bytes({3, 4, 5, 6}) + bytes({2}) + le32(extendedMiB) + le16(configured);
}

TEST(MemoryArrayElements, GroupsTheModulesUnderTheirArray) {
  SmbiosBuilder builder;
  builder.add(16, 0x1000, arrayFields(3, 3))
      .add(17, 0x1100, deviceFields(0x1000, 16384, 3200, 2933), {"DIMM A1", "BANK 0", "Samsung", "S1", "T", "M393"})
      .add(17, 0x1101, deviceFields(0x1000, 0, 1600, 0),
           {"DIMM A2", "BANK 1", "NO DIMM", "NO DIMM", "Asset", "NO DIMM"})
      .add(16, 0x1001, arrayFields(3, 3))
      .add(17, 0x1102, deviceFields(0x1001, 0x7FFF, 0xFFFF, 0, 65536))
      .add(17, 0x1103, deviceFields(0x1001, 0x8000 | 512, 0, 0));
  const auto arrays = memoryArrayElements(SmbiosTable::fromStructures(builder.table()));
  ASSERT_EQ(arrays.size(), 2u);
  const XmlElement& system = arrays[0];
  EXPECT_EQ(system.attribute("id"), "MEM0x1000");
  EXPECT_EQ(system.attribute("description"), "System Memory");
  EXPECT_EQ(system.attribute("slot"), "System board or motherboard");
  EXPECT_EQ(system.attribute("sizeBytes"), std::to_string(16384ull << 20));
  ASSERT_EQ(system.children().size(), 2u);
  const XmlElement& module = system.children()[0];
  EXPECT_EQ(module.attribute("id"), "MEM0x1100");
  EXPECT_EQ(module.attribute("description"), "DIMM DDR4");
  EXPECT_EQ(module.attribute("slot"), "DIMM A1");
  EXPECT_EQ(module.attribute("vendor"), "Samsung");
  EXPECT_EQ(module.attribute("serial"), "S1");
  EXPECT_EQ(module.attribute("product"), "M393");
  EXPECT_EQ(module.attribute("sizeBytes"), std::to_string(16384ull << 20));
  EXPECT_EQ(module.attribute("speedMHz"), "2933") << "the configured speed wins";
  EXPECT_EQ(module.attribute("widthBits"), "64");
  const XmlElement& empty = system.children()[1];
  EXPECT_EQ(empty.attribute("description"), "DIMM DDR4 [empty]");
  EXPECT_EQ(empty.attribute("sizeBytes"), std::nullopt);
  EXPECT_EQ(empty.attribute("slot"), "DIMM A2");
  for (const char* named : {"product", "vendor", "serial", "speedMHz", "widthBits"}) {
    EXPECT_EQ(empty.attribute(named), std::nullopt) << "an empty bank's " << named;
  }

  const XmlElement& second = arrays[1];
  EXPECT_EQ(second.attribute("id"), "MEM0x1001");
  ASSERT_EQ(second.children().size(), 2u);
  EXPECT_EQ(second.children()[0].attribute("sizeBytes"), std::to_string(65536ull << 20)) << "the extended size";
  EXPECT_EQ(second.children()[0].attribute("speedMHz"), std::nullopt) << "0xFFFF without the 3.3 fields";
  EXPECT_EQ(second.children()[1].attribute("sizeBytes"), std::to_string(512ull << 10)) << "a size in KiB";
  EXPECT_EQ(second.attribute("sizeBytes"), std::to_string((65536ull << 20) + (512ull << 10)));
}

TEST(MemoryArrayElements, OnlyTheSystemMemoryArraysAreListed) {
  SmbiosBuilder builder;
  for (const int use : {4, 5, 6, 7, 1, 2}) {  // video, flash, non-volatile, cache, other, unknown
    const auto array = static_cast<std::uint16_t>(0x40 + use);
    builder.add(16, array, arrayFields(3, use))
        .add(17, static_cast<std::uint16_t>(0x50 + use), deviceFields(array, 64, 0, 0));
  }
  builder.add(16, 0x60, arrayFields(3, 3));
  const auto arrays = memoryArrayElements(SmbiosTable::fromStructures(builder.table()));
  ASSERT_EQ(arrays.size(), 1u);
  EXPECT_EQ(arrays[0].attribute("id"), "MEM0x0060");
}

TEST(MemoryArrayElements, ADeviceOfAnotherOrNoArrayIsLeftOut) {
  SmbiosBuilder builder;
  builder.add(16, 0x20, arrayFields(0x0F, 3)).add(17, 0x21, deviceFields(0x99, 1024, 0, 0));
  const auto arrays = memoryArrayElements(SmbiosTable::fromStructures(builder.table()));
  ASSERT_EQ(arrays.size(), 1u);
  EXPECT_TRUE(arrays[0].children().empty());
  EXPECT_EQ(arrays[0].attribute("description"), "System Memory");
  EXPECT_EQ(arrays[0].attribute("slot"), std::nullopt) << "a location the collector does not name";
  EXPECT_EQ(arrays[0].attribute("sizeBytes"), std::nullopt);
}

TEST(MemoryId, IsTheHandleInFourHexDigits) {
  EXPECT_EQ(memoryId(0x1000), "MEM0x1000");
  EXPECT_EQ(memoryId(0x2a), "MEM0x002A");
}

}  // namespace
}  // namespace collector
