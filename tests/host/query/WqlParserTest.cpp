// The WQL parser's shape of a query, and its bounds: long inputs take one
// pass and leave the stack alone, nesting stops at its limit.

#include <gtest/gtest.h>

#include <string>

#include "host/query/QueryError.h"
#include "host/query/WqlParser.h"

namespace wmihost {
namespace {

std::string errorOf(const std::string& wql) {
  try {
    parseWql(wql);
  } catch (const QueryError& error) {
    return error.what();
  }
  return "accepted";
}

std::string repeated(const std::string& text, std::size_t times) {
  std::string all;
  for (std::size_t i = 0; i < times; ++i) all += text;
  return all;
}

TEST(WqlParser, ReadsTheListTheClassAndAFlatChainOfConditions) {
  const WqlQuery query = parseWql("select Name,Size from Korvex_Disk where a = 1 and b = -2 and not c is null or d like 'x'");
  ASSERT_EQ(query.properties.size(), 2u);
  EXPECT_EQ(query.properties[1].text, "Size");
  EXPECT_EQ(query.properties[1].position, 13u);
  EXPECT_EQ(query.className.text, "Korvex_Disk");
  ASSERT_TRUE(query.hasCondition);
  const WqlCondition& top = query.condition;
  ASSERT_EQ(top.kind, WqlCondition::Kind::Or);
  ASSERT_EQ(top.operands.size(), 2u);
  const WqlCondition& both = top.operands[0];
  ASSERT_EQ(both.kind, WqlCondition::Kind::And);
  ASSERT_EQ(both.operands.size(), 3u);
  EXPECT_TRUE(both.operands[1].value.integer.negative);
  EXPECT_EQ(both.operands[1].value.integer.magnitude, 2u);
  EXPECT_EQ(both.operands[2].kind, WqlCondition::Kind::Not);
  EXPECT_EQ(both.operands[2].operands.at(0).kind, WqlCondition::Kind::IsNull);
  EXPECT_EQ(top.operands[1].op, WqlOperator::Like);
}

TEST(WqlParser, AValueOnTheLeftMirrorsTheOperator) {
  const WqlQuery query = parseWql("SELECT * FROM C WHERE 5 < Size");
  EXPECT_EQ(query.condition.property.text, "Size");
  EXPECT_EQ(query.condition.op, WqlOperator::Greater);
  EXPECT_EQ(query.condition.value.integer.magnitude, 5u);
}

TEST(WqlParser, LongChainsStayFlatAndNestingIsBounded) {
  // A hundred thousand terms: a nested tree would overflow the stack when
  // it is built, bound or freed.
  const std::string chain = "SELECT * FROM C WHERE a = 1" + repeated(" OR a = 1 AND b = 2", 100000);
  const WqlQuery query = parseWql(chain);
  EXPECT_EQ(query.condition.operands.size(), 100001u);

  const auto nested = [](std::size_t depth) {
    return "SELECT * FROM C WHERE " + repeated("(", depth) + "a = 1" + repeated(")", depth);
  };
  EXPECT_EQ(errorOf(nested(kMaxNesting)), "accepted");
  EXPECT_EQ(errorOf(nested(kMaxNesting + 1)), "at position 87: parentheses and NOT nest more than 64 deep");
  EXPECT_EQ(errorOf("SELECT * FROM C WHERE " + repeated("NOT ", kMaxNesting + 1) + "a = 1"),
            "at position 279: parentheses and NOT nest more than 64 deep");
  EXPECT_EQ(errorOf(nested(100000)), "at position 87: parentheses and NOT nest more than 64 deep");
}

}  // namespace
}  // namespace wmihost
