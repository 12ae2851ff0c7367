#include <gtest/gtest.h>

#include "common/text/Utf16Le.h"
#include "compat/registry/RegFormat.h"

using namespace qrv::regfile;

namespace {

const std::string kKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvex\\rulo\\SysInvSrv";

Registry everyKind() {
  Registry registry;
  registry.createKey(kKey);
  registry.setValue(kKey, "invexecdir", textValue("C:\\Program Files\\\"inv\".exe"));
  registry.setValue(kKey, "", textValue("default"));
  registry.setValue(kKey, "invtimeout", dwordValue(30));
  registry.setValue(kKey, "path", textValue("%ROOT%\\\xC3\xA9", kRegExpandSz));
  registry.setValue(kKey, "blob", {kRegBinary, {'\x01', '\xff', '\0'}});
  registry.setValue(kKey, "lines", textValue("one\ntwo"));
  registry.setValue(kKey, "qword", {0xb, {'\x01', 0, 0, 0, 0, 0, 0, 0}});
  registry.setValue(kKey, "a \"quoted\" name", textValue(""));
  registry.createKey("HKEY_CLASSES_ROOT\\CLSID\\{X}\\InprocServer32");
  return registry;
}

TEST(RegFormat, WritesWhatWindowsWrites) {
  const std::string text = formatRegText(everyKind());
  EXPECT_EQ(text,
            "Windows Registry Editor Version 5.00\n"
            "\n[HKEY_CLASSES_ROOT\\CLSID\\{X}\\InprocServer32]\n"
            "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvex\\rulo\\SysInvSrv]\n"
            "\"invexecdir\"=\"C:\\\\Program Files\\\\\\\"inv\\\".exe\"\n"
            "@=\"default\"\n"
            "\"invtimeout\"=dword:0000001e\n"
            "\"path\"=hex(2):25,00,52,00,4f,00,4f,00,54,00,25,00,5c,00,e9,00,00,00\n"
            "\"blob\"=hex:01,ff,00\n"
            "\"lines\"=hex(1):6f,00,6e,00,65,00,0a,00,74,00,77,00,6f,00,00,00\n"
            "\"qword\"=hex(b):01,00,00,00,00,00,00,00\n"
            "\"a \\\"quoted\\\" name\"=\"\"\n");
}

TEST(RegFormat, ReadsBackWhatItWrites) {
  const Registry original = everyKind();
  const Registry parsed = parseRegText(formatRegText(original), "test");
  EXPECT_EQ(formatRegText(parsed), formatRegText(original));
  for (const std::string& name : original.valueNames(kKey)) {
    EXPECT_EQ(parsed.value(kKey, name), original.value(kKey, name)) << name;
  }
  EXPECT_TRUE(parsed.hasKey("HKEY_CLASSES_ROOT\\CLSID\\{X}\\InprocServer32"));
}

TEST(RegFormat, ReadsRegeditExportsInUtf16WithContinuedLines) {
  const std::string utf8 =
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "; exported\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvex\\rulo\\SysInvSrv]\r\n"
      "@=\"d\"\r\n"
      "\"startdelaysecond\"=dword:1E\r\n"
      "\"path\"=hex(2):43,00,3a,00,5c,00,\\\r\n"
      "  78,00,00,00\r\n";
  std::string utf16 = "\xFF\xFE";
  for (char c : utf8) utf16 += std::string{c, '\0'};

  const Registry registry = parseRegText(utf16, "export.reg");
  EXPECT_EQ(registry.value(kKey, ""), textValue("d"));
  EXPECT_EQ(registry.value(kKey, "startdelaysecond"), dwordValue(30));
  EXPECT_EQ(registry.value(kKey, "path"), textValue("C:\\x", kRegExpandSz));
  EXPECT_EQ(registry.subkeys("HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvex"), std::vector<std::string>{"rulo"});
}

TEST(RegFormat, MalformedTextNamesTheFaultAndItsLine) {
  const std::string header = "Windows Registry Editor Version 5.00\n";
  const std::string section = header + "[HKEY_LOCAL_MACHINE\\K]\n";
  const struct {
    std::string text;
    std::string message;
  } cases[] = {
      {"", "f.reg: not a registry file: it is empty"},
      {"REGEDIT4\n", "f.reg, line 1: not a registry file"},
      {header + "\"a\"=\"b\"\n", "line 2: a value line before the first [key] section"},
      {header + "[HKEY_LOCAL_MACHINE\\K\n", "line 2: a [key] section must end with ']'"},
      {header + "[-HKEY_LOCAL_MACHINE\\K]\n", "line 2: key deletions"},
      {header + "[HKEY_NOWHERE\\K]\n", "line 2: unknown registry root"},
      {header + "[HKEY_LOCAL_MACHINE\\\\K]\n", "line 2: empty key name"},
      {section + "\"a\"=\"b\n", "line 3: quoted text is not closed"},
      {section + "\"a\"=\"C:\\dir\"\n", "line 3: a backslash in quoted text must be doubled"},
      {section + "\"a\"=\"b\" x\n", "line 3: unexpected text after the closing quote"},
      {section + "\"a\"\n", "line 3: expected '=' after the value name"},
      {section + "a=\"b\"\n", "line 3: expected a [key] section"},
      {section + "\"a\"=dword:123456789\n", "line 3: invalid dword"},
      {section + "\"a\"=dword:\n", "line 3: invalid dword"},
      {section + "\"a\"=hex:1,zz\n", "line 3: invalid hex byte: zz"},
      {section + "\"a\"=hex:01,\n", "line 3: hex byte list ends with a comma"},
      {section + "\"a\"=hex(2):41,00,00\n", "line 3: text in hex(2) needs an even number of bytes"},
      {section + "\"a\"=hex(2:41\n", "line 3: expected hex(type):"},
      {section + "\"a\"=-\n", "line 3: value deletions"},
      {section + "\"a\"=str:x\n", "line 3: unknown value data: str:x"},
      {section + "\"a\tb\"=\"x\"\n", "line 3: invalid registry value name"},
  };
  for (const auto& c : cases) {
    try {
      parseRegText(c.text, "f.reg");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const RegistryError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
}

}  // namespace

// Text values that are not printable UTF-8 go through UTF-16LE, where each
// byte of an ill-formed sequence is kept as a lone low surrogate, so any
// value another program wrote survives a write-back byte for byte.
TEST(RegFormat, KeepsEveryTextValueByteForByte) {
  const std::string texts[] = {
      "a\xC0\x80" "b",                        // overlong NUL
      "\xFF\xFE\x80",                          // bytes that never start UTF-8
      "tab\there\r\n\x7F",                     // control characters
      "\xED\xA0\x80\xED\xB0\x80",              // a surrogate pair spelled in UTF-8
      "\xE2\x82",                              // cut short at the end
      "\xF0\x9F\x98\x80\xC3\xA9 \xEF\xBF\xBD",  // valid text beside them stays text
  };
  Registry registry;
  registry.createKey(kKey);
  int n = 0;
  for (const std::string& text : texts) {
    for (const std::uint32_t type : {kRegSz, kRegExpandSz}) registry.setValue(kKey, std::to_string(n++), textValue(text, type));
  }
  const std::string written = formatRegText(registry);
  const std::string utf16 = "\xFF\xFE" + qrv::text::encodeUtf16Le(written);  // as regedit would save it
  for (const std::string& text : {written, formatRegText(parseRegText(written, "a")), utf16}) {
    const Registry read = parseRegText(text, "round trip");
    for (const std::string& name : registry.valueNames(kKey)) {
      EXPECT_EQ(read.value(kKey, name), registry.value(kKey, name)) << name;
    }
  }
  EXPECT_NE(written.find("\"0\"=hex(1):61,00,c0,dc,80,dc,62,00,00,00"), std::string::npos) << written;

  // An unpaired surrogate another writer left stays what it read as.
  const Registry read = parseRegText(
      "Windows Registry Editor Version 5.00\n\n[" + kKey + "]\n\"lone\"=hex(2):00,d8,41,00,00,00\n", "lone.reg");
  EXPECT_EQ(textOf(*read.value(kKey, "lone")), "\xEF\xBF\xBD" "A");
}

// A deep key is one section, however many ancestors it has; keys that are
// there only as ancestors are not written, but a key without subkeys or
// values is, and so is an ancestor holding values.
TEST(RegFormat, WritesEachKeyOnceWithoutItsAncestors) {
  std::string path = "HKEY_LOCAL_MACHINE";
  while (path.size() < 4000) path += "\\k";
  Registry registry;
  registry.createKey(path);
  registry.setValue("HKEY_LOCAL_MACHINE\\k\\k", "v", dwordValue(1));
  const std::string text = formatRegText(registry);
  EXPECT_LT(text.size(), 2 * path.size());
  EXPECT_EQ(text, "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\k\\k]\n\"v\"=dword:00000001\n\n[" +
                      path + "]\n");
  const Registry read = parseRegText(text, "deep.reg");
  EXPECT_TRUE(read.hasKey(path));
  EXPECT_EQ(read.subkeys("HKEY_LOCAL_MACHINE\\k"), std::vector<std::string>{"k"});
}

// Inputs that took the reader seconds to minutes while it re-read the key
// path or every value name for each line; now each is one pass.
TEST(RegFormat, ReadsLargeFilesInOnePass) {
  const std::string header = "Windows Registry Editor Version 5.00\n";
  std::string deepPath = "HKEY_LOCAL_MACHINE";
  while (deepPath.size() < 80000) deepPath += "\\k";
  std::string deepWithLines = header + "[" + deepPath + "]\n";
  for (int i = 0; i < 20000; ++i) deepWithLines += "@=\"\"\n";
  std::string manyValues = header + "[HKEY_LOCAL_MACHINE\\K]\n";
  for (int i = 0; i < 20000; ++i) manyValues += "\"value" + std::to_string(i) + "\"=\"\"\n";

  const Registry deep = parseRegText(deepWithLines, "deep.reg");
  EXPECT_EQ(deep.valueNames(deepPath), std::vector<std::string>{""});
  EXPECT_EQ(formatRegText(deep).size(), header.size() + deepPath.size() + 9);
  const Registry many = parseRegText(manyValues, "many.reg");
  EXPECT_EQ(many.valueNames("HKEY_LOCAL_MACHINE\\K").size(), 20000u);
  EXPECT_EQ(many.value("HKEY_LOCAL_MACHINE\\K", "VALUE19999"), textValue(""));
}
