#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "provider/request/RequestBase.h"

namespace qrv::cim {
namespace {

using Instances = std::vector<ParsedInstance>;

Instances parseAll(const std::string& text) {
  Instances instances;
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

TEST(ParseInstances, OneInstancePerPieceThatHoldsAStatement) {
  EXPECT_EQ(parseAll(kTwoInstances), (Instances{{{"Name", "x"}, {"Size", "10"}}, {{"Name", "y"}}}));
  EXPECT_EQ(parseAll("<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + kTwoInstances).size(), 2u);
  EXPECT_EQ(parseAll("Name = 1;"), (Instances{{{"Name", "1"}}}));
  EXPECT_TRUE(parseAll("").empty());
  EXPECT_TRUE(parseAll("instance of A\n{\n};\n").empty());
}

TEST(ParseInstance, StatementRules) {
  EXPECT_EQ(parseOne(kTwoInstances), (ParsedInstance{{"Name", "x"}, {"Size", "10"}}));  // first value wins
  EXPECT_EQ(parseOne("Text = \"a;b = c\";"), (ParsedInstance{{"Text", "\"a"}, {"b", "c\""}}));
  EXPECT_EQ(parseOne("Expr = a=b;\t = v \t;"), (ParsedInstance{{"Expr", "a=b"}, {"", "v"}}));
  EXPECT_EQ(parseOne("Amp = a&amp;b;"), (ParsedInstance{{"Amp", "a&amp"}}));  // no decoding
  EXPECT_EQ(parseOne("A = \"open;B = \"\";C = \";D = x\";"),
            (ParsedInstance{{"A", "\"open"}, {"B", ""}, {"C", ""}, {"D", "x\""}}));
}

TEST(ParseInstance, CarriageReturnsStayInUnterminatedStatements) {
  EXPECT_EQ(parseOne("instance of A\r\n{\r\n Name = \"x\";\r\n Size = 10\r\n Tag = \"t\"\r\n};\r\n"),
            (ParsedInstance{{"Name", "x"}, {"Size", "10\r"}, {"Tag", "\"t\"\r"}}));
}

TEST(ParseInstance, EmbeddedObjects) {
  EXPECT_EQ(parseOne("Obj = QRVCIMEMBEDDEDOBJBEGIN\"EMBEDDEDOBJECT of B\n{\n P = 1\n}\nQRVCIMEMBEDDEDOBJEND\nN = 2;"),
            (ParsedInstance{{"Obj", "instance of B{ P = 1}"}, {"N", "2"}}));
  // Separators inside the object are not put back; text after the end marker is ignored.
  EXPECT_EQ(parseOne("O = QRVCIMEMBEDDEDOBJBEGIN EMBEDDEDOBJECT of B { P = 1; Q = 2 } QRVCIMEMBEDDEDOBJEND x = 1;"),
            (ParsedInstance{{"O", "instance of B { P = 1Q = 2 }"}}));
  // One-token objects complete at once instead of swallowing later statements.
  EXPECT_EQ(parseOne("O = QRVCIMEMBEDDEDOBJBEGIN \"EMBEDDEDOBJECT of B {} QRVCIMEMBEDDEDOBJEND\nN = 1;"),
            (ParsedInstance{{"O", "instance of B {}"}, {"N", "1"}}));
  // A marker without a name is ignored; a new begin or the end of the piece drops an open object.
  EXPECT_EQ(parseOne("QRVCIMEMBEDDEDOBJBEGIN x;A = QRVCIMEMBEDDEDOBJBEGIN a;N = 1;B = QRVCIMEMBEDDEDOBJBEGIN b"),
            ParsedInstance{});
  EXPECT_EQ(parseOne("QRVCIMEMBEDDEDOBJEND = 3;"), (ParsedInstance{{"QRVCIMEMBEDDEDOBJEND", "3"}}));
}

}  // namespace
}  // namespace qrv::cim
