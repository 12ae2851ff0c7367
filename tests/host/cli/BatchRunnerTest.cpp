// Batches: requests run in order from the command line and from lines, each
// request's output kept apart in MOF and in JSON Lines, a single request
// printed as it always was, and failures reported without stopping the rest.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "host/cim/HostTestUtil.h"
#include "host/cli/BatchRunner.h"

namespace wmihost {

using qrv::com::ComPtr;
namespace {

class BatchRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    repository_ = test::repositoryOf("class Item { [key] string Id; uint32 Size; };");
    const auto itemClass = test::classOf(*repository_, "Item");
    for (const char16_t* id : {u"a", u"b"}) {
      auto item = test::spawn(itemClass.get());
      test::putText(item.get(), u"Id", id);
      items_.push_back(item);
    }
  }

  // A stand-in for the runner: enum gives both items, get the first, query
  // "system" both with two of their system properties to show, query
  // "class" the class object, query "partial" fails with one item
  // delivered, anything else fails with a detail.
  RequestOutcome fake(const Request& request) {
    ran_.push_back(requestText(request));
    if (request.verb == Verb::Enumerate) return {S_OK, items_, {}};
    if (request.verb == Verb::Get) return {S_OK, {items_[0]}, {}};
    if (request.operand == "system") return {S_OK, items_, {}, {"__GENUS", "__RELPATH"}};
    if (request.operand == "class") {
      return {S_OK, {ComPtr<IWbemClassObject>::share(test::classOf(*repository_, "Item").get())}, {}};
    }
    if (request.operand == "partial") return {static_cast<HRESULT>(WBEM_E_FAILED), {items_[1]}, {}};
    return {static_cast<HRESULT>(WBEM_E_INVALID_QUERY), {}, "at position 8: expected FROM"};
  }

  // Runs the requests and then the lines; returns whether all succeeded.
  bool run(OutputFormat format, bool batch, const std::vector<Request>& requests, const std::string& lines = "") {
    RequestOutput output(format, batch, out_, errors_);
    BatchRunner runner([this](const Request& request) { return fake(request); }, output);
    runner.runRequests(requests);
    std::istringstream input(lines);
    if (!lines.empty()) runner.runLines(input, "requests.txt");
    return runner.succeeded();
  }

  std::shared_ptr<ClassRepository> repository_;
  std::vector<ComPtr<IWbemClassObject>> items_;
  std::vector<std::string> ran_;
  std::ostringstream out_;
  std::ostringstream errors_;
};

const std::string kItemA = "\ninstance of Item\n{\n\tId = \"a\";\n};\n";
const std::string kItemB = "\ninstance of Item\n{\n\tId = \"b\";\n};\n";

TEST_F(BatchRunnerTest, ASingleRequestPrintsItsObjectsAndNothingElse) {
  EXPECT_TRUE(run(OutputFormat::Mof, false, {{Verb::Enumerate, "Item"}}));
  EXPECT_EQ(out_.str(), kItemA + kItemB);
  EXPECT_EQ(errors_.str(), "");
}

TEST_F(BatchRunnerTest, ASingleFailedRequestReportsCodeMeaningAndDetail) {
  EXPECT_FALSE(run(OutputFormat::Json, false, {{Verb::Query, "SELECT * Item"}}));
  EXPECT_EQ(out_.str(), "");
  EXPECT_EQ(errors_.str(),
            "wmihost: query SELECT * Item failed: 0x80041017 WBEM_E_INVALID_QUERY\n"
            "  the query is not valid\n"
            "  at position 8: expected FROM\n");
}

TEST_F(BatchRunnerTest, ObjectsDeliveredBeforeAFailureArePrinted) {
  EXPECT_FALSE(run(OutputFormat::Mof, false, {{Verb::Query, "partial"}}));
  EXPECT_EQ(out_.str(), kItemB);
  EXPECT_EQ(errors_.str(), "wmihost: query partial failed: 0x80041001 WBEM_E_FAILED\n  the call failed without saying why\n");
}

TEST_F(BatchRunnerTest, MofBlocksStartWithTheRequestAsAComment) {
  EXPECT_FALSE(run(OutputFormat::Mof, true, {{Verb::Get, "Item.Id=\"a\""}, {Verb::Query, "bad"}},
                   "# one request a line\n\nenum Item\nlist Item\nquery partial\n"));
  EXPECT_EQ(ran_, (std::vector<std::string>{"get Item.Id=\"a\"", "query bad", "enum Item", "query partial"}));
  EXPECT_EQ(out_.str(), "// get Item.Id=\"a\"\n" + kItemA +
                            "\n// query bad\n// failed: 0x80041017 WBEM_E_INVALID_QUERY\n"
                            "\n// enum Item\n" +
                            kItemA + kItemB +
                            "\n// list Item\n// not a request: unknown request 'list': a line holds enum, get or query\n"
                            "\n// query partial\n// failed: 0x80041001 WBEM_E_FAILED\n" +
                            kItemB);
  EXPECT_NE(errors_.str().find("wmihost: requests.txt:4: unknown request 'list'"), std::string::npos);
  EXPECT_NE(errors_.str().find("wmihost: query bad failed: 0x80041017 WBEM_E_INVALID_QUERY\n"), std::string::npos);
}

