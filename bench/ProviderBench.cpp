// The cost that the WMI front end adds to an enumeration: the whole road
// through CQVProvider::CreateInstanceEnumAsync into the WMI stand-in's sink
// (request, spawning, filling, delivery), beside the dispatcher's request
// alone, for the same 10,000 instances of five properties.
//
// Run it from <module root>/bin/: it lays out its registration, stylesheet
// and data file below that root.

#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "common/com/Bstr.h"
#include "host/cim/ClassRepository.h"
#include "host/cim/ClientCall.h"
#include "host/cim/InitSink.h"
#include "host/cim/NamespaceServices.h"
#include "host/cim/ObjectSink.h"
#include "host/cim/PathParserRegistration.h"
#include "provider/dispatch/QVDispatch.h"
#include "provider/wmi/CQVProvider.h"

namespace {

using bench::kNamespace;
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

std::string installedAt(int i) { return std::to_string(1700000000 + i * 60); }

void layOutModuleRoot() {
  bench::writeText(bench::appFilePath("benchprov", "xsl", "provided.xsl"), bench::stylesheet(kClass, false));
  bench::writeText(bench::appFilePath("benchprov", "data", "provided.xml"), bench::inventory(kInstances, installedAt));
  bench::writeText(bench::registrationPath("bench_provided.xml"),
                   bench::registration(kClass, "benchprov", "provided.xml", "provided.xsl"));
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
  const qrv::com::Bstr className(qrv::com::toWide(kClass));
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
