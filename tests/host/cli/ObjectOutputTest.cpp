// What wmihost prints for delivered objects: MOF text, JSON with every
// property of the class, typed values, nulls and proper string escaping,
// and the plain text of list and csv.

#include <gtest/gtest.h>

#include <initializer_list>

#include "common/com/Bstr.h"
#include "common/com/TextConversion.h"
#include "common/com/Variant.h"
#include "host/cim/ClassRepository.h"
#include "host/cim/WbemObject.h"
#include "host/cli/JsonObject.h"
#include "host/cli/ObjectOutput.h"

namespace wmihost {

using qrv::com::Bstr;
using qrv::com::ComPtr;
using qrv::com::toUtf8;
using qrv::com::Variant;
namespace {

constexpr std::string_view kClasses = R"(
  class Status { uint32 Temperature; };
  class Every {
    [key] string Name; char16 Letter; boolean Ok; sint8 S8; uint8 U8; sint16 S16; uint16 U16;
    sint32 S32; uint32 U32; sint64 S64; uint64 U64; real32 R32; real64 R64; datetime When;
    Every ref Parent; object Details; string Labels[]; uint32 Counts[]; boolean Flags[];
  };)";

class ObjectOutput : public ::testing::Test {
 protected:
  void SetUp() override { repository_.loadText(kClasses, "classes.mof"); }

  ComPtr<IWbemClassObject> spawn(std::string_view className) {
    ComPtr<IWbemClassObject> instance;
    WbemObject::newClass(repository_.find("root\\cimv2", className))->SpawnInstance(0, instance.put());
    return instance;
  }

  static void put(IWbemClassObject* object, const char16_t* name, VARIANT* value) {
    ASSERT_EQ(object->Put(name, 0, value, 0), S_OK) << toUtf8(name);
  }
  static void putText(IWbemClassObject* object, const char16_t* name, std::u16string_view text) {
    Variant value = Variant::text(text);
    put(object, name, value.get());
  }
  static void putTexts(IWbemClassObject* object, const char16_t* name, std::initializer_list<const char16_t*> texts) {
    Variant value;
    VARIANT* raw = value.put();
    raw->parray = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(texts.size()));
    raw->vt = VT_ARRAY | VT_BSTR;
    LONG index = 0;
    for (const char16_t* text : texts) {
      const Bstr element{std::u16string_view(text)};
      SafeArrayPutElement(raw->parray, &index, element.get());
      ++index;
    }
    put(object, name, value.get());
  }

  static void putObject(IWbemClassObject* object, const char16_t* name, IWbemClassObject* embedded) {
    Variant value;
    value.put()->punkVal = embedded;
    embedded->AddRef();
    value.get()->vt = VT_UNKNOWN;
    put(object, name, value.get());
  }

  static std::string json(IWbemClassObject* object) { return jsonObject(*WbemObject::from(object)); }

  ClassRepository repository_;
};

TEST_F(ObjectOutput, JsonGivesEveryPropertyUnsetOnesAsNull) {
  const auto every = spawn("Every");
  putText(every.get(), u"Name", u"x");
  EXPECT_EQ(json(every.get()),
            "{\"Name\": \"x\", \"Letter\": null, \"Ok\": null, \"S8\": null, \"U8\": null, \"S16\": null, "
            "\"U16\": null, \"S32\": null, \"U32\": null, \"S64\": null, \"U64\": null, \"R32\": null, "
            "\"R64\": null, \"When\": null, \"Parent\": null, \"Details\": null, \"Labels\": null, "
            "\"Counts\": null, \"Flags\": null}");
}

TEST_F(ObjectOutput, JsonTypesFollowTheCimTypes) {
  const auto every = spawn("Every");
  const std::pair<const char16_t*, const char16_t*> values[] = {
      {u"Name", u"x"},          {u"Letter", u"65"},          {u"Ok", u"TRUE"},
      {u"S8", u"-128"},         {u"U8", u"255"},             {u"S16", u"-32768"},
      {u"U16", u"65535"},       {u"S32", u"-2147483648"},    {u"U32", u"4294967295"},
      {u"S64", u"-9223372036854775808"}, {u"U64", u"18446744073709551615"}, {u"R32", u"0.5"},
      {u"R64", u"-1.25e+300"},  {u"When", u"20251208143000.000000+060"}, {u"Parent", u"Every.Name=\"y\""}};
  for (const auto& [name, text] : values) putText(every.get(), name, text);
  putTexts(every.get(), u"Labels", {u"a", u"b\"c"});
  putTexts(every.get(), u"Counts", {u"4294967295", u"0"});
  putTexts(every.get(), u"Flags", {});
  const auto status = spawn("Status");
  putText(status.get(), u"Temperature", u"35");
  putObject(every.get(), u"Details", status.get());

  EXPECT_EQ(json(every.get()),
            "{\"Name\": \"x\", \"Letter\": \"A\", \"Ok\": true, \"S8\": -128, \"U8\": 255, \"S16\": -32768, "
            "\"U16\": 65535, \"S32\": -2147483648, \"U32\": 4294967295, \"S64\": -9223372036854775808, "
            "\"U64\": 18446744073709551615, \"R32\": 0.5, \"R64\": -1.25e+300, "
            "\"When\": \"20251208143000.000000+060\", \"Parent\": \"Every.Name=\\\"y\\\"\", "
            "\"Details\": {\"Temperature\": 35}, \"Labels\": [\"a\", \"b\\\"c\"], \"Counts\": [4294967295, 0], "
            "\"Flags\": []}");
}

