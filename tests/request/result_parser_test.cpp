#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "provider/request/RequestBase.h"

namespace qrv::cim {
namespace {

std::vector<ParsedInstance> parseAll(const std::string& text) {
  std::vector<ParsedInstance> instances;
  EXPECT_EQ(RequestBase::parseInstances(text, instances), Ok);
  return instances;
}

ParsedInstance parseOne(const std::string& text) {
  ParsedInstance instance;
  EXPECT_EQ(RequestBase::parseInstance(text, instance), Ok);
  return instance;
}

const std::string kTwoInstances =
    "instance of A\n{\n Name = \"x\";\n Size = 10;\n};\ninstance of A\n{\n Name = \"y\";\n};\n";

TEST(ParseInstances, CutsAtEveryInstanceOf) {
  EXPECT_EQ(parseAll(kTwoInstances),
            (std::vector<ParsedInstance>{{{"Name", "x"}, {"Size", "10"}}, {{"Name", "y"}}}));
}

TEST(ParseInstances, SkipsTheXmlDeclarationAndEmptyPieces) {
  EXPECT_TRUE(parseAll("").empty());
  EXPECT_TRUE(parseAll("<?xml version=\"1.0\" encoding=\"UTF-8\"?>").empty());
  EXPECT_EQ(parseAll("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + kTwoInstances).size(), 2u);
  EXPECT_TRUE(parseAll("instance of A\n{\n};\n").empty());
}

TEST(ParseInstances, TextWithoutInstanceOfIsOneInstance) {
  EXPECT_EQ(parseAll("Name = 1;"), (std::vector<ParsedInstance>{{{"Name", "1"}}}));
}

TEST(ParseInstance, WholeEnumerationTextKeepsTheFirstValueOfEachName) {
  EXPECT_EQ(parseOne(kTwoInstances), (ParsedInstance{{"Name", "x"}, {"Size", "10"}}));
}

TEST(ParseInstance, StatementsSplitAtSemicolonsAndTheFirstEquals) {
  EXPECT_EQ(parseOne("Text = \"a;b = c\";"), (ParsedInstance{{"Text", "\"a"}, {"b", "c\""}}));
  EXPECT_EQ(parseOne("Expr = a=b;"), (ParsedInstance{{"Expr", "a=b"}}));
  EXPECT_EQ(parseOne(" = v;"), (ParsedInstance{{"", "v"}}));
  // Entity references are not decoded, and their semicolon cuts the value.
  EXPECT_EQ(parseOne("Amp = a&amp;b;"), (ParsedInstance{{"Amp", "a&amp"}}));
  EXPECT_EQ(parseOne("\t Tabbed\t=\t 5 \t;"), (ParsedInstance{{"Tabbed", "5"}}));
}

TEST(ParseInstance, QuotesAreRemovedOnlyAsAPair) {
  EXPECT_EQ(parseOne("A = \"open;B = \"\";C = \";D = x\";"),
            (ParsedInstance{{"A", "\"open"}, {"B", ""}, {"C", ""}, {"D", "x\""}}));
}

TEST(ParseInstance, CarriageReturnsStayInUnterminatedStatements) {
  EXPECT_EQ(parseOne("instance of A\r\n{\r\n Name = \"x\";\r\n Size = 10\r\n Tag = \"t\"\r\n};\r\n"),
            (ParsedInstance{{"Name", "x"}, {"Size", "10\r"}, {"Tag", "\"t\"\r"}}));
}

TEST(ParseInstance, EmbeddedObjectSpansTokensAndNamesItsInstance) {
  const std::string text =
      "Obj = QRVCIMEMBEDDEDOBJBEGIN\"EMBEDDEDOBJECT of B\n{\n P = 1\n}\nQRVCIMEMBEDDEDOBJEND\nAfter = 2;";
  EXPECT_EQ(parseOne(text), (ParsedInstance{{"Obj", "instance of B{ P = 1}"}, {"After", "2"}}));
}

TEST(ParseInstance, EmbeddedObjectEdgeCases) {
  // Semicolons inside the object are separators and are not put back;
  // text after the end marker is ignored.
  EXPECT_EQ(parseOne("O = QRVCIMEMBEDDEDOBJBEGIN EMBEDDEDOBJECT of B { P = 1; Q = 2 } QRVCIMEMBEDDEDOBJEND x = 1;"),
            (ParsedInstance{{"O", "instance of B { P = 1Q = 2 }"}}));
  // A begin marker without "=" before it is ignored.
  EXPECT_EQ(parseOne("QRVCIMEMBEDDEDOBJBEGIN x;N = 1;"), (ParsedInstance{{"N", "1"}}));
  // A new begin abandons the unfinished object; an unfinished one at the end is dropped.
  EXPECT_EQ(parseOne("A = QRVCIMEMBEDDEDOBJBEGIN a;B = QRVCIMEMBEDDEDOBJBEGIN b QRVCIMEMBEDDEDOBJEND;"
                     "C = QRVCIMEMBEDDEDOBJBEGIN c;"),
            (ParsedInstance{{"B", "b"}}));
  // An object that begins and ends in one token is complete there.
  EXPECT_EQ(parseOne("O = QRVCIMEMBEDDEDOBJBEGIN \"EMBEDDEDOBJECT of B {} QRVCIMEMBEDDEDOBJEND\nN = 1;"),
            (ParsedInstance{{"O", "instance of B {}"}, {"N", "1"}}));
  // An end marker outside an object is a plain token.
  EXPECT_EQ(parseOne("QRVCIMEMBEDDEDOBJEND = 3;"), (ParsedInstance{{"QRVCIMEMBEDDEDOBJEND", "3"}}));
}

}  // namespace
}  // namespace qrv::cim
