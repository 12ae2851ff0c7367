// The cost of one enumeration at growing inventory sizes and over a
// recorded lshw file (size 0): the first request of a document (stylesheet
// compiled, document parsed) and a repeated one (both kept), and the parsing
// of the result text; and of gets of one entry after another, beside the
// repeated enumeration of the same class. Each repeated request reports
// what the caches keep after it. With --peak=N it runs one first request of
// size N and exits, for the comparison script to read its peak memory.
//
// Run it from <module root>/bin/ with the lshw file as LSHW_XML: it lays out
// its registrations, stylesheets and data files below that root, and leaves
// each request document there as doc-<N>.xml for comparison with other XSLT
// processors.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchSupport.h"
#include "provider/dispatch/QVDispatch.h"
#include "provider/registration/ModuleRoots.h"
#include "provider/request/RequestBase.h"
#include "provider/request/cache/RequestCaches.h"

namespace {

using qrv::cim::ParsedInstance;

const std::string kNamespace = bench::kNamespace;
// 0 stands for the lshw file.
const std::vector<int> kSizes = {0, 1000, 10000, 100000, 300000};
// The sizes of the classes that gets ask for one entry of, by Id.
const std::vector<int> kGetSizes = {1000, 5000, 10000, 100000};

std::string className(int entries) { return "Bench_Item" + std::to_string(entries); }
std::string dataName(int entries) { return "inventory-" + std::to_string(entries) + ".xml"; }
std::string stylesheetName(int entries) { return entries == 0 ? "lshw.xsl" : "items.xsl"; }

// One instance of every node of lshw's tree.
const char kLshwStylesheet[] = R"xsl(<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
<xsl:output method="text" encoding="UTF-8"/>
<xsl:template match="/">
<xsl:for-each select="//node">instance of Bench_Node
{
 Id = "<xsl:value-of select="@id"/>";
 Class = "<xsl:value-of select="@class"/>";
 Description = "<xsl:value-of select="description"/>";
 Product = "<xsl:value-of select="product"/>";
 Vendor = "<xsl:value-of select="vendor"/>";
 Children = <xsl:value-of select="count(node)"/>;
};
</xsl:for-each>
</xsl:template>
</xsl:stylesheet>
)xsl";

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in) throw std::runtime_error("cannot read " + path);
  return text.str();
}

std::string installedOn(int) { return "20240115"; }

// The request document that an enumeration of the class composes.
std::string requestDocument(int entries) {
  std::string document = qrv::cim::RequestBase("").writeHeader("enumerate", className(entries), kNamespace);
  qrv::cim::Enumerate op;
  op.addAccessor(new qrv::cim::FileAccessor("bench", "data", dataName(entries), false));
  if (qrv::cim::RequestBase::appendData(op, document) != qrv::cim::Ok) throw std::runtime_error("no data");
  return document + "</QRVCIM>";
}

struct Fixture {
  std::string document;
  std::string resultText;
  std::size_t instances = 0;
};

std::map<int, Fixture> fixtures;

// The classes that gets ask for one entry of: kind 0 is the bench's items
// by Id, with the items stylesheet; kind 1 packages by name and
// architecture, with the example deployment's software stylesheet, which
// writes every property through templates, as an inventory does.
enum GetKind { kItems = 0, kPackages = 1 };

std::string keyedClassName(int kind, int entries) {
  return (kind == kItems ? "Bench_Keyed" : "Bench_Software") + std::to_string(entries);
}

std::string packageName(int i) {
  std::string digits = std::to_string(i);
  return "package-" + std::string(5 - std::min<std::size_t>(5, digits.size()), '0') + digits;
}

// A package list as the collector writes it.
std::string packages(int entries) {
  std::string text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Inventory collected=\"1765200000\">\n"
      "<System host=\"bench\" uptimeSeconds=\"1\" bootTime=\"20251208132000.000000+000\"/>\n<Packages>\n";
  for (int i = 0; i < entries; ++i) {
    text += "<Package name=\"" + packageName(i) + "\" version=\"1." + std::to_string(i) +
            "-1\" architecture=\"amd64\" installedSizeKiB=\"" + std::to_string(i * 7) +
            "\" maintainer=\"Korvex Labs &lt;labs@korvex.example&gt;\" summary=\"package " + std::to_string(i) +
            "; &quot;tools&quot; &amp; more\" installed=\"" + std::to_string(1700000000 + i) + "\"/>\n";
  }
  return text + "</Packages>\n</Inventory>\n";
}

