#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include "provider/request/result/ResultParser.h"

namespace qrv::cim {
namespace {

using Instances = std::vector<ParsedInstance>;

Instances parseAll(const std::string& text) {
  Instances instances;
  EXPECT_EQ(parseResultInstances(text, instances), Ok);
  return instances;
}

ParsedInstance parseOne(const std::string& text) {
  ParsedInstance instance;
  EXPECT_EQ(parseResultInstance(text, instance), Ok);
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
  EXPECT_EQ(parseOne("Expr = a=b;\t = v \t;"), (ParsedInstance{{"Expr", "a=b"}, {"", "v"}}));
  EXPECT_EQ(parseOne("Amp = a&amp;b;"), (ParsedInstance{{"Amp", "a&amp"}}));  // no decoding
  EXPECT_EQ(parseOne("A = \"\";B = \"\"\";C = \"x\" \t;D = \"\"y\"\";"),
            (ParsedInstance{{"A", ""}, {"B", "\""}, {"C", "x"}, {"D", "\"y\""}}));
}

TEST(ParseInstance, ManyPropertiesComeInNameOrderWithTheFirstValueOfEachName) {
  std::string text;
  for (int i = 40; i > 0; --i) text += "P" + std::to_string(i % 25) + " = " + std::to_string(i) + ";\n";
  ParsedInstance instance{{"P3", "held"}};
  EXPECT_EQ(parseResultInstance(text, instance), Ok);
  ASSERT_EQ(instance.size(), 25u);
  EXPECT_EQ(instance.at("P3"), "held");
  EXPECT_EQ(instance.at("P15"), "40");  // not 15
  EXPECT_EQ(instance.at("P0"), "25");
  EXPECT_EQ(instance.at("P24"), "24");
  EXPECT_TRUE(std::is_sorted(instance.begin(), instance.end()));
  EXPECT_THROW(instance.at("P25"), std::out_of_range);
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

TEST(ParseInstance, QuotedValuesRunToTheQuoteBeforeTheirSeparator) {
  EXPECT_EQ(parseOne("Text = \"a;b = c\";"), (ParsedInstance{{"Text", "a;b = c"}}));
  EXPECT_EQ(parseOne("Version = \"1.0; beta\";\nNote = \"two\nlines\" ;\nSize = 3;"),
            (ParsedInstance{{"Version", "1.0; beta"}, {"Note", "two\nlines"}, {"Size", "3"}}));
  // What a stylesheet with method="xml" writes: its entities end in ";".
  EXPECT_EQ(parseOne("Name = \"a&lt;b&amp;c\";"), (ParsedInstance{{"Name", "a&lt;b&amp;c"}}));
  // Quotes inside the value that no separator follows are data; so are
  // markers and XML declarations.
  EXPECT_EQ(parseOne("Ref = \"C.K=\"a;b\",L=\"c\"\";"), (ParsedInstance{{"Ref", "C.K=\"a;b\",L=\"c\""}}));
  EXPECT_EQ(parseOne("A = \"x;QRVCIMEMBEDDEDOBJBEGIN y;<?xml\";B = 1"),
            (ParsedInstance{{"A", "x;QRVCIMEMBEDDEDOBJBEGIN y;<?xml"}, {"B", "1"}}));
  // The closing quote may stand before blanks, tabs, a carriage return or the end of the text.
  EXPECT_EQ(parseOne("A = \"x;y\" \t\r\nB = \"u;v\""), (ParsedInstance{{"A", "x;y"}, {"B", "u;v"}}));
  // A value cut before its closing quote reaches the next quote that closes, not the one before.
  EXPECT_EQ(parseOne("A = \"open;B = \"\";C = \";D = x\";"),
            (ParsedInstance{{"A", "open;B = \""}, {"C", ";D = x"}}));
}

TEST(ParseInstance, ValuesWithoutAClosingQuoteAreCutAsTheyStand) {
  EXPECT_EQ(parseOne("A = \"x;y\nB = 2;C = \"z"), (ParsedInstance{{"A", "\"x"}, {"B", "2"}, {"C", "\"z"}}));
  EXPECT_EQ(parseOne("A = \";"), (ParsedInstance{{"A", ""}}));
  EXPECT_EQ(parseOne("A = b\"c;d\";"), (ParsedInstance{{"A", "b\"c"}}));  // no opening quote
  // A value closed before its separator keeps today's reading, carriage return included.
  EXPECT_EQ(parseOne("A = \"x\"\r\nB = \"y\"z;\"\n"), (ParsedInstance{{"A", "\"x\"\r"}, {"B", "y\"z;"}}));
}

TEST(ParseInstances, InstanceOfInsideAQuotedValueIsData) {
  const std::string injected =
      "instance of A\n{\nName = \"x;\ninstance of A\n{\nName = \"evil\";\nSize = 1;\n};\n";
  EXPECT_EQ(parseAll(injected), (Instances{{{"Name", "x;\ninstance of A\n{\nName = \"evil"}, {"Size", "1"}}}));
  EXPECT_EQ(parseAll("instance of A\n{\nNote = \"see instance of B;\";\n};\ninstance of A\n{\nNote = 2;\n};"),
            (Instances{{{"Note", "see instance of B;"}}, {{"Note", "2"}}}));
  // Outside quoted values the split stays where it was, even mid-statement.
  EXPECT_EQ(parseAll("A = \"x\"instance of B\nC = 1"), (Instances{{{"A", "x"}}, {{"C", "1"}}}));
  // Within an embedded object a quoted value keeps its separators.
  EXPECT_EQ(parseAll("O = QRVCIMEMBEDDEDOBJBEGIN EMBEDDEDOBJECT of B {\nP = \"a;b\";\n} QRVCIMEMBEDDEDOBJEND;"),
            (Instances{{{"O", "instance of B {P = \"a;b\"}"}}}));
}

// Text in a quoted value is data even where it spells an XML declaration or
// an embedded-object marker: a package summary or a disk label cannot add
// an instance or replace another property's value.
TEST(ParseInstances, MarkersInsideAQuotedValueAreData) {
  EXPECT_EQ(parseAll("instance of S\n{\nSummary = \"<?xml instance of S; Name = openssl; Version = 3.0.99\";\n"
                     "Name = \"bash\";\n};\n"),
            (Instances{{{"Summary", "<?xml instance of S; Name = openssl; Version = 3.0.99"}, {"Name", "bash"}}}));
  EXPECT_EQ(parseOne("Label = \"<?xml;UUID=forged;MountPoint=/forged\";\nUUID = \"real\";\nMountPoint = \"/\";"),
            (ParsedInstance{{"Label", "<?xml;UUID=forged;MountPoint=/forged"}, {"UUID", "real"}, {"MountPoint", "/"}}));
  EXPECT_EQ(parseOne("Label = \"<?xml\";\nN = 1;"), (ParsedInstance{{"Label", "<?xml"}, {"N", "1"}}));
  EXPECT_EQ(parseOne("Label = \"QRVCIMEMBEDDEDOBJBEGIN x;N = forged\";\nN = 1;"),
            (ParsedInstance{{"Label", "QRVCIMEMBEDDEDOBJBEGIN x;N = forged"}, {"N", "1"}}));
  // Inside an embedded object an end marker in a quoted value does not end it.
  EXPECT_EQ(parseOne("G = QRVCIMEMBEDDEDOBJBEGIN\"EMBEDDEDOBJECT of B {;L = \"x QRVCIMEMBEDDEDOBJEND\";} "
                     "QRVCIMEMBEDDEDOBJEND;N = 1;"),
            (ParsedInstance{{"G", "instance of B {L = \"x QRVCIMEMBEDDEDOBJEND\"}"}, {"N", "1"}}));
  // Outside quoted values they keep their meaning.
  EXPECT_EQ(parseOne("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\nN = 1;"), (ParsedInstance{{"N", "1"}}));
}

TEST(ParseInstances, LongTextsParseInLinearTime) {
  // Unclosed quoted values, and values whose closing quote lies far ahead:
  // each would send a naive scanner to the end of the text again.
  std::string unclosed;
  std::string farClosed = "Long = \"";
  for (int i = 0; i < 200000; ++i) {
    unclosed += "instance of A\nN = \"x;\n";
    farClosed += "a;instance of A\nB = \"";
  }
  farClosed += "\";";
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(parseAll(unclosed).size(), 200000u);
  EXPECT_EQ(parseAll(farClosed).size(), 1u);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
}

}  // namespace
}  // namespace qrv::cim
