#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/com/Bstr.h"
#include "host/cim/ClassRepository.h"
#include "host/cim/NamespaceServices.h"
#include "provider/wmi/FillInstance.h"
#include "provider/wmi/WbemResult.h"
#include "tests/provider/wmi/PropertyText.h"
#include "tests/support/DiagnosticLines.h"

namespace {

using qrv::com::Bstr;
using qrv::cim::fillInstance;
using qrv::cim::ParsedInstance;
using qrv::cim::wbemResult;
using qrv::test::propertyText;

const char* const kMof = R"(
#pragma namespace("\\\\.\\root\\cimv2")
class Sample
{
  [key] string Name;
  uint32 Speed;
  boolean Active;
  real64 Ratio;
  datetime Installed;
  string Disk[];
  string Ports[];
  uint32 Levels[];
  datetime Stamps[];
  Sample ref Partner;
  string Smart;
  object Details;
};
)";

class InstanceFilling : public testing::Test {
 protected:
  void SetUp() override {
    auto repository = std::make_shared<wmihost::ClassRepository>();
    repository->loadText(kMof, "sample.mof");
    auto services = wmihost::NamespaceServices::create(repository, "root\\cimv2");
    const Bstr className(u"Sample");
    ASSERT_EQ(services->GetObject(className.get(), 0, nullptr, classDefinition_.put(), nullptr), S_OK);
    ASSERT_EQ(classDefinition_->SpawnInstance(0, instance_.put()), S_OK);
  }

  HRESULT fill(const ParsedInstance& parsed) { return fillInstance(parsed, instance_.get()); }
  std::string text(const std::string& property) { return propertyText(instance_.get(), property); }

  qrv::com::ComPtr<IWbemClassObject> classDefinition_;
  qrv::com::ComPtr<IWbemClassObject> instance_;
};

TEST_F(InstanceFilling, ScalarsReachWmiAsTextForPutToConvert) {
  EXPECT_EQ(fill({{"Name", "fan"}, {"Speed", "42"}, {"Active", "TRUE"}, {"Ratio", "4.5"}}), S_OK);
  EXPECT_EQ(text("Name"), "fan");
  EXPECT_EQ(text("Speed"), "42");
  EXPECT_EQ(text("Active"), "TRUE");
  EXPECT_EQ(text("Ratio"), "4.500000");
}

// Every value that does not reach the instance is reported with the value,
// the CIM type and the reason; one that does says nothing.
TEST_F(InstanceFilling, EveryDroppedValueIsReported) {
  const struct {
    ParsedInstance parsed;
    std::string line;
  } cases[] = {
      {{{"Speed", "64 bits"}}, "wexi: dropped Sample.Speed = \"64 bits\": WMI refused it as uint32 with 0x80041005\n"},
      {{{"Sped", "1"}}, "wexi: dropped Sample.Sped = \"1\": the class has no property Sped\n"},
      {{{"Unknown[0]", "x"}}, "wexi: dropped Sample.Unknown[0] = \"x\": the class has no property Unknown\n"},
      {{{"Details", "x"}}, "wexi: dropped Sample.Details = \"x\": a property of type object is never filled\n"},
      {{{"Installed", "-5"}}, "wexi: left Sample.Installed = \"-5\" unset: a negative count of seconds has no date\n"},
      {{{"Levels[1]", "1"}, {"Levels[2]", "two"}},
       "wexi: dropped Sample.Levels = {\"1\", \"two\"}: WMI refused it as uint32[] with 0x80041005\n"},
      {{{"Speed", "42"}, {"Levels[1]", "7"}, {"Installed", "0"}}, ""},
  };
  for (const auto& c : cases) {
    qrv::test::DiagnosticLines lines;
    fill(c.parsed);
    EXPECT_EQ(lines.all(), c.line);
  }
}

TEST_F(InstanceFilling, UnknownPropertiesAndRefusedScalarsAreSkippedAndTheFillGoesOn) {
  EXPECT_EQ(fill({{"Missing", "1"}, {"Name", "fan"}, {"Speed", "fast"}, {"Unknown[0]", "x"}}), S_OK);
  EXPECT_EQ(text("Name"), "fan");
  EXPECT_EQ(text("Speed"), "<null>");
}

