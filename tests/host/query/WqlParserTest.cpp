// The WQL parser's shape of a query, and its bounds: long inputs take one
// pass and leave the stack alone, nesting stops at its limit.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <variant>

#include "host/query/QueryError.h"
#include "host/query/WqlParser.h"

namespace wmihost {
namespace {

std::string errorOf(const std::string& wql) {
  try {
    parseWqlStatement(wql);
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

AssociationQuery association(const std::string& wql) { return std::get<AssociationQuery>(parseWqlStatement(wql)); }

TEST(WqlParser, ReadsAssociatorsOfWithEveryKeyword) {
  const AssociationQuery query = association(
      "associators of {Korvex_Disk.DeviceID=\"sda\"} where AssocClass = Korvex_DiskPartitionOnDisk "
      "resultclass=Korvex_DiskPartition ROLE = Disk ResultRole=Partition RequiredQualifier = dynamic "
      "RequiredAssocQualifier=association KeysOnly");
  EXPECT_EQ(query.kind, AssociationQuery::Kind::Associators);
  EXPECT_EQ(query.path, "Korvex_Disk.DeviceID=\"sda\"");
  EXPECT_EQ(query.pathPosition, 17u);
  ASSERT_TRUE(query.assocClass && query.resultClass && query.role && query.resultRole && query.requiredQualifier &&
              query.requiredAssocQualifier);
  EXPECT_EQ(query.assocClass->text, "Korvex_DiskPartitionOnDisk");
  EXPECT_EQ(query.resultClass->text, "Korvex_DiskPartition");
  EXPECT_EQ(query.resultClass->position, 103u);
  EXPECT_EQ(query.role->text, "Disk");
  EXPECT_EQ(query.resultRole->text, "Partition");
  EXPECT_EQ(query.requiredQualifier->text, "dynamic");
  EXPECT_EQ(query.requiredAssocQualifier->text, "association");
  EXPECT_TRUE(query.keysOnly);
  EXPECT_FALSE(query.classDefsOnly || query.schemaOnly);
}

TEST(WqlParser, ReadsReferencesOfAndPathsWithBracesInQuotes) {
  const AssociationQuery plain = association("REFERENCES OF {Q=@}");
  EXPECT_EQ(plain.kind, AssociationQuery::Kind::References);
  EXPECT_EQ(plain.path, "Q=@");
  EXPECT_FALSE(plain.role || plain.resultClass || plain.classDefsOnly);

  const AssociationQuery quoted = association("References Of {Q.Name=\"a}b\\\"}\",Id=1}WHERE ClassDefsOnly "
                                              "ResultClass = Link Role = Name RequiredQualifier = Tag");
  EXPECT_EQ(quoted.path, "Q.Name=\"a}b\\\"}\",Id=1");
  EXPECT_TRUE(quoted.classDefsOnly);
  EXPECT_EQ(quoted.role->text, "Name");
  EXPECT_TRUE(association("REFERENCES OF {Q} WHERE SchemaOnly").schemaOnly);
}

TEST(WqlParser, MalformedAssociationStatementsSayWhereAndWhy) {
  const std::pair<const char*, const char*> cases[] = {
      {"ASSOCIATORS {X}", "at position 14: expected ASSOCIATORS OF, found an object path"},
      {"ASSOCIATORS OF X", "at position 16: expected an object path in braces after ASSOCIATORS OF, found 'X'"},
      {"ASSOCIATORS OF {X.A=\"}\"", "at position 16: the object path has no closing }"},
      {"ASSOCIATORS OF {X} junk", "at position 20: expected WHERE or the end of the query, found 'junk'"},
      {"ASSOCIATORS OF {X} WHERE",
       "at position 25: expected a keyword of ASSOCIATORS OF (AssocClass, ClassDefsOnly, KeysOnly, "
       "RequiredAssocQualifier, RequiredQualifier, ResultClass, ResultRole, Role, SchemaOnly), found the end of the "
       "query"},
      {"ASSOCIATORS OF {X} WHERE ResultClass Y", "at position 38: expected '=' after ResultClass, found 'Y'"},
      {"ASSOCIATORS OF {X} WHERE ResultClass = 'Y'",
       "at position 40: expected a class name after ResultClass =, found a string"},
      {"ASSOCIATORS OF {X} WHERE Role = A, ResultRole = B",
       "at position 34: expected a keyword of ASSOCIATORS OF (AssocClass, ClassDefsOnly, KeysOnly, "
       "RequiredAssocQualifier, RequiredQualifier, ResultClass, ResultRole, Role, SchemaOnly), found ','"},
      {"ASSOCIATORS OF {X} WHERE Role = A role = B", "at position 35: role is given twice"},
      {"ASSOCIATORS OF {X} WHERE KeysOnly KEYSONLY", "at position 35: KEYSONLY is given twice"},
      {"REFERENCES OF {X} WHERE AssocClass = A",
       "at position 25: expected a keyword of REFERENCES OF (ClassDefsOnly, KeysOnly, RequiredQualifier, ResultClass, "
       "Role, SchemaOnly), found 'AssocClass'"},
      {"REFERENCES OF {X} WHERE ResultRole = A",
       "at position 25: expected a keyword of REFERENCES OF (ClassDefsOnly, KeysOnly, RequiredQualifier, ResultClass, "
       "Role, SchemaOnly), found 'ResultRole'"},
      {"ASSOCIATORS OF {X} WHERE ResultClass = A ClassDefsOnly",
       "at position 42: ClassDefsOnly and ResultClass exclude each other"},
      {"REFERENCES OF {X} WHERE KeysOnly ClassDefsOnly",
       "at position 34: ClassDefsOnly and KeysOnly exclude each other"},
      {"ASSOCIATORS OF {X} WHERE ClassDefsOnly SchemaOnly",
       "at position 40: ClassDefsOnly and SchemaOnly exclude each other"},
      {"REFERENCES OF {X} WHERE SchemaOnly KeysOnly", "at position 36: KeysOnly and SchemaOnly exclude each other"},
      {"SELECT * FROM {X}", "at position 16: expected a class name, found an object path"},
  };
  for (const auto& [wql, error] : cases) EXPECT_EQ(errorOf(wql), error) << wql;
  EXPECT_EQ(errorOf("REFERENCES OF {X} WHERE ResultClass = A ClassDefsOnly"), "accepted");
}

}  // namespace
}  // namespace wmihost
