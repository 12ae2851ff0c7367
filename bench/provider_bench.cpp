// The cost that the WMI front end adds to an enumeration: the whole road
// through CQVProvider::CreateInstanceEnumAsync into the WMI stand-in's sink
// (request, spawning, filling, delivery), beside the dispatcher's request
// alone, for the same 10,000 instances of five properties.
//
// Run it from <module root>/bin/: it lays out its registration, stylesheet
// and data file below that root.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/class_repository.h"
#include "host/client_call.h"
#include "host/init_sink.h"
#include "host/namespace_services.h"
#include "host/object_sink.h"
#include "host/path_parser_registration.h"
#include "provider/registration/ModuleRoots.h"
#include "provider/registration/QVDispatch.h"
#include "provider/wmi/Bstr.h"
#include "provider/wmi/CQVProvider.h"

namespace {

const char kNamespace[] = "root\\bench";
const char kClass[] = "Bench_Provided";
constexpr int kInstances = 10000;

const char kMof[] = R"(
#pragma namespace("\\\\.\\root\\bench")
class Bench_Provided
{
  [key] uint32 Id;
  string Name;
  string Vendor;
  uint64 Size;
  datetime Installed;
};
)";

const char kStylesheet[] = R"(<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
<xsl:output method="text" encoding="UTF-8"/>
<xsl:template match="/">
<xsl:for-each select="QRVCIM/Inventory/Item">instance of Bench_Provided
{
 Id = <xsl:value-of select="@id"/>;
 Name = "<xsl:value-of select="@name"/>";
 Vendor = "<xsl:value-of select="@vendor"/>";
 Size = <xsl:value-of select="@size"/>;
 Installed = <xsl:value-of select="@installed"/>;
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

std::string inventory() {
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Inventory>\n";
  for (int i = 0; i < kInstances; ++i) {
    const std::string id = std::to_string(i);
    text += "<Item id=\"" + id + "\" name=\"Package " + id + "\" vendor=\"Vendor " + std::to_string(i % 97) +
            "\" size=\"" + std::to_string(1000 + i * 7) + "\" installed=\"" + std::to_string(1700000000 + i * 60) +
            "\"/>\n";
  }
  return text + "</Inventory>\n";
}

void layOutModuleRoot() {
  writeText(qrv::cim::xslRoot() + "/benchprov/xsl/provided.xsl", kStylesheet);
  writeText(qrv::cim::xslRoot() + "/benchprov/data/provided.xml", inventory());
  writeText(qrv::cim::xmlRegRoot() + "/root/bench/bench_provided.xml",
            std::string("<Registration><Class name=\"") + kClass + "\" namespace=\"" + kNamespace +
                "\"><Enumerate><FileProvider name=\"provided.xml\" app=\"benchprov\" area=\"data\"/>"
                "<Conversion name=\"provided.xsl\" app=\"benchprov\" area=\"xsl\"/></Enumerate></Class>"
                "</Registration>");
}

qrv::cim::QVDispatch* dispatcher = nullptr;
qrv::cim::CQVProvider* provider = nullptr;

void BM_DispatcherEnumerate(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<qrv::cim::ParsedInstance> instances;
    if (dispatcher->enumerate(kClass, instances, "") != qrv::cim::Ok || instances.size() != kInstances) {
      state.SkipWithError("enumeration failed");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * kInstances);
}

void BM_ProviderEnumerate(benchmark::State& state) {
  const qrv::cim::Bstr className(qrv::cim::toWide(kClass));
  for (auto _ : state) {
    auto sink = wmihost::ObjectSink::create();
    wmihost::ClientCall call(RPC_C_IMP_LEVEL_IMPERSONATE);
    if (provider->CreateInstanceEnumAsync(className.get(), 0, nullptr, sink.get()) != S_OK ||
        sink->objects().size() != kInstances) {
      state.SkipWithError("enumeration failed");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * kInstances);
}

BENCHMARK(BM_DispatcherEnumerate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProviderEnumerate)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  layOutModuleRoot();
  auto repository = std::make_shared<wmihost::ClassRepository>();
  repository->loadText(kMof, "bench.mof");
  auto services = wmihost::NamespaceServices::create(repository, kNamespace);
  auto initSink = wmihost::InitSink::create();
  const wmihost::PathParserRegistration pathParser;

  auto* providerObject = new qrv::cim::CQVProvider([](DWORD) {});
  providerObject->AddRef();
  std::u16string nameSpace = u"root\\bench";
  {
    wmihost::ClientCall call(RPC_C_IMP_LEVEL_IMPERSONATE);
    if (providerObject->Initialize(nullptr, 0, nameSpace.data(), nullptr, services.get(), nullptr,
                                   initSink.get()) != S_OK) {
      throw std::runtime_error("the provider did not initialise");
    }
  }
  qrv::cim::QVDispatch dispatch;
  dispatch.initialize(kNamespace);
  dispatcher = &dispatch;
  provider = providerObject;

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  providerObject->Release();
  return 0;
}
