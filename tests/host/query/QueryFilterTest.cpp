// WQL over known instances: which instances each query picks, for every
// operator and CIM type, and the error of each malformed or unsuitable query.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/com/TextConversion.h"
#include "host/cim/HostTestUtil.h"
#include "host/query/QueryError.h"
#include "host/query/QueryFilter.h"
#include "host/query/WqlParser.h"

namespace wmihost {
namespace {

using qrv::com::ComPtr;
using qrv::com::toUtf8;
using qrv::com::Variant;
using test::putText;

constexpr std::string_view kClass = R"(
  class Q_Item {
    [key] string Id; string Name; sint8 S8; uint8 U8; sint16 S16; uint16 U16; sint32 S32; uint32 U32;
    sint64 S64; uint64 U64; real32 R32; real64 R64; boolean Flag; datetime When; datetime Span; char16 Letter;
    Q_Item ref Link; string Tags[]; object Extra;
  };)";

// Four instances. The times of When, in UTC: a 12:20, b 13:00, c 12:40, so
// that their text order (c, b, a) is not their time order (a, c, b). Letter
// is x in a and Y in b (char16 takes numbers from text). d has
// nothing but its key.
const std::vector<std::vector<std::pair<std::u16string, std::u16string>>> kInstances{
    {{u"Id", u"a"},
     {u"Name", u"Alpha disk"},
     {u"S8", u"-5"},
     {u"U8", u"200"},
     {u"S16", u"-300"},
     {u"U16", u"60000"},
     {u"S32", u"-70000"},
     {u"U32", u"4000000000"},
     {u"S64", u"-9000000000000000000"},
     {u"U64", u"18000000000000000000"},
     {u"R32", u"0.25"},
     {u"R64", u"1.5"},
     {u"Flag", u"TRUE"},
     {u"When", u"20251208132000.000000+060"},
     {u"Span", u"00000001000000.000000:000"},
     {u"Letter", u"120"},
     {u"Link", u"Q_Item.Id=\"b\""}},
    {{u"Id", u"b"},
     {u"Name", u"beta"},
     {u"S8", u"7"},
     {u"U8", u"1"},
     {u"S16", u"300"},
     {u"U16", u"5"},
     {u"S32", u"70000"},
     {u"U32", u"10"},
     {u"S64", u"5"},
     {u"U64", u"5"},
     {u"R32", u"3"},
     {u"R64", u"-2"},
     {u"Flag", u"FALSE"},
     {u"When", u"20251208130000.000000+000"},
     {u"Span", u"00000000230000.000000:000"},
     {u"Letter", u"89"},
     {u"Link", u"Q_Item.Id=\"a\""}},
    {{u"Id", u"c"}, {u"Name", u"Gamma [x]"}, {u"S32", u"0"}, {u"When", u"20251208121000.000000-030"}},
    {{u"Id", u"d"}},
};

class QueryFilterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    repository_ = test::repositoryOf(kClass);
    const auto classObject = test::classOf(*repository_, "Q_Item");
    for (const auto& values : kInstances) {
      auto instance = test::spawn(classObject.get());
      for (const auto& [name, text] : values) ASSERT_EQ(putText(instance.get(), name, text), S_OK) << toUtf8(name);
      Variant tags;
      if (values.size() > 4) {
        tags.put()->vt = VT_ARRAY | VT_BSTR;
        tags.get()->parray = SafeArrayCreateVector(VT_BSTR, 0, 0);
        ASSERT_EQ(instance->Put(u"Tags", 0, tags.get(), 0), S_OK);
      }
      instances_.push_back(instance);
    }
  }

  std::vector<ComPtr<IWbemClassObject>> run(const std::string& wql) const {
    const QueryFilter filter(parseWql(wql), repository_->find("root\\cimv2", "Q_Item"));
    return filter.apply(instances_);
  }

  // The keys of the instances the query picks, in order: "a,c".
  std::string picked(const std::string& wql) const {
    std::string keys;
    for (const auto& object : run(wql)) keys += (keys.empty() ? "" : ",") + toUtf8(test::textOf(test::get(object.get(), u"Id")));
    return keys;
  }

  // The message of the query's error; "accepted" when it has none.
  std::string errorOf(const std::string& wql) const {
    try {
      run(wql);
    } catch (const QueryError& error) {
      return error.what();
    }
    return "accepted";
  }

  std::shared_ptr<ClassRepository> repository_;
  std::vector<ComPtr<IWbemClassObject>> instances_;
};

