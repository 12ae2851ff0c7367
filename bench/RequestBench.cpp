// The cost of one enumeration at growing inventory sizes and over a
// recorded lshw file (size 0): the first request of a document (stylesheet
// compiled, document parsed) and a repeated one (both kept), and the parsing
// of the result text. With --peak=N it runs one first request of size N and
// exits, for the comparison script to read its peak memory.
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
