#include "collector/UninstallEntry.h"

#include <gtest/gtest.h>

namespace collector {
namespace {

UninstallEntry entry(const std::string& key, const std::string& architecture, std::optional<std::string> name) {
  UninstallEntry e;
  e.keyName = key;
  e.architecture = architecture;
  e.displayName = std::move(name);
  return e;
}

TEST(InstallDateEpoch, IsMidnightUtcOfTheDate) {
  EXPECT_EQ(installDateEpoch("19700101"), 0);
  EXPECT_EQ(installDateEpoch("20240131"), 1706659200);
  EXPECT_EQ(installDateEpoch("20240229"), 1709164800) << "a leap day";
  EXPECT_EQ(installDateEpoch("20000229"), 951782400) << "400 years make a leap year";
  EXPECT_EQ(installDateEpoch("19691231"), -86400);
}

TEST(InstallDateEpoch, RefusesWhatIsNotADate) {
  for (const char* text : {"", "2024131", "202401311", "2024-1-31", "2024013a", " 20240131", "20230229", "21000229",
                           "20241301", "20240100", "20240431", "00000000", "+2024013"}) {
    EXPECT_EQ(installDateEpoch(text), std::nullopt) << text;
  }
}

TEST(PackageElements, WritesTheValuesAnEntryGives) {
  UninstallEntry full = entry("{A1}", "x64", "Korvex Agent");
  full.displayVersion = "3.0.1";
  full.publisher = "Korvex & Co";
  full.installDate = "20240131";
  full.estimatedSizeKiB = 2048;
  UninstallEntry bare = entry("Bare", "x86", "Bare Tool");
  bare.installDate = "31.01.2024";
  const auto packages = packageElements({full, bare});
  ASSERT_EQ(packages.size(), 2u);
  EXPECT_EQ(packages[1].attribute("name"), "Korvex Agent");
  EXPECT_EQ(packages[1].attribute("version"), "3.0.1");
  EXPECT_EQ(packages[1].attribute("architecture"), "x64");
  EXPECT_EQ(packages[1].attribute("maintainer"), "Korvex & Co");
  EXPECT_EQ(packages[1].attribute("installed"), "1706659200");
  EXPECT_EQ(packages[1].attribute("installedSizeKiB"), "2048");
  EXPECT_EQ(packages[0].attribute("name"), "Bare Tool");
  for (const char* name : {"version", "maintainer", "installed", "installedSizeKiB"}) {
    EXPECT_EQ(packages[0].attribute(name), std::nullopt) << name;
  }
}

TEST(PackageElements, SkipsEntriesWithoutANameAndSystemComponents) {
  UninstallEntry component = entry("KB1", "x64", "Update for Windows");
  component.systemComponent = 1;
  UninstallEntry notComponent = entry("Tool", "x64", "Tool");
  notComponent.systemComponent = 0;
  const auto packages = packageElements({entry("NoName", "x64", std::nullopt), entry("Empty", "x64", std::string()),
                                         component, notComponent});
  ASSERT_EQ(packages.size(), 1u);
  EXPECT_EQ(packages[0].attribute("name"), "Tool");
}

TEST(PackageElements, OneEntryPerNameAndArchitectureWhateverTheRegistryOrder) {
  UninstallEntry later = entry("{B}", "x64", "Runtime");
  later.displayVersion = "2";
  UninstallEntry first = entry("{A}", "x64", "Runtime");
  first.displayVersion = "1";
  UninstallEntry other = entry("{C}", "x86", "Runtime");
  other.displayVersion = "3";
  for (const auto& order : {std::vector<UninstallEntry>{later, first, other},
                            std::vector<UninstallEntry>{other, first, later}}) {
    const auto packages = packageElements(order);
    ASSERT_EQ(packages.size(), 2u);
    EXPECT_EQ(packages[0].attribute("architecture"), "x64");
    EXPECT_EQ(packages[0].attribute("version"), "1") << "the subkey that sorts first";
    EXPECT_EQ(packages[1].attribute("architecture"), "x86");
    EXPECT_EQ(packages[1].attribute("version"), "3");
  }
}

}  // namespace
}  // namespace collector