struct Case {
  const char* where;
  const char* picked;
};

TEST_F(QueryFilterTest, EachConditionPicksItsInstances) {
  const Case cases[] = {
      // No condition, and keywords and names in any case.
      {"", "a,b,c,d"},
      {"|select id from q_item where NAME like 'BETA'", "b"},
      // Integers: every width, signs, the unsigned 32-bit bit pattern, the
      // range beyond 63 bits, hexadecimal, quoted and real values.
      {"S8 < 0", "a"},
      {"U8 >= 200", "a"},
      {"U8 = 0x01", "b"},
      {"S16 <> 300", "a"},
      {"U16 = 60000", "a"},
      {"S32 <= 0", "a,c"},
      {"S32 = '70000'", "b"},
      {"S32 > -70000.5", "a,b,c"},
      {"U32 > 3000000000", "a"},
      {"S64 < -1", "a"},
      {"S64 > -9000000000000000001", "a,b"},
      {"U64 > 9223372036854775807", "a"},
      {"U64 = 18000000000000000000", "a"},
      {"U64 != 5", "a"},
      // Reals.
      {"R64 < 0", "b"},
      {"R32 = 0.25", "a"},
      {"R64 >= 1.5", "a"},
      {"R32 > 1", "b"},
      // Booleans.
      {"Flag = TRUE", "a"},
      {"Flag = false", "b"},
      {"Flag <> TRUE", "b"},
      {"Flag = 1", "a"},
      {"Flag < TRUE", "b"},
      // Strings without regard to case; references and char16 as strings.
      {"Name = 'ALPHA DISK'", "a"},
      {"Name = \"beta\"", "b"},
      {"Name < 'b'", "a"},
      {"Name > 'BETA'", "c"},
      {"Name <> 'beta'", "a,c"},
      {"Name = 'it\\'s'", ""},
      {"Letter = 'y'", "b"},
      {"Letter >= 'X'", "a,b"},
      {"Link = 'q_item.id=\"b\"'", "a"},
      // Date-times in time order across offsets; intervals by length.
      {"When < '20251208124500.000000+000'", "a,c"},
      {"When > '20251208123000.000000+000'", "b,c"},
      {"When = '20251208142000.000000+120'", "a"},
      {"Span > '00000000235959.000000:000'", "a"},
      {"Span < '20251208124500.000000+000'", ""},
      // Dates in WQL's other forms, each its midnight in UTC.
      {"When > 'December 8, 2025' AND When < '12/9/2025'", "a,b,c"},
      {"When < '2025-12-08' OR When >= '8 Dec 25 '", "a,b,c"},
      {"When >= 'DEC 2025' AND When < '20251209'", "a,b,c"},
      {"When > '2025.12.09' OR When < '1932 January 21'", ""},
      {"Span > '2000-01-01'", ""},
      // LIKE with %, _, sets, ranges and negated sets.
      {"Name LIKE 'a%'", "a"},
      {"Name LIKE '_ETA'", "b"},
      {"Name LIKE '%[x]%'", "c"},
      {"Name LIKE '%[[]x]'", "c"},
      {"Name LIKE '[a-b]%'", "a,b"},
      {"Name LIKE '[^a-b]%'", "c"},
      {"Name NOT LIKE '%disk'", "b,c"},
      {"When LIKE '2025120812%'", "c"},
      {"Link LIKE '%\"a\"'", "b"},
      // NULL tests.
      {"Name IS NULL", "d"},
      {"Name IS NOT NULL", "a,b,c"},
      {"Name = NULL", "d"},
      {"Name != NULL", "a,b,c"},
      {"Tags IS NOT NULL", "a,b"},
      {"Extra IS NULL", "a,b,c,d"},
      // Values on the left.
      {"5 < S32", "b"},
      {"'beta' = Name", "b"},
      // AND, OR, NOT and parentheses, with three-valued logic for unset values.
      {"S32 > 0 OR Flag = TRUE", "a,b"},
      {"(S32 < 0 OR S32 > 0) AND Name LIKE '%a%'", "a,b"},
      {"NOT (Name IS NULL)", "a,b,c"},
      {"NOT NOT Flag = TRUE", "a"},
      {"NOT Flag = TRUE", "b"},
      {"NOT (S8 > 0)", "a"},
      {"S32 = 0 OR NOT Flag = FALSE", "a,c"},
      {"S32 = 0 AND NOT Flag = FALSE", ""},
      {"Id = 'a' OR Id = 'b' OR Id = 'd'", "a,b,d"},
      {"Id >= 'b' AND Id <= 'c' AND Name IS NOT NULL", "b,c"},
      // System properties, by their values for each instance.
      {"__CLASS = 'q_item'", "a,b,c,d"},
      {"__Class <> 'Q_Item' OR __CLASS LIKE 'Q[_]%'", "a,b,c,d"},
      {"__CLASS = 'Other'", ""},
      {"__RELPATH = 'Q_Item.Id=\"b\"'", "b"},
      {"__PATH LIKE '\\\\\\\\%\\\\root\\\\cimv2:Q_Item.Id=\"c\"'", "c"},
      {"__NAMESPACE LIKE 'ROOT_CIMV2' AND __SERVER IS NOT NULL AND Name LIKE '%m%'", "c"},
      {"__GENUS = 2 AND __PROPERTY_COUNT = 19 AND __DYNASTY = 'Q_Item' AND Id = 'd'", "d"},
      {"__SUPERCLASS IS NULL AND __DERIVATION IS NOT NULL AND Id < 'b'", "a"},
  };
  for (const Case& c : cases) {
    const std::string where = c.where;
    const std::string wql = where.empty()            ? "SELECT * FROM Q_Item"
                            : where.front() == '|' ? where.substr(1)
                                                   : "SELECT * FROM Q_Item WHERE " + where;
    EXPECT_EQ(picked(wql), c.picked) << wql;
  }
}