TEST_F(BatchRunnerTest, JsonGivesOneLinePerRequest) {
  EXPECT_FALSE(run(OutputFormat::Json, true, {{Verb::Enumerate, "Item"}, {Verb::Query, "bad \"q\""}},
                   "get Item.Id=\"a\"\r\nlist\n"));
  EXPECT_EQ(out_.str(),
            "{\"request\": \"enum Item\", \"result\": \"0x00000000 WBEM_S_NO_ERROR\", \"objects\": "
            "[{\"Id\": \"a\", \"Size\": null}, {\"Id\": \"b\", \"Size\": null}]}\n"
            "{\"request\": \"query bad \\\"q\\\"\", \"result\": \"0x80041017 WBEM_E_INVALID_QUERY\", "
            "\"meaning\": \"the query is not valid\", \"detail\": \"at position 8: expected FROM\", \"objects\": []}\n"
            "{\"request\": \"get Item.Id=\\\"a\\\"\", \"result\": \"0x00000000 WBEM_S_NO_ERROR\", \"objects\": "
            "[{\"Id\": \"a\", \"Size\": null}]}\n"
            "{\"request\": \"list\", \"error\": \"unknown request 'list': a line holds enum, get or query\", "
            "\"objects\": []}\n");
}

TEST_F(BatchRunnerTest, SystemPropertiesAskedForComeFirstInEachObject) {
  EXPECT_TRUE(run(OutputFormat::Mof, false, {{Verb::Query, "system"}}));
  EXPECT_EQ(out_.str(),
            "\ninstance of Item\n{\n\t__GENUS = 2;\n\t__RELPATH = \"Item.Id=\\\"a\\\"\";\n\tId = \"a\";\n};\n"
            "\ninstance of Item\n{\n\t__GENUS = 2;\n\t__RELPATH = \"Item.Id=\\\"b\\\"\";\n\tId = \"b\";\n};\n");
  out_.str("");
  EXPECT_TRUE(run(OutputFormat::Json, false, {{Verb::Query, "system"}}));
  EXPECT_EQ(out_.str(),
            "[\n  {\"__GENUS\": 2, \"__RELPATH\": \"Item.Id=\\\"a\\\"\", \"Id\": \"a\", \"Size\": null},\n"
            "  {\"__GENUS\": 2, \"__RELPATH\": \"Item.Id=\\\"b\\\"\", \"Id\": \"b\", \"Size\": null}\n]\n");
  out_.str("");
  EXPECT_TRUE(run(OutputFormat::Json, true, {{Verb::Query, "system"}}));
  EXPECT_EQ(out_.str(),
            "{\"request\": \"query system\", \"result\": \"0x00000000 WBEM_S_NO_ERROR\", \"objects\": "
            "[{\"__GENUS\": 2, \"__RELPATH\": \"Item.Id=\\\"a\\\"\", \"Id\": \"a\", \"Size\": null}, "
            "{\"__GENUS\": 2, \"__RELPATH\": \"Item.Id=\\\"b\\\"\", \"Id\": \"b\", \"Size\": null}]}\n");
}

TEST_F(BatchRunnerTest, AClassObjectIsItsDeclarationInMofAndShowsItsNameInJson) {
  EXPECT_TRUE(run(OutputFormat::Mof, false, {{Verb::Query, "class"}}));
  EXPECT_EQ(out_.str(), "\nclass Item\n{\n\t[key] string Id;\n\tuint32 Size;\n};\n");
  out_.str("");
  EXPECT_TRUE(run(OutputFormat::Json, false, {{Verb::Query, "class"}}));
  EXPECT_EQ(out_.str(), "[\n  {\"__CLASS\": \"Item\", \"Id\": null, \"Size\": null}\n]\n");
}

TEST_F(BatchRunnerTest, ABatchOfSuccessesSucceeds) {
  EXPECT_TRUE(run(OutputFormat::Mof, true, {{Verb::Enumerate, "Item"}}, "get Item.Id=\"a\"\n"));
  EXPECT_EQ(errors_.str(), "");
}

}  // namespace
}  // namespace wmihost