// The software class's registration in the bench's namespace, over its own package list.
std::string softwareRegistration(int entries) {
  const std::string files = "<FileProvider name=\"packages-" + std::to_string(entries) +
                            ".xml\" app=\"bench\" area=\"data\"/><Conversion name=\"software.xsl\" app=\"inventory\" "
                            "area=\"xsl\"/>";
  return "<Registration><Class name=\"" + keyedClassName(kPackages, entries) + "\" namespace=\"" + kNamespace +
         "\"><Enumerate>" + files + "</Enumerate><Get>" + files +
         "</Get><Attribute name=\"Name\" required=\"true\" alt-name=\"PackageName\"/>"
         "<Attribute name=\"Architecture\" required=\"true\"/></Class></Registration>";
}

void layOutKeyedClasses() {
  bench::writeText(bench::appFilePath("bench", "xsl", "keyed.xsl"), bench::stylesheet("Bench_Keyed", true, true));
  if (!std::ifstream(bench::appFilePath("inventory", "xsl", "software.xsl"))) {
    throw std::runtime_error("the deployment's stylesheets are not in xslroot/inventory/xsl");
  }
  for (const int entries : kGetSizes) {
    if (!fixtures.count(entries)) {
      bench::writeText(bench::appFilePath("bench", "data", dataName(entries)), bench::inventory(entries, installedOn));
    }
    const std::string itemsClass = keyedClassName(kItems, entries);
    bench::writeText(bench::registrationPath("bench_keyed" + std::to_string(entries) + ".xml"),
                     bench::registration(itemsClass, "bench", dataName(entries), "keyed.xsl", true));
    bench::writeText(bench::appFilePath("bench", "data", "packages-" + std::to_string(entries) + ".xml"),
                     packages(entries));
    bench::writeText(bench::registrationPath("bench_software" + std::to_string(entries) + ".xml"),
                     softwareRegistration(entries));
  }
}

void layOutModuleRoot(const std::string& lshwFile) {
  const std::string root = qrv::cim::moduleRoot();
  bench::writeText(bench::appFilePath("bench", "xsl", "items.xsl"), bench::stylesheet("Bench_Item", true));
  bench::writeText(bench::appFilePath("bench", "xsl", "lshw.xsl"), kLshwStylesheet);
  for (const int entries : kSizes) {
    bench::writeText(bench::appFilePath("bench", "data", dataName(entries)),
                     entries == 0 ? readText(lshwFile) : bench::inventory(entries, installedOn));
    bench::writeText(bench::registrationPath("bench_item" + std::to_string(entries) + ".xml"),
                     bench::registration(className(entries), "bench", dataName(entries), stylesheetName(entries)));
    Fixture& fixture = fixtures[entries];
    fixture.document = requestDocument(entries);
    bench::writeText(root + "/doc-" + std::to_string(entries) + ".xml", fixture.document);
    qrv::cim::RequestBase::transform(fixture.document, qrv::cim::Conversion("bench", "xsl", stylesheetName(entries)),
                                     fixture.resultText);
    std::vector<ParsedInstance> instances;
    qrv::cim::RequestBase::parseInstances(fixture.resultText, instances);
    fixture.instances = instances.size();
  }
  layOutKeyedClasses();
  // Files are kept for reuse only once they are old enough for a later edit
  // to change their times.
  std::this_thread::sleep_for(std::chrono::milliseconds(2100));
}

qrv::cim::QVDispatch* dispatcher = nullptr;

bool enumerateOnce(benchmark::State& state, int entries) {
  std::vector<ParsedInstance> instances;
  if (dispatcher->enumerate(className(entries), instances, "") != qrv::cim::Ok ||
      instances.size() != fixtures.at(entries).instances) {
    state.SkipWithError("enumeration failed");
    return false;
  }
  return true;
}

// What the caches keep, in MB: parsed trees, the chunks that trees are
// built of (in use and free), request document and result text buffers.
void reportKept(benchmark::State& state) {
  state.counters["kept_trees_MB"] = static_cast<double>(qrv::cim::RequestCaches::documents().bytes()) / 1e6;
  state.counters["kept_chunks_MB"] = static_cast<double>(qrv::cim::RequestCaches::documentChunks().heldBytes()) / 1e6;
  state.counters["kept_texts_MB"] = static_cast<double>(qrv::cim::RequestCaches::documentTexts().keptBytes() +
                                                        qrv::cim::RequestCaches::resultTexts().keptBytes()) /
                                    1e6;
}

// A document and stylesheet met for the first time: no stylesheet, document
// or transformer kept. The memory of earlier requests is (their trees'
// chunks, text buffers and instance blocks), as in a provider that has
// served requests before; the peak run (--peak=N) shows a process's very
// first request.
void BM_FirstEnumerate(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    qrv::cim::RequestCaches::release();
    state.ResumeTiming();
    if (!enumerateOnce(state, entries)) break;
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(fixtures.at(entries).instances));
}