TEST_F(QueryFilterTest, APropertyListKeepsTheListedPropertiesAndTheKeys) {
  const auto objects = run("SELECT name, U8 FROM Q_Item WHERE U8 > 100");
  ASSERT_EQ(objects.size(), 1u);
  const WbemObject* selected = WbemObject::from(objects[0].get());
  std::vector<std::string> names;
  for (const auto& property : selected->definition().properties) names.push_back(property.name);
  EXPECT_EQ(names, (std::vector<std::string>{"Id", "Name", "U8"}));
  EXPECT_EQ(test::textOf(test::get(objects[0].get(), u"Name")), u"Alpha disk");
  EXPECT_EQ(test::get(objects[0].get(), u"U8")->bVal, 200);
  EXPECT_EQ(test::get(objects[0].get(), u"__RELPATH").get()->vt, VT_BSTR);
  // SELECT * hands on the delivered instances themselves.
  EXPECT_EQ(run("SELECT * FROM Q_Item WHERE Id = 'b'").at(0).get(), instances_[1].get());
}

TEST_F(QueryFilterTest, APropertyListMayNameSystemPropertiesToShowThem) {
  const QueryFilter filter(parseWql("SELECT __relpath, Name, __CLASS, __Relpath FROM Q_Item"),
                           repository_->find("root\\cimv2", "Q_Item"));
  EXPECT_EQ(filter.systemProperties(), (std::vector<std::string_view>{"__CLASS", "__RELPATH"}));
  const auto objects = filter.apply(instances_);
  ASSERT_EQ(objects.size(), 4u);
  EXPECT_EQ(WbemObject::from(objects[0].get())->definition().properties.size(), 2u);  // Id and Name
  EXPECT_EQ(test::textOf(test::get(objects[1].get(), u"__RELPATH")), u"Q_Item.Id=\"b\"");

  const auto keysOnly = run("SELECT __PATH FROM Q_Item WHERE Id = 'c'");
  ASSERT_EQ(keysOnly.size(), 1u);
  EXPECT_EQ(WbemObject::from(keysOnly[0].get())->definition().properties.size(), 1u);
  EXPECT_TRUE(QueryFilter(parseWql("SELECT * FROM Q_Item"), repository_->find("root\\cimv2", "Q_Item"))
                  .systemProperties()
                  .empty());
}

