#include <gtest/gtest.h>

#include "service/DebugTrace.h"
#include "service/EventLog.h"
#include "tests/service/FakePlatform.h"

namespace rulo::test {
namespace {

class EventLogTest : public ::testing::Test {
 protected:
  FakePlatform fake;
  PlatformScope installed{fake};
};

TEST_F(EventLogTest, IdentifierAndErrorTextFollowTheType) {
  fake.setLastError(5);
  fake.setErrorText(5, "Access is denied.");
  struct Case {
    WORD type;
    DWORD id;
    std::string errorText;
  };
  const std::vector<Case> cases = {{EventSuccess, 0x40020101, ""},
                                   {EventInformation, 0x40020101, ""},
                                   {EventWarning, 0x80020102, ""},
                                   {EventError, 0xC0020103, "rulosrv error (5): Access is denied."},
                                   {7, 0xC0020103, "rulosrv error (5): Access is denied."}};
  for (const Case& c : cases) ReportServiceEvent("text", c.type);
  const auto events = fake.events();
  ASSERT_EQ(events.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(events[i].type, cases[i].type);
    EXPECT_EQ(events[i].id, cases[i].id);
    EXPECT_EQ(events[i].category, 1);
    EXPECT_EQ(events[i].errorText, cases[i].errorText);
    EXPECT_EQ(events[i].text, "text");
  }
  EXPECT_EQ(fake.openHandles(), 0) << "every event source is deregistered";
}

TEST_F(EventLogTest, ErrorWithoutSystemTextEndsAfterTheCode) {
  fake.setLastError(0);
  ReportServiceEvent("x", EventError);
  fake.setLastError(0xC0000005);
  ReportServiceEvent("x", EventError);
  EXPECT_EQ(fake.events()[0].errorText, "rulosrv error (0): ");
  EXPECT_EQ(fake.events()[1].errorText, "rulosrv error (-1073741819): ");
}

TEST_F(EventLogTest, WarningCarriesRawBytesUnchanged) {
  const std::vector<char> raw = {'a', '\0', '\xff', '\n'};
  ReportServiceEvent("w", EventWarning, raw);
  EXPECT_EQ(fake.events().at(0).rawData, raw);
  EXPECT_EQ(fake.events().at(0).errorText, "");
}

TEST_F(EventLogTest, UnregisteredSourceLosesTheEvent) {
  fake.fail(Op::registerEventSource);
  ReportServiceEvent("lost", EventError);
  EXPECT_TRUE(fake.events().empty());
  EXPECT_EQ(fake.openHandles(), 0);
}

TEST_F(EventLogTest, EventSourceGetsFourValuesOverwritingOldOnes) {
  const std::string key = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\rulosrv";
  fake.setRegistryText(key, "EventMessageFile", "old");
  ASSERT_TRUE(AddEventSource("rulosrv", "C:\\svc\\rulosrv.DLL", 1));
  const auto values = fake.registryKey(key);
  const std::vector<char> path = {'C', ':', '\\', 's', 'v', 'c', '\\', 'r', 'u', 'l', 'o',
                                  's', 'r', 'v', '.', 'D', 'L', 'L', '\0'};
  EXPECT_EQ(values.at("EventMessageFile").type, RegExpandSz);
  EXPECT_EQ(values.at("EventMessageFile").bytes, path);
  EXPECT_EQ(values.at("CategoryMessageFile").bytes, path);
  EXPECT_EQ(values.at("TypesSupported").type, RegDword);
  EXPECT_EQ(values.at("TypesSupported").bytes, (std::vector<char>{7, 0, 0, 0}));
  EXPECT_EQ(values.at("CategoryCount").bytes, (std::vector<char>{1, 0, 0, 0}));
  EXPECT_EQ(fake.openHandles(), 0);
}

TEST_F(EventLogTest, EventSourceStopsAtTheFirstFailedWrite) {
  fake.fail(Op::setRegistryValue).onCall(2);
  EXPECT_FALSE(AddEventSource("rulosrv", "m.DLL", 1));
  const auto values = fake.registryKey("SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\rulosrv");
  EXPECT_EQ(values.size(), 1u);
  EXPECT_EQ(fake.openHandles(), 0) << "the key is closed";

  fake.fail(Op::createRegistryKey);
  EXPECT_FALSE(AddEventSource("other", "m.DLL", 1));
  EXPECT_FALSE(AddEventSource(std::string(250, 's'), "m.DLL", 1)) << "key path over 259 characters";
}

TEST_F(EventLogTest, TraceGoesToDebuggerAndFileOrDebuggerOnly) {
  WriteDebugTrace("one");
  fake.fail(Op::appendTraceLine);
  WriteDebugTrace("two");
  EXPECT_EQ(fake.debugLines(), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(fake.traceLines(), (std::vector<std::string>{"one"}));
}

}  // namespace
}  // namespace rulo::test