// The same enumeration again: stylesheet and parsed document kept.
void BM_RepeatedEnumerate(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  if (!enumerateOnce(state, entries)) return;  // the first, which keeps them
  for (auto _ : state) {
    if (!enumerateOnce(state, entries)) break;
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(fixtures.at(entries).instances));
  reportKept(state);
}

bool getOnce(benchmark::State& state, int kind, int entries, int i) {
  qrv::cim::ParsedInstance instance;
  const std::string key = kind == kItems ? std::to_string(i) : packageName(i);
  const qrv::cim::KeyValues keys =
      kind == kItems ? qrv::cim::KeyValues{{"Id", key}} : qrv::cim::KeyValues{{"Name", key}, {"Architecture", "amd64"}};
  if (dispatcher->getInstance(keyedClassName(kind, entries), keys, instance, "") != qrv::cim::Ok || instance.empty() ||
      instance.at(kind == kItems ? "Id" : "Name") != key) {
    state.SkipWithError("get failed");
    return false;
  }
  return true;
}

// Gets one after another, each of another entry, as a client that fetches
// objects one at a time does; the first, which reads the data file and
// compiles the stylesheet, is left out.
void BM_RepeatedGet(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  const int entries = static_cast<int>(state.range(1));
  int i = entries / 2;
  if (!getOnce(state, kind, entries, i)) return;
  for (auto _ : state) {
    i = (i + 7919) % entries;
    if (!getOnce(state, kind, entries, i)) break;
  }
  reportKept(state);
}

// The repeated enumeration of the class that the gets ask: what a get is
// measured against.
void BM_KeyedEnumerate(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  const int entries = static_cast<int>(state.range(1));
  const auto enumerateKeyed = [&] {
    std::vector<ParsedInstance> instances;
    return dispatcher->enumerate(keyedClassName(kind, entries), instances, "") == qrv::cim::Ok &&
           instances.size() == static_cast<std::size_t>(entries);
  };
  if (!enumerateKeyed()) {
    state.SkipWithError("enumeration failed");
    return;
  }
  for (auto _ : state) {
    if (!enumerateKeyed()) {
      state.SkipWithError("enumeration failed");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(entries));
  reportKept(state);
}

// Reading the CPU clock costs about a microsecond on some virtual machines,
// as much as parsing a small result text does, so each timed stretch parses
// the text often enough to make up about a megabyte.
void BM_ParseInstances(benchmark::State& state) {
  const Fixture& fixture = fixtures.at(static_cast<int>(state.range(0)));
  const std::string& resultText = fixture.resultText;
  const std::size_t batch = std::max<std::size_t>(1, (std::size_t{1} << 20) / std::max<std::size_t>(1, resultText.size()));
  std::vector<std::vector<ParsedInstance>> parsed(batch);
  for (auto _ : state) {
    for (std::vector<ParsedInstance>& instances : parsed) qrv::cim::RequestBase::parseInstances(resultText, instances);
    benchmark::DoNotOptimize(parsed.data());
    // Freeing the instances is their owner's cost, not the parser's.
    state.PauseTiming();
    for (std::vector<ParsedInstance>& instances : parsed) instances = {};
    state.ResumeTiming();
  }
  const auto parses = state.iterations() * static_cast<int64_t>(batch);
  state.SetBytesProcessed(parses * static_cast<int64_t>(resultText.size()));
  state.SetItemsProcessed(parses * static_cast<int64_t>(fixture.instances));
}

void sizes(benchmark::internal::Benchmark* benchmark) {
  for (const int entries : kSizes) benchmark->Arg(entries);
  benchmark->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_FirstEnumerate)->Apply(sizes);
BENCHMARK(BM_RepeatedEnumerate)->Apply(sizes);
BENCHMARK(BM_ParseInstances)->Apply(sizes);

void getSizes(benchmark::internal::Benchmark* benchmark) {
  for (const int kind : {kItems, kPackages}) {
    for (const int entries : kGetSizes) benchmark->Args({kind, entries});
  }
  benchmark->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_RepeatedGet)->Apply(getSizes);
BENCHMARK(BM_KeyedEnumerate)->Apply(getSizes);

// One first request of the given size on what an earlier run laid out.
int peakRun(int entries) {
  std::vector<ParsedInstance> instances;
  return dispatcher->enumerate(className(entries), instances, "") == qrv::cim::Ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  qrv::cim::QVDispatch dispatch;
  dispatch.initialize(kNamespace);
  dispatcher = &dispatch;
  const std::string peak = "--peak=";
  if (argc == 2 && std::string(argv[1]).compare(0, peak.size(), peak) == 0) {
    return peakRun(std::stoi(std::string(argv[1]).substr(peak.size())));
  }
  const char* lshwFile = std::getenv("LSHW_XML");
  if (!lshwFile) throw std::runtime_error("LSHW_XML names no lshw file");
  layOutModuleRoot(lshwFile);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
