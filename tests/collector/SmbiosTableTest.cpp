#include "collector/SmbiosTable.h"

#include <gtest/gtest.h>

#include "tests/collector/SmbiosBuilder.h"

namespace collector {
namespace {

using namespace std::string_literals;

TEST(SmbiosTable, SplitsStructuresWithTheirFieldsAndStrings) {
  SmbiosBuilder builder;
  builder.add(1, 0x0100, bytes({1, 2, 0, 3}) + le16(0xBEEF) + le32(0x12345678), {"Maker", "Model", "  padded  "})
      .add(3, 0x0300, bytes({1, 0x17}))
      .end();
  const SmbiosTable table = SmbiosTable::fromStructures(builder.table());
  ASSERT_EQ(table.structures().size(), 2u);
  EXPECT_FALSE(table.truncated());
  const SmbiosStructure& system = table.structures()[0];
  EXPECT_EQ(system.type(), 1);
  EXPECT_EQ(system.handle(), 0x0100);
  EXPECT_EQ(system.string(4), "Maker");
  EXPECT_EQ(system.string(5), "Model");
  EXPECT_EQ(system.string(6), std::nullopt) << "string number 0 means none";
  EXPECT_EQ(system.string(7), "padded");
  EXPECT_EQ(system.word(8), 0xBEEF);
  EXPECT_EQ(system.dword(10), 0x12345678u);
  EXPECT_EQ(system.qword(6), 0x12345678BEEF0300u);
  EXPECT_EQ(table.structures()[1].byte(5), 0x17);
  EXPECT_EQ(table.ofType(3).size(), 1u);
  EXPECT_TRUE(table.ofType(4).empty());
}

TEST(SmbiosTable, FieldsBeyondAnOlderShorterStructureAreAbsent) {
  const SmbiosTable table = SmbiosTable::fromStructures(SmbiosBuilder().add(4, 7, bytes({1, 2})).table());
  const SmbiosStructure& s = table.structures().front();
  EXPECT_EQ(s.byte(5), 2);
  EXPECT_EQ(s.byte(6), std::nullopt);
  EXPECT_EQ(s.word(5), std::nullopt) << "a word that starts inside and ends outside";
  EXPECT_EQ(s.dword(3), std::nullopt);
  EXPECT_EQ(s.bytes(4, 3), std::nullopt);
  EXPECT_EQ(s.bytes(4, 2), "\x01\x02"s);
  EXPECT_EQ(s.qword(~std::size_t{0}), std::nullopt) << "an offset near the top of size_t must not wrap";
  EXPECT_EQ(s.bytes(2, ~std::size_t{0}), std::nullopt);
}

TEST(SmbiosTable, StringNumbersBeyondTheSetAndBlankStringsAreAbsent) {
  const SmbiosTable table =
      SmbiosTable::fromStructures(SmbiosBuilder().add(1, 1, bytes({1, 2, 200, 255}), {"x", "   "}).table());
  const SmbiosStructure& s = table.structures().front();
  EXPECT_EQ(s.string(4), "x");
  EXPECT_EQ(s.string(5), std::nullopt);
  EXPECT_EQ(s.string(6), std::nullopt);
  EXPECT_EQ(s.string(7), std::nullopt);
  EXPECT_EQ(s.string(8), std::nullopt) << "a field beyond the structure";
}

TEST(SmbiosTable, StopsAtTheEndOfTableStructure) {
  SmbiosBuilder builder;
  builder.add(1, 1, "").end().add(3, 2, bytes({1, 3}));
  const SmbiosTable table = SmbiosTable::fromStructures(builder.table());
  ASSERT_EQ(table.structures().size(), 1u);
  EXPECT_FALSE(table.truncated());
}

TEST(SmbiosTable, AStructureCutShortEndsTheTableAndKeepsWhatCameBefore) {
  SmbiosBuilder builder;
  builder.add(1, 1, bytes({1}), {"Maker"}).add(3, 2, bytes({0, 3, 0, 0, 0}), {"Chassis maker"});
  const std::string whole = builder.table();
  const std::size_t firstEnd = whole.find("Maker"s + '\0' + '\0') + 7;
  // Every cut of the second structure: in its header, in its formatted
  // area, in its strings, between its two closing NULs.
  for (std::size_t cut = firstEnd + 1; cut < whole.size(); ++cut) {
    const SmbiosTable table = SmbiosTable::fromStructures(whole.substr(0, cut));
    ASSERT_EQ(table.structures().size(), 1u) << "cut at " << cut;
    EXPECT_TRUE(table.truncated()) << "cut at " << cut;
    EXPECT_EQ(table.structures().front().string(4), "Maker");
  }
  EXPECT_FALSE(SmbiosTable::fromStructures(whole).truncated());
  EXPECT_EQ(SmbiosTable::fromStructures(whole).structures().size(), 2u);
}

TEST(SmbiosTable, ALengthBelowTheHeaderOrBeyondTheTableEndsIt) {
  const std::string shortHeader = bytes({1, 3, 0, 0}) + "\0\0"s;
  EXPECT_TRUE(SmbiosTable::fromStructures(shortHeader).truncated());
  EXPECT_TRUE(SmbiosTable::fromStructures(shortHeader).structures().empty());
  const std::string overlong = bytes({1, 200, 0, 0, 1, 2}) + "\0\0"s;
  EXPECT_TRUE(SmbiosTable::fromStructures(overlong).truncated());
  EXPECT_TRUE(SmbiosTable::fromStructures(overlong).structures().empty());
  EXPECT_TRUE(SmbiosTable::fromStructures("\x01"s).truncated());
}

TEST(SmbiosTable, AMaliciousTableOfManyTinyStructuresIsReadInOnePass) {
  // A megabyte of minimal structures and one whose string set never ends:
  // every structure up to it is read, and the unterminated set ends the table.
  std::string table;
  const std::string tiny = bytes({0x80, 4, 0, 0}) + "\0\0"s;
  const std::size_t count = (1 << 20) / tiny.size();
  for (std::size_t i = 0; i < count; ++i) table += tiny;
  table += bytes({0x81, 4, 0, 0}) + std::string(1 << 20, 'A');
  const SmbiosTable parsed = SmbiosTable::fromStructures(table);
  EXPECT_EQ(parsed.structures().size(), count);
  EXPECT_TRUE(parsed.truncated());
}

TEST(SmbiosTable, RawSmbiosDataGivesTheTableBehindItsHeader) {
  SmbiosBuilder builder;
  builder.add(1, 0x11, bytes({1}), {"Maker"}).end();
  const SmbiosTable table = SmbiosTable::fromRawSmbiosData(builder.rawSmbiosData());
  ASSERT_EQ(table.structures().size(), 1u);
  EXPECT_EQ(table.structures().front().string(4), "Maker");
  EXPECT_FALSE(table.truncated());
}

TEST(SmbiosTable, RawSmbiosDataReadsNoFurtherThanItsLengthOrItsBytes) {
  SmbiosBuilder builder;
  builder.add(1, 1, "").add(3, 2, "");
  const std::string table = builder.table();
  // A length that ends the table after the first structure hides the second.
  const std::string shorter = bytes({0, 3, 4, 0}) + le32(6) + table;
  EXPECT_EQ(SmbiosTable::fromRawSmbiosData(shorter).structures().size(), 1u);
  EXPECT_FALSE(SmbiosTable::fromRawSmbiosData(shorter).truncated());
  // A length beyond the bytes given is cut to them and marked.
  const std::string longer = bytes({0, 3, 4, 0}) + le32(0xFFFFFFFF) + table;
  EXPECT_EQ(SmbiosTable::fromRawSmbiosData(longer).structures().size(), 2u);
  EXPECT_TRUE(SmbiosTable::fromRawSmbiosData(longer).truncated());
  EXPECT_TRUE(SmbiosTable::fromRawSmbiosData(bytes({0, 3, 4})).truncated());
  EXPECT_TRUE(SmbiosTable::fromRawSmbiosData("").structures().empty());
}

}  // namespace
}  // namespace collector
