#include "collector/Inventory.h"

#include <gtest/gtest.h>

namespace collector {
namespace {

Source answering(const std::string& name, const std::string& element, Notes notes = {}) {
  return {name, [element, notes](Notes& out) {
            out.insert(out.end(), notes.begin(), notes.end());
            return XmlElement(element);
          }};
}

Source failing(const std::string& name, const std::string& why) {
  return {name, [why](Notes& out) -> XmlElement {
            out.push_back("a note of a source that then fails");
            throw SourceFailure(why);
          }};
}

std::vector<std::string> childNames(const Inventory& inventory) {
  std::vector<std::string> names;
  for (const XmlElement& child : inventory.document.children()) names.push_back(child.name());
  return names;
}

TEST(CollectInventory, EverySourceAnsweringGivesStatus0) {
  const Inventory inventory =
      collectInventory({answering("system", "System"), answering("software", "Packages", {"one view missing"})}, 42);
  EXPECT_EQ(inventory.status, kAllAnswered);
  EXPECT_EQ(childNames(inventory), (std::vector<std::string>{"System", "Packages"}));
  EXPECT_EQ(inventory.logLines, std::vector<std::string>{"software: one view missing"});
  EXPECT_EQ(inventory.document.attribute("collector"), "korvex-collector 3.0");
  EXPECT_EQ(inventory.document.attribute("format"), "3");
  EXPECT_EQ(inventory.document.attribute("system"), "windows");
  EXPECT_EQ(inventory.document.attribute("collected"), "42");
}

TEST(CollectInventory, AFailingSourceIsALogLineAndTheOthersStillAnswer) {
  const Inventory inventory = collectInventory(
      {failing("computer", "GetSystemFirmwareTable: error 1"), answering("disks", "Disks"),
       {"memory", [](Notes&) -> XmlElement { throw std::bad_alloc(); }}},
      1);
  EXPECT_EQ(inventory.status, kSomeFailed);
  EXPECT_EQ(inventory.failed, 2u);
  EXPECT_EQ(childNames(inventory), std::vector<std::string>{"Disks"});
  ASSERT_EQ(inventory.logLines.size(), 2u);
  EXPECT_EQ(inventory.logLines[0], "computer failed: GetSystemFirmwareTable: error 1")
      << "a failed source's notes do not count";
  EXPECT_EQ(inventory.logLines[1].rfind("memory failed: ", 0), 0u) << inventory.logLines[1];
}

TEST(CollectInventory, NoSourceAnsweringGivesStatus2) {
  EXPECT_EQ(collectInventory({failing("a", "x"), failing("b", "y")}, 1).status, kNothingCollected);
  EXPECT_EQ(collectInventory({}, 1).status, kNothingCollected);
}

TEST(LogText, StampsEachLineWithTheUtcTime) {
  EXPECT_EQ(logText({"first", "second"}, 1796841221),
            "2026-12-09T18:33:41Z first\n2026-12-09T18:33:41Z second\n");
  EXPECT_EQ(logText({}, 0), "");
}

}  // namespace
}  // namespace collector
