// Many threads creating provider objects and asking them for enumerations,
// gets and queries while the files behind the answers change: the data file
// is replaced by a rename as the service publishes it, and a registration is
// rewritten. Every answer must be whole: one generation of the data, one
// version of the registration, never a mixture and never a failure.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "common/com/Bstr.h"
#include "host/cim/ClassRepository.h"
#include "host/cim/ClientCall.h"
#include "host/cim/InitSink.h"
#include "host/cim/NamespaceServices.h"
#include "host/cim/ObjectSink.h"
#include "host/cim/PathParserRegistration.h"
#include "host/query/QueryFilter.h"
#include "host/query/WqlParser.h"
#include "provider/wmi/CQVProvider.h"
#include "tests/provider/request/RequestFiles.h"
#include "tests/provider/wmi/PropertyText.h"

namespace {

using qrv::cim::CQVProvider;
using qrv::com::Bstr;
using qrv::test::propertyText;
using qrv::test::relocatedRoot;
using qrv::test::textStylesheet;
using qrv::test::writeFile;
using qrv::test::xslRootFile;

constexpr int kThreads = 8;
constexpr int kRequestsPerThread = 2500;
constexpr int kRequestsPerProvider = 100;
constexpr int kWarmUpRequests = 1000;
// Resident memory may grow this much between the end of the warm-up and the
// end of the run: room for allocator arenas and caches filling up, far below
// what one leaked answer per request would take.
constexpr long kMemoryGrowthBound = 24L << 20;

const char* const kMof = R"(
#pragma namespace("\\\\.\\root\\cimv2")
class Fan
{
  [key] string Name;
  uint32 Gen;
  string Source;
};
class Disk
{
  [key] string Name;
  uint32 Gen;
  string Source;
};
)";

const std::string kNoSuchProperty = "<no such property>";  // propertyText of a property the object lacks

// Queries the provider declines, answered as WMI answers them: by
// enumerating the class and filtering its instances.
const char* const kFanQuery = "SELECT * FROM Fan WHERE Name <> 'i0' AND Gen >= 0";  // every item but the first
const char* const kDiskQuery = "SELECT Name, Gen FROM Disk WHERE Name LIKE 'i_'";    // every item, without Source

// A generation of the data file holds 2 to 4 items, each naming the generation.
int itemCount(unsigned generation) { return 2 + static_cast<int>(generation % 3); }

enum class Kind { Enumeration, Get, Query };

// One request of the mix: an enumeration, a get of item or the class's query.
struct Request {
  Kind kind;
  bool fan;
  std::string item;

  // The items a whole answer holds for a generation of the data, in order.
  std::vector<std::string> names(unsigned generation) const {
    if (kind == Kind::Get) return {item};
    std::vector<std::string> all;
    for (int i = kind == Kind::Query && fan ? 1 : 0; i < itemCount(generation); ++i)
      all.push_back("i" + std::to_string(i));
    return all;
  }
  // Whether the answer's instances carry Source: the Disk query leaves it out.
  bool sourceSelected() const { return kind != Kind::Query || fan; }

  std::string describe() const {
    const std::string className = fan ? "Fan" : "Disk";
    if (kind == Kind::Enumeration) return className + " enumeration";
    if (kind == Kind::Get) return className + " get of " + item;
    return className + " query";
  }
};

std::string dataFile(unsigned generation) {
  const std::string gen = std::to_string(generation);
  std::string text = "<Inv gen=\"" + gen + "\">";
  for (int i = 0; i < itemCount(generation); ++i)
    text += "<Item name=\"i" + std::to_string(i) + "\" gen=\"" + gen + "\"/>";
  return text + "</Inv>";
}

// Instances of className from the items a get asks for (every item for an
// enumeration), tagged with source.
std::string itemsStylesheet(const std::string& className, const std::string& source) {
  return textStylesheet(
      "<xsl:variable name=\"get\" select=\"/QRVCIM/@cim-operation = 'get'\"/>"
      "<xsl:variable name=\"name\" select=\"/QRVCIM/Attributes/Required[@name = 'Name']/@value\"/>"
      "<xsl:for-each select=\"/QRVCIM/Inv/Item[not($get) or @name = $name]\">"
      "instance of " + className + "\n{\nName = \"<xsl:value-of select=\"@name\"/>\";\n"
      "Gen = <xsl:value-of select=\"@gen\"/>;\nSource = \"" + source + "\";\n};\n"
      "</xsl:for-each>");
}

std::string registrationText(const std::string& className, const std::string& stylesheet) {
  const std::string operation = "<FileProvider app=\"t\" area=\"data\" name=\"inv.xml\"/>"
                                "<Conversion app=\"t\" area=\"xsl\" name=\"" + stylesheet + "\"/>";
  return "<Registration><Class name=\"" + className + "\" namespace=\"root\\cimv2\"><Enumerate>" + operation +
         "</Enumerate><Get>" + operation + "</Get><Attribute name=\"Name\" required=\"true\"/></Class></Registration>";
}

