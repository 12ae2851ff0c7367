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

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "provider/registration/ModuleRoots.h"
#include "provider/registration/QVDispatch.h"
#include "provider/request/RequestBase.h"

namespace {

using qrv::cim::ParsedInstance;

const std::string kNamespace = "root\\bench";
const std::vector<int> kSizes = {1000, 10000, 100000};

const char kStylesheet[] = R"(<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
<xsl:output method="text" encoding="UTF-8"/>
<xsl:template match="/">
<xsl:for-each select="QRVCIM/Inventory/Item">instance of Bench_Item
{
 Id = <xsl:value-of select="@id"/>;
 Name = "<xsl:value-of select="@name"/>";
 Vendor = "<xsl:value-of select="@vendor"/>";
 Size = <xsl:value-of select="@size"/>;
 Installed = "<xsl:value-of select="@installed"/>";
};
</xsl:for-each>
</xsl:template>
</xsl:stylesheet>
)";

void writeText(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string className(int entries) { return "Bench_Item" + std::to_string(entries); }
std::string dataName(int entries) { return "inventory-" + std::to_string(entries) + ".xml"; }

std::string inventory(int entries) {
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Inventory>\n";
  for (int i = 0; i < entries; ++i) {
    const std::string id = std::to_string(i);
    text += "<Item id=\"" + id + "\" name=\"Package " + id + "\" vendor=\"Vendor " + std::to_string(i % 97) +
            "\" size=\"" + std::to_string(1000 + i * 7) + "\" installed=\"20240115\"/>\n";
  }
  return text + "</Inventory>\n";
}

std::string registration(int entries) {
  return "<Registration><Class name=\"" + className(entries) + "\" namespace=\"" + kNamespace +
         "\"><Enumerate><FileProvider name=\"" + dataName(entries) +
         "\" app=\"bench\" area=\"data\"/><Conversion name=\"items.xsl\" app=\"bench\" area=\"xsl\"/>"
         "</Enumerate></Class></Registration>";
}

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

std::string stylesheetPath() { return qrv::cim::xslRoot() + "/bench/xsl/items.xsl"; }

void layOutModuleRoot() {
  const std::string root = qrv::cim::moduleRoot();
  writeText(stylesheetPath(), kStylesheet);
  for (const int entries : kSizes) {
    writeText(qrv::cim::xslRoot() + "/bench/data/" + dataName(entries), inventory(entries));
    writeText(qrv::cim::xmlRegRoot() + "/root/bench/" + "bench_item" + std::to_string(entries) + ".xml",
              registration(entries));
    Fixture& fixture = fixtures[entries];
    fixture.document = requestDocument(entries);
    writeText(root + "/doc-" + std::to_string(entries) + ".xml", fixture.document);
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
