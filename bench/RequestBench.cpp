// The cost of one enumeration at growing inventory sizes, split into the
// whole request through the dispatcher, the bare Xalan-C transform of the
// same request document, and the parsing of the result text.
//
// Run it from <module root>/bin/: it lays out its registrations, stylesheet
// and data files below that root, and leaves each request document there as
// doc-<N>.xml for comparison with other XSLT processors.

#include <benchmark/benchmark.h>

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/XSLT/XSLTInputSource.hpp>
#include <xalanc/XSLT/XSLTResultTarget.hpp>
#include <xalanc/XalanTransformer/XalanTransformer.hpp>

#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "provider/registration/ModuleRoots.h"
#include "provider/dispatch/QVDispatch.h"
#include "provider/request/RequestBase.h"

namespace {

using qrv::cim::ParsedInstance;

const std::string kNamespace = bench::kNamespace;
const std::vector<int> kSizes = {1000, 10000, 100000};

std::string className(int entries) { return "Bench_Item" + std::to_string(entries); }
std::string dataName(int entries) { return "inventory-" + std::to_string(entries) + ".xml"; }

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
};

std::map<int, Fixture> fixtures;

std::string stylesheetPath() { return bench::appFilePath("bench", "xsl", "items.xsl"); }

void layOutModuleRoot() {
  const std::string root = qrv::cim::moduleRoot();
  bench::writeText(stylesheetPath(), bench::stylesheet("Bench_Item", true));
  for (const int entries : kSizes) {
    bench::writeText(bench::appFilePath("bench", "data", dataName(entries)), bench::inventory(entries, installedOn));
    bench::writeText(bench::registrationPath("bench_item" + std::to_string(entries) + ".xml"),
                     bench::registration(className(entries), "bench", dataName(entries), "items.xsl"));
    Fixture& fixture = fixtures[entries];
    fixture.document = requestDocument(entries);
    bench::writeText(root + "/doc-" + std::to_string(entries) + ".xml", fixture.document);
    qrv::cim::RequestBase::transform(fixture.document, qrv::cim::Conversion("bench", "xsl", "items.xsl"),
                                     fixture.resultText);
  }
}

qrv::cim::QVDispatch* dispatcher = nullptr;

void BM_Enumerate(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  for (auto _ : state) {
    std::vector<ParsedInstance> instances;
    if (dispatcher->enumerate(className(entries), instances, "") != qrv::cim::Ok ||
        instances.size() != static_cast<std::size_t>(entries)) {
      state.SkipWithError("enumeration failed");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * entries);
}

// Compile and transform with Xalan-C alone, on the finished request document.
void BM_BareTransform(benchmark::State& state) {
  using namespace xalanc;
  const std::string& document = fixtures.at(static_cast<int>(state.range(0))).document;
  const std::string path = stylesheetPath();
  for (auto _ : state) {
    XalanTransformer transformer;
    const XalanCompiledStylesheet* stylesheet = nullptr;
    std::istringstream input(document);
    std::ostringstream output;
    if (transformer.compileStylesheet(XSLTInputSource(path.c_str()), stylesheet) != 0 ||
        transformer.transform(XSLTInputSource(input), stylesheet, XSLTResultTarget(output)) != 0) {
      state.SkipWithError("transform failed");
      break;
    }
    transformer.destroyStylesheet(stylesheet);
    benchmark::DoNotOptimize(output.str().size());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ParseInstances(benchmark::State& state) {
  const std::string& resultText = fixtures.at(static_cast<int>(state.range(0))).resultText;
  for (auto _ : state) {
    std::vector<ParsedInstance> instances;
    qrv::cim::RequestBase::parseInstances(resultText, instances);
    benchmark::DoNotOptimize(instances.data());
    // Freeing the instances is their owner's cost, not the parser's.
    state.PauseTiming();
    instances = {};
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(resultText.size()));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void sizes(benchmark::internal::Benchmark* benchmark) {
  for (const int entries : kSizes) benchmark->Arg(entries);
  benchmark->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Enumerate)->Apply(sizes);
BENCHMARK(BM_BareTransform)->Apply(sizes);
BENCHMARK(BM_ParseInstances)->Apply(sizes);

}  // namespace

int main(int argc, char** argv) {
  qrv::cim::QVDispatch dispatch;
  dispatch.initialize(kNamespace);
  dispatcher = &dispatch;
  layOutModuleRoot();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