TEST_F(ObjectOutput, JsonStringsEscapeQuotesBackslashesAndControlCharacters) {
  EXPECT_EQ(jsonString("a\"b\\c/d"), "\"a\\\"b\\\\c/d\"");
  EXPECT_EQ(jsonString("\b\f\n\r\t"), "\"\\b\\f\\n\\r\\t\"");
  EXPECT_EQ(jsonString(std::string("\x01\x1f\x00", 3)), "\"\\u0001\\u001f\\u0000\"");
  EXPECT_EQ(jsonString("K\xc3\xb6rvex \xe2\x82\xac \x7f"), "\"K\xc3\xb6rvex \xe2\x82\xac \x7f\"");
}

TEST_F(ObjectOutput, MofListsTheSetPropertiesOfEachInstance) {
  const auto first = spawn("Every");
  putText(first.get(), u"Name", u"a \"quoted\" \\ name");
  putTexts(first.get(), u"Counts", {u"1", u"2"});
  const auto second = spawn("Status");
  putText(second.get(), u"Temperature", u"41");
  EXPECT_EQ(formatObjects({first, second}, OutputFormat::Mof),
            "\ninstance of Every\n{\n\tName = \"a \\\"quoted\\\" \\\\ name\";\n\tCounts = {1, 2};\n};\n"
            "\ninstance of Status\n{\n\tTemperature = 41;\n};\n");
}

// A value holding a line break must not print as lines of its own, such as a
// fake instance; strings in arrays and in embedded objects are escaped alike.
TEST_F(ObjectOutput, MofStringsEscapeLineBreaksAndOtherControlCharacters) {
  const auto every = spawn("Every");
  putText(every.get(), u"Name", u"a\n};\n\ninstance of Every\n{\tName = \"b\\c\";\r\b\f\x01\x7f\x85|\u00e9\U0001F600");
  putTexts(every.get(), u"Labels", {u"x\ny", u"'z'"});
  const auto inner = spawn("Every");
  putText(inner.get(), u"Name", u"in\nside");
  putObject(every.get(), u"Details", inner.get());

  EXPECT_EQ(formatObjects({every}, OutputFormat::Mof),
            "\ninstance of Every\n{\n"
            "\tName = \"a\\n};\\n\\ninstance of Every\\n{\\tName = \\\"b\\\\c\\\";\\r\\b\\f\\x0001\\x007f\\x0085|"
            "\xc3\xa9\xf0\x9f\x98\x80\";\n"
            "\tDetails = instance of Every\n{\n\tName = \"in\\nside\";\n};\n"
            "\tLabels = {\"x\\ny\", \"'z'\"};\n"
            "};\n");
}

TEST_F(ObjectOutput, JsonIsOneArrayOfObjects) {
  const auto first = spawn("Status");
  const auto second = spawn("Status");
  putText(second.get(), u"Temperature", u"41");
  EXPECT_EQ(formatObjects({first, second}, OutputFormat::Json),
            "[\n  {\"Temperature\": null},\n  {\"Temperature\": 41}\n]\n");
  EXPECT_EQ(formatObjects({}, OutputFormat::Json), "[]\n");
  EXPECT_EQ(formatObjects({}, OutputFormat::Mof), "");
}

