#include "collector/ProcessorElement.h"

#include <gtest/gtest.h>

namespace collector {
namespace {

ProcessorDescription registry() {
  return {"AMD EPYC 7763 64-Core Processor", "AuthenticAMD", "AMD64 Family 25 Model 1 Stepping 1", 2450};
}

SmbiosProcessor socket(bool populated) {
  SmbiosProcessor socket;
  socket.socket = "CPU1";
  socket.vendor = "Advanced Micro Devices, Inc.";
  socket.version = "AMD EPYC 7763";
  socket.maxMHz = 3500;
  socket.populated = populated;
  return socket;
}

TEST(ProcessorElement, APopulatedSocketIsNamedByTheRegistryAndCountedByWindows) {
  SmbiosProcessor populated = socket(true);
  populated.currentMHz = 2400;
  const PackageCounts counts{64, 128};
  const XmlElement processor = processorElement(1, &counts, populated, registry(), 64);
  EXPECT_EQ(processor.attribute("id"), "CPU1");
  EXPECT_EQ(processor.attribute("name"), "AMD EPYC 7763 64-Core Processor");
  EXPECT_EQ(processor.attribute("vendor"), "AuthenticAMD");
  EXPECT_EQ(processor.attribute("version"), "AMD64 Family 25 Model 1 Stepping 1");
  EXPECT_EQ(processor.attribute("slot"), "CPU1");
  EXPECT_EQ(processor.attribute("currentMHz"), "2400") << "the firmware's clock before the registry's";
  EXPECT_EQ(processor.attribute("maxMHz"), "3500");
  EXPECT_EQ(processor.attribute("cores"), "64");
  EXPECT_EQ(processor.attribute("enabledCores"), "64") << "the cores, where the firmware gives no count";
  EXPECT_EQ(processor.attribute("logicalProcessors"), "128");
  EXPECT_EQ(processor.attribute("enabled"), "1");
}

TEST(ProcessorElement, TheFirmwareFillsInWhatTheRegistryLacks) {
  SmbiosProcessor populated = socket(true);
  populated.enabledCores = 60;
  populated.enabled = false;
  populated.capable64 = true;
  const PackageCounts counts{64, 64};
  const XmlElement processor = processorElement(0, &counts, populated, ProcessorDescription{}, 32);
  EXPECT_EQ(processor.attribute("name"), "AMD EPYC 7763");
  EXPECT_EQ(processor.attribute("vendor"), "Advanced Micro Devices, Inc.");
  EXPECT_EQ(processor.attribute("version"), "AMD EPYC 7763");
  EXPECT_EQ(processor.attribute("currentMHz"), std::nullopt);
  EXPECT_EQ(processor.attribute("widthBits"), "64") << "64-bit capable, on a 32-bit Windows";
  EXPECT_EQ(processor.attribute("enabledCores"), "60");
  EXPECT_EQ(processor.attribute("enabled"), "0");
}

TEST(ProcessorElement, AnEmptySocketTakesNothingFromTheRegistry) {
  SmbiosProcessor empty;
  empty.socket = "CPU2";
  const XmlElement processor = processorElement(1, nullptr, empty, registry(), 64);
  EXPECT_EQ(processor.attribute("slot"), "CPU2");
  EXPECT_EQ(processor.attribute("enabled"), "0");
  for (const char* name : {"name", "vendor", "version", "currentMHz", "cores", "enabledCores", "logicalProcessors"}) {
    EXPECT_EQ(processor.attribute(name), std::nullopt) << "an empty socket's " << name;
  }
}

TEST(ProcessorElement, APackageTheTableLacksHasTheRegistryAndTheNativeWidth) {
  const PackageCounts counts{4, 8};
  const XmlElement processor = processorElement(2, &counts, SmbiosProcessor{}, registry(), 64);
  EXPECT_EQ(processor.attribute("id"), "CPU2");
  EXPECT_EQ(processor.attribute("name"), "AMD EPYC 7763 64-Core Processor");
  EXPECT_EQ(processor.attribute("currentMHz"), "2450") << "the registry's ~MHz";
  EXPECT_EQ(processor.attribute("widthBits"), "64");
  EXPECT_EQ(processor.attribute("slot"), std::nullopt);
  EXPECT_EQ(processor.attribute("enabled"), "1");
}

}  // namespace
}  // namespace collector