// Replaces path's content in one step, as the service's publishing does.
void replaceFile(const std::string& path, const std::string& bytes) {
  const std::string staging = path + ".new";
  writeFile(staging, bytes);
  std::filesystem::rename(staging, path);
}

long residentBytes() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

struct Answer {
  HRESULT result;
  std::vector<wmihost::SinkStatus> statuses;
  std::vector<qrv::com::ComPtr<IWbemClassObject>> objects;
};

class Stress : public testing::Test {
 protected:
  void SetUp() override {
    repository_->loadText(kMof, "stress.mof");
    services_ = wmihost::NamespaceServices::create(repository_, "root\\cimv2");
    writeFile(xslRootFile("t/xsl/fan_a.xsl"), itemsStylesheet("Fan", "a"));
    writeFile(xslRootFile("t/xsl/fan_b.xsl"), itemsStylesheet("Fan", "b"));
    writeFile(xslRootFile("t/xsl/disk.xsl"), itemsStylesheet("Disk", "d"));
    writeFile(xslRootFile("t/data/inv.xml"), dataFile(0));
    writeFile(fanRegistration_, registrationText("Fan", "fan_a.xsl"));
    writeFile(relocatedRoot() + "/xmlreg/root/cimv2/disk.xml", registrationText("Disk", "disk.xsl"));
  }

  qrv::com::ComPtr<CQVProvider> newProvider() {
    auto provider = qrv::com::ComPtr<CQVProvider>::share(new CQVProvider([](DWORD) {}));
    auto sink = wmihost::InitSink::create();
    wmihost::ClientCall call(RPC_C_IMP_LEVEL_IMPERSONATE);
    std::u16string nameSpace = u"root\\cimv2";
    const HRESULT result =
        provider->Initialize(nullptr, 0, nameSpace.data(), nullptr, services_.get(), nullptr, sink.get());
    return result == WBEM_S_NO_ERROR ? provider : qrv::com::ComPtr<CQVProvider>();
  }

  // The answer to request, taken as a client of WMI takes it; filter is the
  // class's query.
  static Answer put(CQVProvider& provider, const Request& request, const wmihost::QueryFilter& filter) {
    const std::u16string className = request.fan ? u"Fan" : u"Disk";
    switch (request.kind) {
      case Kind::Enumeration:
        return ask(provider, true, className);
      case Kind::Get:
        return ask(provider, false, className + u".Name=\"" + qrv::com::toWide(request.item) + u"\"");
      default:
        return query(provider, className, request.fan ? kFanQuery : kDiskQuery, filter);
    }
  }

  // The class's query put to the provider; declined, the class enumerated
  // and filtered as WMI does.
  static Answer query(CQVProvider& provider, const std::u16string& className, const char* wql,
                      const wmihost::QueryFilter& filter) {
    const Bstr language(u"WQL");
    const Bstr text(qrv::com::toWide(wql));
    auto sink = wmihost::ObjectSink::create();
    HRESULT result;
    {
      wmihost::ClientCall call(RPC_C_IMP_LEVEL_IMPERSONATE);
      result = provider.ExecQueryAsync(language.get(), text.get(), 0, nullptr, sink.get());
    }
    if (result != static_cast<HRESULT>(WBEM_E_NOT_SUPPORTED)) return {result, sink->statuses(), sink->objects()};
    Answer all = ask(provider, true, className);
    all.objects = filter.apply(all.objects);
    return all;
  }

  static Answer ask(CQVProvider& provider, bool enumeration, const std::u16string& text) {
    const Bstr argument(text);
    auto sink = wmihost::ObjectSink::create();
    wmihost::ClientCall call(RPC_C_IMP_LEVEL_IMPERSONATE);
    const HRESULT result = enumeration ? provider.CreateInstanceEnumAsync(argument.get(), 0, nullptr, sink.get())
                                       : provider.GetObjectAsync(argument.get(), 0, nullptr, sink.get());
    return {result, sink->statuses(), sink->objects()};
  }

