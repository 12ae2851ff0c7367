#pragma once
// A fake platform configured for a collection run: a collector whose path
// holds a blank, its registry configuration and a data directory.

#include <gtest/gtest.h>

#include <memory>

#include "service/CollectionRun.h"
#include "tests/service/FakePlatform.h"

namespace rulo::test {

inline const std::string kConfigKeyPath = "SOFTWARE\\Korvex\\rulo\\SysInvSrv";
inline const std::string kCollector = "C:\\Program Files\\inv\\collector.exe";
inline const std::string kInvDir = "C:\\Program Files\\inv";
inline const std::string kOutput = "C:\\Program Files\\inv\\rul1.TMP";  // the first unique file of a run
inline const std::string kLog = "C:\\Program Files\\inv\\lastrun.log";
inline const std::string kParameters = "-outc=\"" + kOutput + "\" -logc=\"" + kLog + "\"";
inline const std::string kDataDir = "C:\\data";
inline const std::string kDataFile = "C:\\data\\inventory.xml";
inline const std::string kPublished = "Korvex Quorvane Inventory data for WMI gets updated successfully";

inline void ConfigureRun(FakePlatform& fake) {
  fake.addFile(kCollector, "binary");
  fake.addDirectory(kDataDir);
  fake.setRegistryText(kConfigKeyPath, "invexecdir", kCollector);
  fake.setRegistryText(kConfigKeyPath, "invoutputfile", kDataFile);
  fake.setErrorText(5, "Access is denied.");
}

class RunTest : public ::testing::Test {
 protected:
  RunTest() {
    ConfigureRun(fake);
  }

  std::vector<std::string> textsOf(WORD type) const {
    std::vector<std::string> texts;
    for (const RecordedEvent& event : fake.events())
      if (event.type == type) texts.push_back(event.text);
    return texts;
  }

  // A fake installed in place of fake while it lives.
  struct InstalledFake : FakePlatform {
    PlatformScope installed{*this};
  };

  // A freshly configured platform for one case of a table.
  static std::unique_ptr<InstalledFake> freshRun() {
    auto platform = std::make_unique<InstalledFake>();
    ConfigureRun(*platform);
    return platform;
  }

  DWORD lastReportedState() const { return fake.statusReports().back().currentState; }

  FakePlatform fake;
  PlatformScope installed{fake};
};

}  // namespace rulo::test