// The values every type takes in the list and csv formats, and a second
// object with its values unset.
class PlainFormats : public ObjectOutput {
 protected:
  void SetUp() override {
    ObjectOutput::SetUp();
    every_ = spawn("Every");
    unset_ = spawn("Every");
    const std::pair<const char16_t*, const char16_t*> values[] = {
        {u"Name", u"x, \"y\""},   {u"Letter", u"65"},         {u"Ok", u"TRUE"},       {u"S8", u"-128"},
        {u"U8", u"255"},          {u"S16", u"-32768"},        {u"U16", u"65535"},     {u"S32", u"-2147483648"},
        {u"U32", u"4294967295"},  {u"S64", u"-9223372036854775808"},                 {u"U64", u"18446744073709551615"},
        {u"R32", u"0.5"},         {u"R64", u"-1.25e+300"},    {u"When", u"20251208143000.000000+060"},
        {u"Parent", u"Every.Name=\"y\""}};
    for (const auto& [name, text] : values) putText(every_.get(), name, text);
    putTexts(every_.get(), u"Labels", {u"a", u"b c"});
    putTexts(every_.get(), u"Counts", {u"4294967295", u"0"});
    putTexts(every_.get(), u"Flags", {});
    const auto status = spawn("Status");
    putText(status.get(), u"Temperature", u"35");
    putObject(every_.get(), u"Details", status.get());
    putText(unset_.get(), u"Name", u"");
  }

  ComPtr<IWbemClassObject> every_;
  ComPtr<IWbemClassObject> unset_;
};

TEST_F(PlainFormats, ListGivesANameValueLineForEveryPropertyAndABlankLineBetweenObjects) {
  EXPECT_EQ(formatObjects({every_, unset_}, OutputFormat::List),
            "Name = x, \"y\"\nLetter = A\nOk = TRUE\nS8 = -128\nU8 = 255\nS16 = -32768\nU16 = 65535\n"
            "S32 = -2147483648\nU32 = 4294967295\nS64 = -9223372036854775808\nU64 = 18446744073709551615\n"
            "R32 = 0.5\nR64 = -1.25e+300\nWhen = 20251208143000.000000+060\nParent = Every.Name=\"y\"\n"
            "Details = instance of Status { Temperature = 35; }\nLabels = {a, b c}\nCounts = {4294967295, 0}\n"
            "Flags = {}\n"
            "\n"
            "Name = \nLetter =\nOk =\nS8 =\nU8 =\nS16 =\nU16 =\nS32 =\nU32 =\nS64 =\nU64 =\nR32 =\nR64 =\nWhen =\n"
            "Parent =\nDetails =\nLabels =\nCounts =\nFlags =\n");
  EXPECT_EQ(formatObjects({}, OutputFormat::List), "");
}

// A value must keep to its line: a line break in it cannot start a property
// or an object of its own.
TEST_F(PlainFormats, ListWritesControlCharactersAsEscapes) {
  const auto every = spawn("Every");
  putText(every.get(), u"Name", u"a\nLetter = B\r\t\x01\x7f\\z");
  putTexts(every.get(), u"Labels", {u"x\ny"});
  const std::string text = formatObjects({every}, OutputFormat::List);
  EXPECT_EQ(text.substr(0, text.find("\nLetter =") + 1), "Name = a\\nLetter = B\\r\\t\\x0001\\x007f\\z\n");
  EXPECT_NE(text.find("\nLabels = {x\\ny}\n"), std::string::npos);
}

TEST_F(PlainFormats, CsvGivesAHeaderRowAndQuotesAfterRfc4180) {
  EXPECT_EQ(formatObjects({every_, unset_}, OutputFormat::Csv),
            "Name,Letter,Ok,S8,U8,S16,U16,S32,U32,S64,U64,R32,R64,When,Parent,Details,Labels,Counts,Flags\n"
            "\"x, \"\"y\"\"\",A,TRUE,-128,255,-32768,65535,-2147483648,4294967295,-9223372036854775808,"
            "18446744073709551615,0.5,-1.25e+300,20251208143000.000000+060,\"Every.Name=\"\"y\"\"\","
            "instance of Status { Temperature = 35; },{a;b c},{4294967295;0},{}\n"
            "\"\",,,,,,,,,,,,,,,,,,\n");
  EXPECT_EQ(formatObjects({}, OutputFormat::Csv), "");
}

TEST_F(PlainFormats, CsvQuotesLineBreaksAndOuterBlanksAndStartsATableForAnotherClass) {
  const auto broken = spawn("Every");
  putText(broken.get(), u"Name", u" two\nlines\r");
  putTexts(broken.get(), u"Labels", {u"a,b", u"c"});
  const auto status = spawn("Status");
  putText(status.get(), u"Temperature", u"41");
  EXPECT_EQ(formatObjects({broken, status, status}, OutputFormat::Csv, {"__CLASS"}),
            "__CLASS,Name,Letter,Ok,S8,U8,S16,U16,S32,U32,S64,U64,R32,R64,When,Parent,Details,Labels,Counts,Flags\n"
            "Every,\" two\nlines\r\",,,,,,,,,,,,,,,,\"{a,b;c}\",,\n"
            "\n"
            "__CLASS,Temperature\n"
            "Status,41\n"
            "Status,41\n");
}

}  // namespace
}  // namespace wmihost