  // Whether an answer is one the data could give between the generations
  // published before and after the request: complete, of one generation, its
  // items all there, all from one version of the class's stylesheet.
  // What is wrong with it; empty when nothing is.
  static std::string fault(const Answer& answer, const Request& request, unsigned oldest, unsigned newest) {
    char status[64];
    std::snprintf(status, sizeof status, "answered 0x%08X, status 0x%08X", static_cast<unsigned>(answer.result),
                  answer.statuses.empty() ? 0u : static_cast<unsigned>(answer.statuses[0].result));
    if (answer.result != WBEM_S_NO_ERROR || answer.statuses.size() != 1 ||
        answer.statuses[0].result != WBEM_S_NO_ERROR || answer.objects.empty())
      return status;
    const std::string gen = propertyText(answer.objects[0].get(), "Gen");
    const std::string source =
        request.sourceSelected() ? propertyText(answer.objects[0].get(), "Source") : kNoSuchProperty;
    const unsigned generation = static_cast<unsigned>(std::stoul(gen));
    const std::string seen = "generation " + gen + " (published " + std::to_string(oldest) + " to " +
                             std::to_string(newest) + "), source " + source + ", " +
                             std::to_string(answer.objects.size()) + " instances";
    const std::string sources = request.fan ? "ab" : "d";
    if (generation < oldest || generation > newest ||
        (request.sourceSelected() && (source.size() != 1 || sources.find(source) == std::string::npos)))
      return seen;
    const std::vector<std::string> names = request.names(generation);
    if (answer.objects.size() != names.size()) return seen;
    for (std::size_t i = 0; i < answer.objects.size(); ++i) {
      IWbemClassObject* object = answer.objects[i].get();
      if (propertyText(object, "Name") != names[i] || propertyText(object, "Gen") != gen ||
          propertyText(object, "Source") != source)
        return seen + ", a mixture";
    }
    return std::string();
  }

  std::shared_ptr<wmihost::ClassRepository> repository_ = std::make_shared<wmihost::ClassRepository>();
  qrv::com::ComPtr<wmihost::NamespaceServices> services_;
  wmihost::PathParserRegistration pathParser_;
  const std::string fanRegistration_ = relocatedRoot() + "/xmlreg/root/cimv2/fan.xml";
};

TEST_F(Stress, AnswersStayWholeWhileTheDataAndARegistrationChange) {
  // The generation in place for certain, and the newest that may be.
  std::atomic<unsigned> published{0}, publishing{0};
  std::atomic<int> requests{0}, queries{0}, invalid{0}, providers{0};
  std::atomic<long> warmResident{0};
  std::atomic<bool> done{false};
  std::mutex firstInvalidMutex;
  std::string firstInvalid;

  std::thread changer([&] {
    int rewrites = 0;
    for (unsigned generation = 1; !done; ++generation) {
      publishing = generation;
      replaceFile(xslRootFile("t/data/inv.xml"), dataFile(generation));
      published = generation;
      if (generation % 4 == 0)
        replaceFile(fanRegistration_, registrationText("Fan", ++rewrites % 2 ? "fan_b.xsl" : "fan_a.xsl"));
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });

  std::vector<std::thread> workers;
  for (int t = 0; t < kThreads; ++t) {
    workers.emplace_back([&, t] {
      const wmihost::QueryFilter fanQuery(wmihost::parseWql(kFanQuery), repository_->find("root\\cimv2", "Fan"));
      const wmihost::QueryFilter diskQuery(wmihost::parseWql(kDiskQuery), repository_->find("root\\cimv2", "Disk"));
      qrv::com::ComPtr<CQVProvider> provider;
      for (int i = 0; i < kRequestsPerThread; ++i) {
        if (i % kRequestsPerProvider == 0) {
          provider = qrv::com::ComPtr<CQVProvider>();  // the last release may stop the request path
          provider = newProvider();
          ++providers;
        }
        const int turn = (t + i) % 6;
        const Request request{static_cast<Kind>(turn / 2), turn % 2 == 0, "i" + std::to_string(i % 2)};
        const unsigned oldest = published;
        std::string wrong = "no provider object";
        if (provider) {
          const Answer answer = put(*provider, request, request.fan ? fanQuery : diskQuery);
          queries += request.kind == Kind::Query ? 1 : 0;
          wrong = fault(answer, request, oldest, publishing);
        }
        if (!wrong.empty() && invalid++ == 0) {
          std::lock_guard<std::mutex> lock(firstInvalidMutex);
          firstInvalid = request.describe() + " " + wrong;
        }
        if (++requests == kWarmUpRequests) warmResident = residentBytes();
      }
    });
  }
  for (std::thread& worker : workers) worker.join();
  done = true;
  changer.join();
  const long finalResident = residentBytes();

  std::printf("stress: %d requests (%d queries), %d invalid, %d provider objects, %u data files published, "
              "resident %ld KiB after %d requests, %ld KiB at the end\n",
              requests.load(), queries.load(), invalid.load(), providers.load(), published.load(),
              warmResident.load() >> 10, kWarmUpRequests, finalResident >> 10);
  RecordProperty("requests", requests.load());
  RecordProperty("queries", queries.load());
  RecordProperty("invalid", invalid.load());
  EXPECT_EQ(requests, kThreads * kRequestsPerThread);
  EXPECT_EQ(invalid, 0) << "first: " << firstInvalid;
  EXPECT_GT(published, 10u) << "the data changed during the run";
  EXPECT_LE(finalResident - warmResident, kMemoryGrowthBound);
}

}  // namespace
