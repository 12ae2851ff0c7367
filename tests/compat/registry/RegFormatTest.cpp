#include <gtest/gtest.h>

#include <functional>

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

namespace {

const std::string kHeaderLine = "Windows Registry Editor Version 5.00\n";

// Text no writer of this registry would write: comments before the header
// and between values, spaces around data, upper-case and continued hex
// lists, text values holding what the registry does not see (text after an
// embedded NUL, a lone surrogate, no terminator), one value defined twice,
// one key in two sections, sections out of order, and no last line end.
const std::string kHandWritten = "; exported by hand\n" + kHeaderLine +
                                 "\n"
                                 "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Zeta]\n"
                                 "\"Number\"=  dword:0000001E  \n"
                                 "; a comment between values\n"
                                 "\"list\"=hex:01,FF,\\\n"
                                 "    02\n"
                                 "\"embedded\"=hex(1):61,00,00,00,62,00,00,00\n"
                                 "\"lone\"=hex(2):00,d8,41,00,00,00\n"
                                 "\"unterminated\"=hex(2):41,00\n"
                                 "\"twice\"=\"first\"\n"
                                 "\"twice\"=\"second\"\n"
                                 "\n"
                                 "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Alpha]\n"
                                 "@=\"a\"\n"
                                 "\n"
                                 "[hkey_local_machine\\software\\zeta]\n"
                                 "\"later\"=\"z\"";

std::string withCrLf(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string{c};
  return out;
}

std::string asUtf16WithMark(const std::string& text) { return "\xFF\xFE" + qrv::text::encodeUtf16Le(text); }

std::string rewritten(const std::string& text, const std::function<void(Registry&)>& change) {
  const RegDocument document = RegDocument::parse(text, "test.reg");
  Registry registry = document.registry();
  change(registry);
  return document.format(registry);
}

TEST(RegDocument, WritesBackAnUnchangedRegistryAsTheTextItRead) {
  const std::string texts[] = {kHandWritten, withCrLf(kHandWritten), "\xEF\xBB\xBF" + kHandWritten,
                               asUtf16WithMark(withCrLf(kHandWritten)), kHeaderLine, formatRegText(everyKind())};
  for (const std::string& text : texts) {
    EXPECT_EQ(rewritten(text, [](Registry&) {}), text) << text;
  }
  const Registry read = parseRegText(kHandWritten, "hand.reg");
  const std::string zeta = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Zeta";
  EXPECT_EQ(read.valueNames(zeta),
            (std::vector<std::string>{"Number", "list", "embedded", "lone", "unterminated", "twice", "later"}));
  EXPECT_EQ(read.value(zeta, "twice"), textValue("second"));
  EXPECT_EQ(read.value(zeta, "list"), (Value{kRegBinary, {'\x01', '\xff', '\x02'}}));
}

// Values set, deleted and added, keys deleted and added: the other lines,
// comments included, stay as they were.
TEST(RegDocument, AChangeRewritesOnlyTheLinesOfWhatChanged) {
  const std::string service = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvex\\rulo\\SysInvSrv";
  const std::string text = kHeaderLine +
                           "\n"
                           "; service settings\n"
                           "[" + service + "]\n"
                           "\"invexecdir\"=\"/opt/collector\"\n"
                           "; seconds\n"
                           "\"invtimeout\"=dword:0000001E\n"
                           "\"embedded\"=hex(1):61,00,00,00,62,00,00,00\n"
                           "\"gone\"=\"x\"\n"
                           "\n"
                           "; an old key\n"
                           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Old]\n"
                           "\"x\"=dword:00000001\n"
                           "\n"
                           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Zeta]\n";
  const std::string written = rewritten(text, [&service](Registry& registry) {
    registry.setValue(service, "INVTIMEOUT", dwordValue(60));
    registry.deleteValue(service, "gone");
    registry.setValue(service, "startdelaysecond", dwordValue(5));
    registry.setValue(service, "invexecdir", textValue("/opt/collector"));  // the same again
    registry.deleteKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Old");
    registry.createKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvex\\New");
    registry.setValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvex\\New", "v", dwordValue(1));
    registry.createKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Zz");
  });
  EXPECT_EQ(written, kHeaderLine +
                         "\n"
                         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvex\\New]\n"
                         "\"v\"=dword:00000001\n"
                         "\n"
                         "; service settings\n"
                         "[" + service + "]\n"
                         "\"invexecdir\"=\"/opt/collector\"\n"
                         "; seconds\n"
                         "\"invtimeout\"=dword:0000003c\n"
                         "\"embedded\"=hex(1):61,00,00,00,62,00,00,00\n"
                         "\"startdelaysecond\"=dword:00000005\n"
                         "\n"
                         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Zeta]\n"
                         "\n"
                         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Zz]\n");
}