TEST_F(QueryFilterTest, MalformedAndUnsuitableQueriesSayWhereAndWhy) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "at position 1: a query starts with SELECT, ASSOCIATORS OF or REFERENCES OF, found the end of the query"},
      {"DELETE FROM Q_Item",
       "at position 1: a query starts with SELECT, ASSOCIATORS OF or REFERENCES OF, found 'DELETE'"},
      {"SELECT FROM Q_Item", "at position 8: expected a property name or *, found 'FROM'"},
      {"SELECT Id, FROM Q_Item", "at position 12: expected a property name or *, found 'FROM'"},
      {"SELECT * Q_Item", "at position 10: expected FROM, found 'Q_Item'"},
      {"SELECT * FROM", "at position 14: expected a class name, found the end of the query"},
      {"SELECT * FROM Q_Item WHERE", "at position 27: expected a property name, NOT or '(', found the end of the query"},
      {"SELECT * FROM Q_Item WHERE Name = 'x", "at position 35: the string has no closing quote"},
      {"SELECT * FROM Q_Item WHERE (Name = 'x'", "at position 39: expected ')', found the end of the query"},
      {"SELECT * FROM Q_Item WHERE Name == 'x'", "at position 34: expected a value, found '='"},
      {"SELECT * FROM Q_Item WHERE Name # 'x'", "at position 33: unexpected character '#'"},
      {"SELECT * FROM Q_Item WHERE Name 'x'",
       "at position 33: expected a comparison operator, IS or LIKE after Name, found a string"},
      {"SELECT * FROM Q_Item WHERE Name IS 'x'", "at position 36: expected NULL after IS, found a string"},
      {"SELECT * FROM Q_Item WHERE Name NOT 'x'", "at position 37: expected LIKE after NOT, found a string"},
      {"SELECT * FROM Q_Item WHERE Name LIKE 5", "at position 38: LIKE needs a string pattern, found '5'"},
      {"SELECT * FROM Q_Item WHERE Name < NULL",
       "at position 35: NULL is compared only with =, <> or !=; or write IS [NOT] NULL"},
      {"SELECT * FROM Q_Item WHERE Name = 'x' Id", "at position 39: unexpected 'Id'"},
      {"SELECT * FROM Q_Item WHERE U8 = 12abc", "at position 33: malformed number"},
      {"SELECT * FROM Q_Item WHERE U8 = 0x", "at position 33: expected hexadecimal digits after 0x"},
      {"SELECT * FROM Q_Item WHERE U64 = 18446744073709551616",
       "at position 34: the number 18446744073709551616 does not fit in 64 bits"},
      {"SELECT * FROM Q_Item WHERE 5 = 6", "at position 32: expected a property name, found '6'"},
      // Names the class lacks.
      {"SELECT * FROM Q_Item WHERE Nmae = 'x'", "at position 28: Nmae is no property of Q_Item"},
      {"SELECT Id, Nmae FROM Q_Item", "at position 12: Nmae is no property of Q_Item"},
      {"SELECT __PATHS FROM Q_Item", "at position 8: __PATHS is no property of Q_Item"},
      {"SELECT * FROM Q_Item WHERE __GENUS = 'two'", "at position 38: __GENUS is a sint32: compare it with a number"},
      {"SELECT * FROM Q_Item WHERE __DERIVATION = 'Q_Item'",
       "at position 43: __DERIVATION is an array of string: only IS NULL and IS NOT NULL apply to it"},
      // Values and operators that do not suit the property's type.
      {"SELECT * FROM Q_Item WHERE U8 = 'abc'", "at position 33: U8 is a uint8: compare it with a number"},
      {"SELECT * FROM Q_Item WHERE U8 = TRUE", "at position 33: U8 is a uint8: compare it with a number"},
      {"SELECT * FROM Q_Item WHERE Name = 5", "at position 35: Name is a string: compare it with a quoted string"},
      {"SELECT * FROM Q_Item WHERE Flag = 'maybe'", "at position 35: Flag is a boolean: compare it with TRUE or FALSE"},
      {"SELECT * FROM Q_Item WHERE When = 'Dec 32, 2025'",
       "at position 35: When is a datetime: compare it with a quoted CIM date-time such as "
       "'20251208132000.000000+060', a date such as 'January 8, 2025' or '2025-01-08', or an interval such as "
       "'00000001020304.000000:000'"},
      {"SELECT * FROM Q_Item WHERE Tags = 't'",
       "at position 35: Tags is an array of string: only IS NULL and IS NOT NULL apply to it"},
      {"SELECT * FROM Q_Item WHERE Extra = 't'",
       "at position 36: Extra is an object: only IS NULL and IS NOT NULL apply to it"},
      {"SELECT * FROM Q_Item WHERE U8 LIKE '1%'",
       "at position 36: U8 is a uint8: compare it with =, <, >, ... but not LIKE"},
      {"SELECT * FROM Q_Item WHERE Name LIKE '[abc'", "at position 38: the LIKE pattern has a [ without its ]"},
      {"SELECT * FROM Q_Item WHERE Name LIKE 'a[]'", "at position 38: the LIKE pattern has an empty set []"},
  };
  for (const auto& [wql, error] : cases) EXPECT_EQ(errorOf(wql), error) << wql;
}

}  // namespace
}  // namespace wmihost
