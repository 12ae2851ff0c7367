#include <gtest/gtest.h>

#include <string>

#include "common/text/AsciiCase.h"

namespace qrv::text {
namespace {

TEST(AsciiCase, ChangesTheLettersOnlyNotTheirNeighbours) {
  EXPECT_EQ(toLowerAscii("@AZ[`az{"), "@az[`az{");
  EXPECT_EQ(toUpperAscii("@AZ[`az{"), "@AZ[`AZ{");
  EXPECT_EQ(toLowerAscii('Q'), 'q');
  EXPECT_EQ(toUpperAscii('q'), 'Q');
}

TEST(AsciiCase, LeavesEveryByteBeyondAsciiAsItIs) {
  // Latin-1 capitals and small letters, and UTF-8 "ÉCOLE" / "école".
  EXPECT_EQ(toLowerAscii("\xC0\xC9\xDE"), "\xC0\xC9\xDE");
  EXPECT_EQ(toUpperAscii("\xE0\xE9\xFE\xFF"), "\xE0\xE9\xFE\xFF");
  EXPECT_EQ(toLowerAscii("\xC3\x89" + std::string("COLE")), "\xC3\x89" + std::string("cole"));
  EXPECT_EQ(toUpperAscii("\xC3\xA9" + std::string("cole")), "\xC3\xA9" + std::string("COLE"));
}

TEST(EqualsIgnoringAsciiCase, MatchesLettersOfEitherCase) {
  EXPECT_TRUE(equalsIgnoringAsciiCase("Root\\CIMV2", "root\\cimv2"));
  EXPECT_TRUE(equalsIgnoringAsciiCase("", ""));
  EXPECT_FALSE(equalsIgnoringAsciiCase("root", "roots"));
  EXPECT_FALSE(equalsIgnoringAsciiCase("roots", "root"));
}

TEST(EqualsIgnoringAsciiCase, SymbolsThatDifferByTheCaseBitStayDifferent) {
  EXPECT_FALSE(equalsIgnoringAsciiCase("@", "`"));
  EXPECT_FALSE(equalsIgnoringAsciiCase("[", "{"));
  EXPECT_FALSE(equalsIgnoringAsciiCase("^", "~"));
  EXPECT_FALSE(equalsIgnoringAsciiCase("\xC3\xA9", "\xC3\x89"));  // é and É
}

TEST(EqualsIgnoringAsciiCase, Utf16TextMatchesAnAsciiName) {
  EXPECT_TRUE(equalsIgnoringAsciiCase(u"Win32_Process", "win32_PROCESS"));
  EXPECT_FALSE(equalsIgnoringAsciiCase(u"Win32_Process", "Win32_Processor"));
  EXPECT_FALSE(equalsIgnoringAsciiCase(u"@", "`"));
}

TEST(EqualsIgnoringAsciiCase, AUnitBeyondAsciiMatchesNoCharacter) {
  EXPECT_FALSE(equalsIgnoringAsciiCase(u"\x0141", "A"));     // its low byte is 'A'
  EXPECT_FALSE(equalsIgnoringAsciiCase(u"\x212A", "k"));     // the Kelvin sign folds to k in Unicode
  EXPECT_FALSE(equalsIgnoringAsciiCase(u"\x00E9", "\xE9"));  // é against its Latin-1 byte
}

TEST(EqualsIgnoringAsciiCase, WideTextMatchesAnAsciiName) {
  EXPECT_TRUE(equalsIgnoringAsciiCase(L"Name", "NAME"));
  EXPECT_FALSE(equalsIgnoringAsciiCase(L"\x0141", "a"));
  EXPECT_FALSE(equalsIgnoringAsciiCase(L"\x00E9", "\xE9"));
}

}  // namespace
}  // namespace qrv::text