// A value defined more than once is written anew at its first line, so that
// its place among the key's values stays; new values follow the key's last
// value, in its last section.
TEST(RegDocument, AChangedValueTakesTheLineOfItsFirstDefinition) {
  const std::string key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\K";
  const std::string section = "[" + key + "]\n";
  const std::string other = "\n[HKEY_CURRENT_CONFIG\\Other]\n\n";
  const std::string text = kHeaderLine + section + "\"x\"=\"1\"\n\"y\"=\"2\"\n\"x\"=\"3\"\n" + other + section +
                           "\"z\"=\"4\"\n; last\n";
  const std::string written = rewritten(text, [&key](Registry& registry) {
    registry.setValue(key, "X", textValue("5"));
    registry.setValue(key, "new", textValue("6"));
  });
  EXPECT_EQ(written, kHeaderLine + section + "\"x\"=\"5\"\n\"y\"=\"2\"\n" + other + section +
                         "\"z\"=\"4\"\n\"new\"=\"6\"\n; last\n");
  EXPECT_EQ(parseRegText(written, "w").valueNames(key), (std::vector<std::string>{"x", "y", "z", "new"}));
}

// A key rebuilt with its values in another order is written anew, so that
// reading the text gives that order; its comments stay.
TEST(RegDocument, AKeyWhoseValuesChangedOrderIsWrittenAnew) {
  const std::string key = "HKEY_CLASSES_ROOT\\CLSID\\{X}";
  const std::string text = kHeaderLine + "\n[" + key + "]\n@=\"a\"\n; about b\n\"b\"=\"b\"\n";
  const std::string written = rewritten(text, [&key](Registry& registry) {
    registry.deleteKey(key);
    registry.createKey(key);
    registry.setValue(key, "b", textValue("b"));
    registry.setValue(key, "", textValue("a"));
  });
  EXPECT_EQ(written, kHeaderLine + "\n[" + key + "]\n; about b\n\"b\"=\"b\"\n@=\"a\"\n");
  EXPECT_EQ(parseRegText(written, "w").valueNames(key), (std::vector<std::string>{"b", ""}));
}

// Lines written anew take the line ends and the encoding of the text, after
// a last line that had no line end.
TEST(RegDocument, NewLinesFollowTheTextsLineEndsAndEncoding) {
  const std::string key = "HKEY_LOCAL_MACHINE\\K";
  const std::string text = kHeaderLine + "[" + key + "]\n\"a\"=\"1\"";
  const auto addValue = [&key](Registry& registry) { registry.setValue(key, "b", textValue("2")); };
  EXPECT_EQ(rewritten(text, addValue), text + "\n\"b\"=\"2\"\n");
  EXPECT_EQ(rewritten(withCrLf(text), addValue), withCrLf(text + "\n\"b\"=\"2\"\n"));
  EXPECT_EQ(rewritten(asUtf16WithMark(withCrLf(text)), addValue), asUtf16WithMark(withCrLf(text + "\n\"b\"=\"2\"\n")));
  EXPECT_EQ(rewritten("\xEF\xBB\xBF" + text, addValue), "\xEF\xBB\xBF" + text + "\n\"b\"=\"2\"\n");
}

// Inputs that would take minutes if the writer looked a section's key up
// for each of its values, or compared a key's values for each of its
// sections; each is one pass.
TEST(RegDocument, WritesLargeFilesBackInOnePass) {
  std::string deepPath = "HKEY_LOCAL_MACHINE";
  while (deepPath.size() < 80000) deepPath += "\\k";
  std::string deep = kHeaderLine + "[" + deepPath + "]\n";
  for (int i = 0; i < 20000; ++i) deep += "@=\"\"\n";
  std::string manySections = kHeaderLine;
  for (int i = 0; i < 20000; ++i) manySections += "[HKEY_LOCAL_MACHINE\\K]\n\"v" + std::to_string(i) + "\"=\"\"\n";

  EXPECT_EQ(rewritten(deep, [](Registry&) {}), deep);
  EXPECT_EQ(rewritten(deep, [&deepPath](Registry& r) { r.setValue(deepPath, "", textValue("x")); }),
            kHeaderLine + "[" + deepPath + "]\n@=\"x\"\n");
  const std::string written =
      rewritten(manySections, [](Registry& r) { r.setValue("HKEY_LOCAL_MACHINE\\K", "v0", textValue("x")); });
  EXPECT_EQ(written.size(), manySections.size() + 1);
  EXPECT_EQ(parseRegText(written, "w").value("HKEY_LOCAL_MACHINE\\K", "v0"), textValue("x"));
}

}  // namespace