TEST_F(InstanceFilling, AScalarNamedByIndexedEntriesTakesTheLastInNameOrder) {
  EXPECT_EQ(fill({{"Name[0]", "a"}, {"Name[1]", "b"}}), S_OK);
  EXPECT_EQ(text("Name"), "b");
}

TEST_F(InstanceFilling, DateTimeTextsAreRewritten) {
  EXPECT_EQ(fill({{"Installed", "interval:93784"}}), S_OK);
  EXPECT_EQ(text("Installed"), "00000001020304.000000:000");
  EXPECT_EQ(fill({{"Installed", "absolute:20070605040302.000000+060"}}), S_OK);
  EXPECT_EQ(text("Installed"), "20070605040302.000000+060");
  EXPECT_EQ(fill({{"Installed", "1000000000"}}), S_OK);
  EXPECT_EQ(text("Installed"), "20010909014640.000000-000");
  // A negative count puts an empty value, which unsets the property.
  EXPECT_EQ(fill({{"Installed", "-5"}}), S_OK);
  EXPECT_EQ(text("Installed"), "<null>");
}

TEST_F(InstanceFilling, ArrayEntriesAreGatheredInByteOrderOfTheirNames) {
  std::vector<std::pair<std::string, std::string>> entries;
  for (int i = 0; i <= 10; ++i) entries.emplace_back("Disk[" + std::to_string(i) + "]", "d" + std::to_string(i));
  std::vector<ParsedInstance::Property> read(entries.begin(), entries.end());
  ParsedInstance parsed;
  parsed.add(read);
  EXPECT_EQ(fill(parsed), S_OK);
  EXPECT_EQ(text("Disk"), "{d0,d10,d1,d2,d3,d4,d5,d6,d7,d8,d9}");
  EXPECT_EQ(text("Ports"), "<null>");
}

TEST_F(InstanceFilling, ASingleEntryForAnArrayIsOneElement) {
  EXPECT_EQ(fill({{"Ports", "{80,443}"}}), S_OK);
  EXPECT_EQ(text("Ports"), "{{80,443}}");
}

TEST_F(InstanceFilling, ArrayElementsAreConvertedByPutAndGetNoDateTimeTreatment) {
  EXPECT_EQ(fill({{"Levels[0]", "1"}, {"Levels[1]", "2"}, {"Stamps[0]", "20010909014640.000000-000"}}), S_OK);
  EXPECT_EQ(text("Levels"), "{1,2}");
  EXPECT_EQ(text("Stamps"), "{20010909014640.000000-000}");
  EXPECT_EQ(fill({{"Stamps[0]", "1000000000"}}), wbemResult(WBEM_E_TYPE_MISMATCH));
}

TEST_F(InstanceFilling, TheLastArrayPropertyHandledDecidesTheResult) {
  // Disk, Levels, Ports: the refused Levels is followed by Ports, which succeeds.
  EXPECT_EQ(fill({{"Disk[0]", "a"}, {"Levels[0]", "x"}, {"Ports[0]", "80"}}), S_OK);
  EXPECT_EQ(text("Levels"), "<null>");
  EXPECT_EQ(text("Ports"), "{80}");
  EXPECT_EQ(fill({{"Disk[0]", "a"}, {"Levels[0]", "1"}, {"Levels[1]", "x"}}), wbemResult(WBEM_E_TYPE_MISMATCH));
  EXPECT_EQ(text("Disk"), "{a}");
}

TEST_F(InstanceFilling, ReferencesAndEmbeddedObjectTextAreStringsWhileObjectPropertiesStayUnset) {
  EXPECT_EQ(fill({{"Partner", "Sample.Name=\"other\""},
                  {"Smart", "instance of Status{ Temperature = 35 }"},
                  {"Details", "instance of Status{ Temperature = 35 }"}}),
            S_OK);
  EXPECT_EQ(text("Partner"), "Sample.Name=\"other\"");
  EXPECT_EQ(text("Smart"), "instance of Status{ Temperature = 35 }");
  EXPECT_EQ(text("Details"), "<null>");
}

}  // namespace
