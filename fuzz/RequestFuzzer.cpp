// A whole request: the input is a stylesheet, a data file and two key
// values, separated by zero bytes, put through an enumeration and a get of a
// class registered over them (the first value keys the get as Name, written
// PackageName, and as DeviceID; the second as Architecture). Each ends in a
// status within the transform's bounds, set low here; never in a fault or a
// hang.
//
// The provider finds its files two levels above its module, so the program
// copies itself into a fresh root with the example deployment's
// stylesheets beside the fuzzed one (for xsl:include) and runs from there.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "provider/dispatch/QVDispatch.h"
#include "provider/registration/ModuleRoots.h"
#include "tests/support/RelocatedCopy.h"
#include "tests/support/TempTree.h"

namespace {

namespace fs = std::filesystem;
using qrv::cim::RequestStatus;

const std::string kNamespace = "root\\fuzz";

// The example deployment's stylesheets beside the fuzzed one, for xsl:include.
void copyStylesheets(const std::string& root) {
  fs::create_directories(fs::path(root) / "xslroot/fuzz/xsl");
  for (const auto& file : fs::directory_iterator(QRV_DEPLOY_XSL_DIR)) {
    fs::copy_file(file.path(), fs::path(root) / "xslroot/fuzz/xsl" / file.path().filename());
  }
}

// Each process of a run (libFuzzer may start several) has files of its own.
std::string processName() { return "p" + std::to_string(getpid()); }

void registerClass() {
  const std::string name = processName();
  const std::string files = "<FileProvider app=\"fuzz\" area=\"data\" name=\"" + name +
                            ".xml\"/><Conversion app=\"fuzz\" area=\"xsl\" name=\"" + name + ".xsl\"/>";
  qrv::test::writeFile(qrv::cim::xmlRegRoot() + "/root/fuzz/" + name + ".xml",
                       "<Registration><Class name=\"" + name + "\" namespace=\"" + kNamespace + "\"><Enumerate>" +
                           files + "</Enumerate><Get>" + files +
                           "</Get><Attribute name=\"Name\" required=\"true\" alt-name=\"PackageName\"/>"
                           "<Attribute name=\"Architecture\" required=\"true\"/>"
                           "<Attribute name=\"DeviceID\" required=\"true\"/></Class></Registration>");
}

// The input's parts between zero bytes; missing ones are empty.
std::vector<std::string> parts(std::string_view input, std::size_t count) {
  std::vector<std::string> pieces;
  while (pieces.size() + 1 < count) {
    const std::size_t zero = input.find('\0');
    pieces.emplace_back(input.substr(0, zero));
    input = zero == std::string_view::npos ? std::string_view() : input.substr(zero + 1);
  }
  pieces.emplace_back(input);
  return pieces;
}

bool isStatus(RequestStatus status) {
  switch (status) {
    case qrv::cim::Ok:
    case qrv::cim::MissingKey:
    case qrv::cim::NotAccessible:
    case qrv::cim::TransformFailed:
    case qrv::cim::StylesheetFailed:
    case qrv::cim::NotSupported:
      return true;
  }
  return false;
}

qrv::cim::QVDispatch* dispatcher = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char*** argv) {
  if (qrv::test::relocatedRoot().empty()) std::_Exit(qrv::test::runRelocatedCopy(*argv, copyStylesheets));
  // Xalan-C's warnings for every broken stylesheet would fill the log; the
  // sanitizers and libFuzzer write to the standard error file, not the stream.
  std::cerr.rdbuf(nullptr);
  setenv("KORVEX_TRANSFORM_MAX_MILLISECONDS", "1000", 1);
  setenv("KORVEX_TRANSFORM_MAX_DEPTH", "10000", 1);
  setenv("KORVEX_TRANSFORM_MAX_MEMORY_BYTES", "67108864", 1);
  setenv("KORVEX_TRANSFORM_MAX_OUTPUT_BYTES", "16777216", 1);
  dispatcher = new qrv::cim::QVDispatch;
  dispatcher->initialize(kNamespace);
  // Xalan-C is linked in, so its statics go at exit before the leak check
  // runs; stopped first, it frees what they refer to, as the provider does.
  std::atexit([] { delete dispatcher; });
  registerClass();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> input = parts(std::string_view(reinterpret_cast<const char*>(data), size), 4);
  const std::string name = processName();
  qrv::test::writeFile(qrv::cim::xslRoot() + "/fuzz/xsl/" + name + ".xsl", input[0]);
  qrv::test::writeFile(qrv::cim::xslRoot() + "/fuzz/data/" + name + ".xml", input[1]);

  std::vector<qrv::cim::ParsedInstance> instances;
  QRV_FUZZ_CHECK(isStatus(dispatcher->enumerate(name, instances, "")));
  qrv::cim::ParsedInstance instance;
  const qrv::cim::KeyValues keys{{"Name", input[2]}, {"Architecture", input[3]}, {"DeviceID", input[2]}};
  QRV_FUZZ_CHECK(isStatus(dispatcher->getInstance(name, keys, instance, "")));
  return 0;
}
