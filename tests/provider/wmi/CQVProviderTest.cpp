#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "common/com/Bstr.h"
#include "common/com/ComObject.h"
#include "compat/com/CallContext.h"
#include "host/cim/ClassRepository.h"
#include "host/cim/ClientCall.h"
#include "host/cim/InitSink.h"
#include "host/cim/NamespaceServices.h"
#include "host/cim/ObjectSink.h"
#include "host/cim/PathParserRegistration.h"
#include "provider/request/document/HostName.h"
#include "provider/wmi/CQVProvider.h"
#include "provider/wmi/WbemResult.h"
#include "tests/provider/request/RequestFiles.h"
#include "tests/provider/wmi/PropertyText.h"
#include "tests/support/DiagnosticLines.h"

namespace {

using qrv::com::Bstr;
using qrv::cim::CQVProvider;
using qrv::cim::hostName;
using qrv::com::toWide;
using qrv::cim::wbemResult;
using qrv::test::propertyText;
using qrv::test::textStylesheet;
using qrv::test::writeRegistration;
using qrv::test::writeXslRootFile;

const char* const kMof = R"(
#pragma namespace("\\\\.\\root\\cimv2")
class Fan
{
  [key] string Name;
  [key] uint32 Index;
  uint32 Levels[];
  datetime Installed;
};
class Unregistered
{
  [key] string Name;
};
class Config
{
  string Mode;
};
)";

// A stylesheet whose result text is `text`, whatever the request.
std::string fixedResult(const std::string& text) { return textStylesheet("<xsl:text>" + text + "</xsl:text>"); }

// Echoes the two keys of a get back as the instance's properties.
const std::string kEchoKeys = textStylesheet(
    "instance of Fan\n{\n"
    "Name = \"<xsl:value-of select=\"QRVCIM/Attributes/*[@name='Name']/@value\"/>\";\n"
    "Index = <xsl:value-of select=\"QRVCIM/Attributes/*[@name='Index']/@value\"/>;\n};\n");

// Registers `className` in root\cimv2 with both operations through the
// stylesheets `enumerateXsl` and `getXsl`, and the attributes given.
void registerClass(const std::string& className, const std::string& enumerateXsl, const std::string& getXsl,
                   const std::string& attributes) {
  std::string file = className;
  std::transform(file.begin(), file.end(), file.begin(), [](unsigned char c) { return std::tolower(c); });
  writeRegistration("root/cimv2/" + file + ".xml",
                    "<Registration><Class name=\"" + className + "\" namespace=\"root\\cimv2\">"
                    "<Enumerate><Conversion app=\"t\" area=\"xsl\" name=\"" + enumerateXsl + "\"/></Enumerate>"
                    "<Get><Conversion app=\"t\" area=\"xsl\" name=\"" + getXsl + "\"/></Get>" +
                    attributes + "</Class></Registration>");
}

const std::string kFanKeys =
    "<Attribute name=\"Name\" required=\"true\"/><Attribute name=\"Index\" required=\"false\"/>";

// What a sink heard from one operation, and the operation's result.
struct Outcome {
  HRESULT result;
  std::vector<wmihost::SinkStatus> statuses;
  std::vector<qrv::com::ComPtr<IWbemClassObject>> objects;
};

// The one completion status an operation must report, carrying `result`.
void expectCompletedWith(const Outcome& outcome, HRESULT result) {
  EXPECT_EQ(outcome.result, result);
  ASSERT_EQ(outcome.statuses.size(), 1u);
  EXPECT_EQ(outcome.statuses[0].flags, WBEM_STATUS_COMPLETE);
  EXPECT_EQ(outcome.statuses[0].result, result);
  EXPECT_FALSE(outcome.statuses[0].text);
  EXPECT_FALSE(outcome.statuses[0].object);
}

// A get the provider refuses, and the lines it writes on the way.
struct RefusedGet {
  std::u16string path;
  HRESULT result;
  std::vector<std::string> lines;
};

class Provider : public testing::Test {
 protected:
  void SetUp() override {
    repository_->loadText(kMof, "fan.mof");
    services_ = wmihost::NamespaceServices::create(repository_, "root\\cimv2");
    pathParser_.emplace();
    provider_ = qrv::com::ComPtr<CQVProvider>::share(
        new CQVProvider([this](DWORD milliseconds) { pauses_.push_back(milliseconds); }));
  }

  HRESULT initialize(DWORD level = RPC_C_IMP_LEVEL_IMPERSONATE) { return initialize(*provider_, level); }

  HRESULT initialize(CQVProvider& provider, DWORD level = RPC_C_IMP_LEVEL_IMPERSONATE) {
    wmihost::ClientCall call(level);
    std::u16string nameSpace = u"root\\cimv2";
    return provider.Initialize(nullptr, 0, nameSpace.data(), nullptr, services_.get(), nullptr, initSink_.get());
  }

  Outcome enumerate(const std::u16string& className, DWORD level = RPC_C_IMP_LEVEL_IMPERSONATE) {
    return run(&CQVProvider::CreateInstanceEnumAsync, className, level);
  }

  Outcome get(const std::u16string& objectPath, DWORD level = RPC_C_IMP_LEVEL_IMPERSONATE) {
    return run(&CQVProvider::GetObjectAsync, objectPath, level);
  }

  // The get fails with its code, delivers nothing and writes exactly its
  // lines.
  void expectRefused(const RefusedGet& refused) {
    qrv::test::DiagnosticLines lines;
    const Outcome outcome = get(refused.path);
    expectCompletedWith(outcome, refused.result);
    EXPECT_TRUE(outcome.objects.empty());
    EXPECT_EQ(lines.lines(), refused.lines);
  }

  // Calls an asynchronous operation for a client of `level` and checks that
  // the thread is not left impersonating.
  Outcome run(HRESULT (STDMETHODCALLTYPE CQVProvider::*operation)(BSTR, LONG, IWbemContext*, IWbemObjectSink*),
              const std::u16string& text, DWORD level) {
    const Bstr argument(text);
    auto sink = wmihost::ObjectSink::create();
    wmihost::ClientCall call(level);
    const HRESULT result = ((*provider_).*operation)(argument.get(), 0, nullptr, sink.get());
    EXPECT_FALSE(compat::isImpersonating());
    return {result, sink->statuses(), sink->objects()};
  }

  std::shared_ptr<wmihost::ClassRepository> repository_ = std::make_shared<wmihost::ClassRepository>();
  qrv::com::ComPtr<wmihost::NamespaceServices> services_;
  qrv::com::ComPtr<wmihost::InitSink> initSink_ = wmihost::InitSink::create();
  std::optional<wmihost::PathParserRegistration> pathParser_;
  std::vector<DWORD> pauses_;
  qrv::com::ComPtr<CQVProvider> provider_;
};

TEST_F(Provider, InitializePausesSixSecondsThenReportsSuccessToItsSink) {
  EXPECT_EQ(initialize(), WBEM_S_NO_ERROR);
  EXPECT_EQ(pauses_, std::vector<DWORD>{6000});
  const auto statuses = initSink_->statuses();
  ASSERT_EQ(statuses.size(), 1u);
  EXPECT_EQ(statuses[0].status, WBEM_S_INITIALIZED);
  EXPECT_EQ(statuses[0].flags, 0);
}

TEST_F(Provider, InitializeFailuresAreReturnedWithoutASinkCall) {
  {
    wmihost::ClientCall call(RPC_C_IMP_LEVEL_IMPERSONATE);
    EXPECT_EQ(provider_->Initialize(nullptr, 0, nullptr, nullptr, nullptr, nullptr, initSink_.get()),
              wbemResult(WBEM_E_INVALID_PARAMETER));
    EXPECT_EQ(provider_->Initialize(nullptr, 0, nullptr, nullptr, services_.get(), nullptr, nullptr),
              wbemResult(WBEM_E_INVALID_PARAMETER));
  }
  EXPECT_EQ(initialize(RPC_C_IMP_LEVEL_IDENTIFY), wbemResult(WBEM_E_ACCESS_DENIED));
  pathParser_.reset();
  EXPECT_EQ(initialize(), wbemResult(WBEM_E_INITIALIZATION_FAILURE));
  EXPECT_EQ(pauses_, std::vector<DWORD>(4, 6000));
  EXPECT_TRUE(initSink_->statuses().empty());
  EXPECT_FALSE(compat::isImpersonating());
}

TEST_F(Provider, AnEnumerationDeliversEveryInstanceThatFillsAndReportsTheLast) {
  writeXslRootFile("t/xsl/fans.xsl", fixedResult(
      "instance of Fan\n{\nName = \"a\";\nLevels[0] = 1;\nLevels[1] = 2;\nInstalled = 1000000000;\n};\n"
      "instance of Fan\n{\nName = \"b\";\nLevels[0] = x;\n};\n"
      "instance of Fan\n{\nName = \"c\";\nIndex = 3;\nInstalled = \"interval:93784\";\n};\n"));
  registerClass("Fan", "fans.xsl", "fans.xsl", kFanKeys);
  ASSERT_EQ(initialize(), WBEM_S_NO_ERROR);

  const Outcome outcome = enumerate(u"Fan");
  expectCompletedWith(outcome, WBEM_S_NO_ERROR);
  ASSERT_EQ(outcome.objects.size(), 2u);
  EXPECT_EQ(propertyText(outcome.objects[0].get(), "Name"), "a");
  EXPECT_EQ(propertyText(outcome.objects[0].get(), "Levels"), "{1,2}");
  EXPECT_EQ(propertyText(outcome.objects[0].get(), "Installed"), "20010909014640.000000-000");
  EXPECT_EQ(propertyText(outcome.objects[1].get(), "Name"), "c");
  EXPECT_EQ(propertyText(outcome.objects[1].get(), "Index"), "3");
  EXPECT_EQ(propertyText(outcome.objects[1].get(), "Installed"), "00000001020304.000000:000");
}

TEST_F(Provider, AnEnumerationWhoseLastInstanceFailsToFillIsNotCapable) {
  writeXslRootFile("t/xsl/fans.xsl", fixedResult("instance of Fan\n{\nName = \"a\";\n};\n"
                                                 "instance of Fan\n{\nName = \"b\";\nLevels[0] = x;\n};\n"));
  registerClass("Fan", "fans.xsl", "fans.xsl", kFanKeys);
  ASSERT_EQ(initialize(), WBEM_S_NO_ERROR);

  const Outcome outcome = enumerate(u"Fan");
  expectCompletedWith(outcome, wbemResult(WBEM_E_PROVIDER_NOT_CAPABLE));
  EXPECT_EQ(outcome.objects.size(), 1u);
}

// The front end's lines: the instance it drops, why a request stopped, the
// get that found nothing, the refused caller, and each failure's answer.
TEST_F(Provider, EveryDroppedInstanceAndFailedRequestIsReported) {
  writeXslRootFile("t/xsl/fans.xsl", fixedResult("instance of Fan\n{\nName = \"a\";\n};\n"
                                                 "instance of Fan\n{\nName = \"b\";\nLevels[0] = x;\n};\n"));
  writeXslRootFile("t/xsl/empty.xsl", fixedResult(""));
  registerClass("Fan", "fans.xsl", "empty.xsl", kFanKeys);
  ASSERT_EQ(initialize(), WBEM_S_NO_ERROR);
  const struct {
    std::function<Outcome()> run;
    std::vector<std::string> lines;
  } cases[] = {
      {[this] { return enumerate(u"Fan"); },
       {"wexi: dropped Fan.Levels = {\"x\"}: WMI refused it as uint32[] with 0x80041005\n",
        "wexi: dropped an instance of Fan (Levels[0] = \"x\", Name = \"b\"): an array could not be put: 0x80041005\n",
        "wexi: an enumeration of Fan answers 0x80041024\n"}},
      {[this] { return get(u"Fan.Name=\"z\""); },
       {"wexi: a get of Fan.Name=\"z\" found nothing: the stylesheet wrote no statement\n",
        "wexi: a get of Fan.Name=\"z\" answers 0x80041002\n"}},
      {[this] { return enumerate(u"Fan", RPC_C_IMP_LEVEL_IDENTIFY); },
       {"wexi: the caller is refused: its impersonation level is 2, and at least 3 (impersonate) is needed\n",
        "wexi: an enumeration of Fan answers 0x80041003\n"}},
  };
  for (const auto& c : cases) {
    qrv::test::DiagnosticLines lines;
    c.run();
    EXPECT_EQ(lines.lines(), c.lines);
  }
}

TEST_F(Provider, RequestFailuresAreFilteredAndWmiFailuresReportedUnchanged) {
  writeXslRootFile("t/xsl/broken.xsl", "<xsl:stylesheet");
  registerClass("Fan", "broken.xsl", "broken.xsl", kFanKeys);
  registerClass("Ghost", "broken.xsl", "broken.xsl", "");
  ASSERT_EQ(initialize(), WBEM_S_NO_ERROR);

  expectCompletedWith(enumerate(u"Fan"), wbemResult(WBEM_E_PROVIDER_NOT_CAPABLE));
  expectCompletedWith(enumerate(u"Unregistered"), wbemResult(WBEM_E_ACCESS_DENIED));
  // WMI does not know Ghost: an enumeration fetches the class first.
  expectCompletedWith(enumerate(u"Ghost"), wbemResult(WBEM_E_NOT_FOUND));
  expectCompletedWith(get(u"Unregistered.Name=\"x\""), wbemResult(WBEM_E_ACCESS_DENIED));
}

TEST_F(Provider, AGetHandsTheUnescapedKeysToTheRequest) {
  writeXslRootFile("t/xsl/echo.xsl", kEchoKeys);
  registerClass("Fan", "echo.xsl", "echo.xsl", kFanKeys);
  ASSERT_EQ(initialize(), WBEM_S_NO_ERROR);

  const Outcome outcome = get(uR"(Fan.Name="CPU \"A\"",Index="2")");
  expectCompletedWith(outcome, WBEM_S_NO_ERROR);
  ASSERT_EQ(outcome.objects.size(), 1u);
  EXPECT_EQ(propertyText(outcome.objects[0].get(), "Name"), "CPU \"A\"");
  EXPECT_EQ(propertyText(outcome.objects[0].get(), "Index"), "2");
}

// A control character in a key made the request document ill-formed and the
// get failed as a transform would; it is a bad path, refused before any file
// is read. A line feed in an attribute would read back as a space.
TEST_F(Provider, AGetWithAControlCharacterInAKeyIsABadPath) {
  writeXslRootFile("t/xsl/echo.xsl", kEchoKeys);
  registerClass("Fan", "echo.xsl", "echo.xsl", kFanKeys);
  ASSERT_EQ(initialize(), WBEM_S_NO_ERROR);

  for (const std::u16string path : {u"Fan.Name=\"a\x01\",Index=2", u"Fan.Name=\"a\nb\",Index=2",
                                    u"Fan.Name=\"a\",Index=\t2", u"Fan.Na\x1Fme=\"a\",Index=2",
                                    u"Fan.Name=\"\uFFFF\",Index=2", u"Fan.Name=\"\uFFFE\",Index=2"}) {
    const Outcome outcome = get(path);
    expectCompletedWith(outcome, wbemResult(WBEM_E_INVALID_OBJECT_PATH));
    EXPECT_TRUE(outcome.objects.empty());
  }
  expectCompletedWith(get(u"Fan.Name=\"a\x7F\u00E9\",Index=2"), WBEM_S_NO_ERROR);
}

TEST_F(Provider, AGetOfAPathWithoutKeysNeedsAClassWithoutRequiredKeys) {
  writeXslRootFile("t/xsl/one.xsl", fixedResult("instance of Fan\n{\nName = \"only\";\n};\n"));
  writeXslRootFile("t/xsl/empty.xsl", fixedResult(""));
  registerClass("Fan", "one.xsl", "one.xsl", "<Attribute name=\"Name\" required=\"false\"/>");
  registerClass("Unregistered", "empty.xsl", "empty.xsl", "<Attribute name=\"Name\" required=\"true\"/>");
  ASSERT_EQ(initialize(), WBEM_S_NO_ERROR);

  const Outcome fan = get(u"Fan");
  expectCompletedWith(fan, WBEM_S_NO_ERROR);
  ASSERT_EQ(fan.objects.size(), 1u);
  EXPECT_EQ(propertyText(fan.objects[0].get(), "Name"), "only");
  // A missing required key stops the request.
  const Outcome missingKey = get(u"Unregistered");
  expectCompletedWith(missingKey, wbemResult(WBEM_E_PROVIDER_NOT_CAPABLE));
  EXPECT_TRUE(missingKey.objects.empty());
}

TEST_F(Provider, AGetThatMatchesNothingIsNotFoundAndDeliversNoInstance) {
  writeXslRootFile("t/xsl/empty.xsl", fixedResult("instance of Fan\n{\n};\n"));
  registerClass("Fan", "empty.xsl", "empty.xsl", kFanKeys);
  registerClass("Ghost", "empty.xsl", "empty.xsl", "");
  ASSERT_EQ(initialize(), WBEM_S_NO_ERROR);

  const Outcome outcome = get(u"Fan.Name=\"x\"");
  expectCompletedWith(outcome, wbemResult(WBEM_E_NOT_FOUND));
  EXPECT_TRUE(outcome.objects.empty());
  expectCompletedWith(get(u"Ghost.Name=\"x\""), wbemResult(WBEM_E_NOT_FOUND));
}

// This machine and namespace in any spelling, key values in either quotes,
// and a value without a key name for the one key the registration requires.
TEST_F(Provider, AGetReadsPathsAsWmiWritesThem) {
  writeXslRootFile("t/xsl/echo.xsl", kEchoKeys);
  registerClass("Fan", "echo.xsl", "echo.xsl", kFanKeys);
  ASSERT_EQ(initialize(), WBEM_S_NO_ERROR);

  const std::u16string thisMachine = u"\\\\" + toWide(hostName()) + u"\\ROOT\\CIMV2:";
  for (const std::u16string& path : {std::u16string(uR"(\\.\root\cimv2:Fan.name="C:\\",INDEX=2)"),
                                     std::u16string(uR"(root\cimv2:Fan.Name="C:\\",Index=2)"),
                                     std::u16string(uR"(//localhost/root/cimv2:Fan.Name='C:\\',Index='2')"),
                                     std::u16string(uR"(Fan.Name='C:\\',Index=2)"),
                                     thisMachine + uR"(Fan.Name="C:\\",Index=2)"}) {
    const Outcome outcome = get(path);
    expectCompletedWith(outcome, WBEM_S_NO_ERROR);
    ASSERT_EQ(outcome.objects.size(), 1u);
    EXPECT_EQ(propertyText(outcome.objects[0].get(), "Name"), "C:\\");
    EXPECT_EQ(propertyText(outcome.objects[0].get(), "Index"), "2");
  }
  for (const std::u16string& path : {std::u16string(uR"(Fan="it's")"), std::u16string(uR"(Fan='it\'s')"),
                                     thisMachine + uR"(Fan="it's")"}) {
    const Outcome outcome = get(path);
    expectCompletedWith(outcome, WBEM_S_NO_ERROR);
    ASSERT_EQ(outcome.objects.size(), 1u);
    EXPECT_EQ(propertyText(outcome.objects[0].get(), "Name"), "it's");
  }
}

TEST_F(Provider, TheSingletonIsTheInstanceOfAClassThatRequiresNoKey) {
  writeXslRootFile("t/xsl/config.xsl", fixedResult("instance of Config\n{\nMode = \"quiet\";\n};\n"));
  registerClass("Config", "config.xsl", "config.xsl", "<Attribute name=\"Mode\" required=\"false\"/>");
  ASSERT_EQ(initialize(), WBEM_S_NO_ERROR);

  const Outcome outcome = get(u"Config=@");
  expectCompletedWith(outcome, WBEM_S_NO_ERROR);
  ASSERT_EQ(outcome.objects.size(), 1u);
  EXPECT_EQ(propertyText(outcome.objects[0].get(), "Mode"), "quiet");
}

// Class=value names the one key the registration requires, and Class=@ a
// class that requires none: any other count is a path that does not fit,
// refused before the request reads a file. A class without a registration
// is refused as every request for it is.
TEST_F(Provider, AValueWithoutAKeyNameOrTheSingletonMustFitTheRegistration) {
  writeXslRootFile("t/xsl/echo.xsl", kEchoKeys);
  registerClass("Fan", "echo.xsl", "echo.xsl",
                "<Attribute name=\"Name\" required=\"true\"/><Attribute name=\"Index\" required=\"true\"/>");
  registerClass("Config", "missing.xsl", "missing.xsl", "");
  ASSERT_EQ(initialize(), WBEM_S_NO_ERROR);
  const RefusedGet cases[] = {
      {u"Fan=\"x\"", wbemResult(WBEM_E_INVALID_OBJECT_PATH),
       {"wexi: a get of Fan=\"x\" does not fit the registration of Fan: a value without a key name needs one key, "
        "and it requires Name, Index\n",
        "wexi: a get of Fan=\"x\" answers 0x8004103A\n"}},
      {u"Fan=@", wbemResult(WBEM_E_INVALID_OBJECT_PATH),
       {"wexi: a get of Fan=@ does not fit the registration of Fan: @ names a class without keys, and it requires "
        "Name, Index\n",
        "wexi: a get of Fan=@ answers 0x8004103A\n"}},
      {u"Config='x'", wbemResult(WBEM_E_INVALID_OBJECT_PATH),
       {"wexi: a get of Config='x' does not fit the registration of Config: a value without a key name needs one "
        "key, and it requires none\n",
        "wexi: a get of Config='x' answers 0x8004103A\n"}},
  };
  for (const RefusedGet& refused : cases) expectRefused(refused);
  expectCompletedWith(get(u"Nowhere=\"x\""), wbemResult(WBEM_E_ACCESS_DENIED));
  expectCompletedWith(get(u"Nowhere=@"), wbemResult(WBEM_E_ACCESS_DENIED));
}

// Another machine is refused as WMI refuses one it cannot reach, another
// namespace as one that does not exist; the server is judged first. Neither
// reads a file: the only lines are the refusal and the answer.
TEST_F(Provider, AGetOfAnotherMachineOrNamespaceIsRefused) {
  writeXslRootFile("t/xsl/echo.xsl", kEchoKeys);
  registerClass("Fan", "echo.xsl", "echo.xsl", kFanKeys);
  ASSERT_EQ(initialize(), WBEM_S_NO_ERROR);
  const HRESULT unreachable = static_cast<HRESULT>(0x800706BAu);
  const RefusedGet cases[] = {
      {uR"(\\server01\root\cimv2:Fan.Name="x")", unreachable,
       {"wexi: a get of \\\\server01\\root\\cimv2:Fan.Name=\"x\" names the server server01, which is not this "
        "machine\n",
        "wexi: a get of \\\\server01\\root\\cimv2:Fan.Name=\"x\" answers 0x800706BA\n"}},
      {uR"(//server01/root/cimv3:Fan="x")", unreachable,
       {"wexi: a get of //server01/root/cimv3:Fan=\"x\" names the server server01, which is not this machine\n",
        "wexi: a get of //server01/root/cimv3:Fan=\"x\" answers 0x800706BA\n"}},
      {uR"(root\cimv3:Fan.Name="x")", wbemResult(WBEM_E_INVALID_NAMESPACE),
       {"wexi: a get of root\\cimv3:Fan.Name=\"x\" names the namespace root\\cimv3, and the provider serves "
        "root\\cimv2\n",
        "wexi: a get of root\\cimv3:Fan.Name=\"x\" answers 0x8004100E\n"}},
      {uR"(\\.\root:Fan='x')", wbemResult(WBEM_E_INVALID_NAMESPACE),
       {"wexi: a get of \\\\.\\root:Fan='x' names the namespace root, and the provider serves root\\cimv2\n",
        "wexi: a get of \\\\.\\root:Fan='x' answers 0x8004100E\n"}},
  };
  for (const RefusedGet& refused : cases) expectRefused(refused);
}

TEST_F(Provider, CallersBelowTheImpersonateLevelAreRefusedBeforeAnyFileIsRead) {
  writeXslRootFile("t/xsl/first.xsl", fixedResult("instance of Fan\n{\nName = \"first\";\n};\n"));
  writeXslRootFile("t/xsl/second.xsl", fixedResult("instance of Fan\n{\nName = \"second\";\n};\n"));
  registerClass("Fan", "first.xsl", "first.xsl", "");
  ASSERT_EQ(initialize(), WBEM_S_NO_ERROR);

  const HRESULT anonymous = static_cast<HRESULT>(0x80070000u | ERROR_CANT_OPEN_ANONYMOUS);
  expectCompletedWith(enumerate(u"Fan", RPC_C_IMP_LEVEL_IDENTIFY), wbemResult(WBEM_E_ACCESS_DENIED));
  expectCompletedWith(get(u"Fan.Name=\"x\"", RPC_C_IMP_LEVEL_IDENTIFY), wbemResult(WBEM_E_ACCESS_DENIED));
  expectCompletedWith(enumerate(u"Fan", RPC_C_IMP_LEVEL_ANONYMOUS), anonymous);
  expectCompletedWith(get(u"Fan", RPC_C_IMP_LEVEL_ANONYMOUS), anonymous);
  {
    wmihost::ClientCall call(RPC_C_IMP_LEVEL_IDENTIFY);
    auto sink = wmihost::ObjectSink::create();
    EXPECT_EQ(provider_->ExecQueryAsync(nullptr, nullptr, 0, nullptr, sink.get()),
              wbemResult(WBEM_E_ACCESS_DENIED));
    EXPECT_TRUE(sink->statuses().empty());
  }

  // Had a refused call read the registration, the cache would still serve first.xsl.
  registerClass("Fan", "second.xsl", "second.xsl", "");
  const Outcome outcome = enumerate(u"Fan", RPC_C_IMP_LEVEL_DELEGATE);
  expectCompletedWith(outcome, WBEM_S_NO_ERROR);
  ASSERT_EQ(outcome.objects.size(), 1u);
  EXPECT_EQ(propertyText(outcome.objects[0].get(), "Name"), "second");
}

TEST_F(Provider, AFailedTokenQueryIsReportedAsItsWin32ErrorAndTheThreadReverts) {
  ASSERT_EQ(initialize(), WBEM_S_NO_ERROR);
  compat::ClientCall failing;
  failing.tokenInformationError = ERROR_ACCESS_DENIED;
  compat::ClientCallScope call(failing);
  const Bstr name(u"Fan");
  auto sink = wmihost::ObjectSink::create();
  const HRESULT result = provider_->CreateInstanceEnumAsync(name.get(), 0, nullptr, sink.get());
  expectCompletedWith({result, sink->statuses(), sink->objects()}, E_ACCESSDENIED);
  EXPECT_FALSE(compat::isImpersonating());
  EXPECT_EQ(provider_->ExecQueryAsync(nullptr, nullptr, 0, nullptr, sink.get()), E_ACCESSDENIED);
}

TEST_F(Provider, MissingArgumentsAreRefusedWithoutASinkCall) {
  ASSERT_EQ(initialize(), WBEM_S_NO_ERROR);
  wmihost::ClientCall call(RPC_C_IMP_LEVEL_IMPERSONATE);
  const Bstr name(u"Fan");
  const Bstr empty(u"");
  const Bstr dotFirst(u".Name=\"x\"");
  auto sink = wmihost::ObjectSink::create();
  const HRESULT invalid = wbemResult(WBEM_E_INVALID_PARAMETER);
  EXPECT_EQ(provider_->CreateInstanceEnumAsync(name.get(), 0, nullptr, nullptr), invalid);
  EXPECT_EQ(provider_->CreateInstanceEnumAsync(nullptr, 0, nullptr, sink.get()), invalid);
  EXPECT_EQ(provider_->CreateInstanceEnumAsync(empty.get(), 0, nullptr, sink.get()), invalid);
  EXPECT_EQ(provider_->GetObjectAsync(name.get(), 0, nullptr, nullptr), invalid);
  EXPECT_EQ(provider_->GetObjectAsync(nullptr, 0, nullptr, sink.get()), invalid);
  EXPECT_EQ(provider_->GetObjectAsync(dotFirst.get(), 0, nullptr, sink.get()), invalid);
  EXPECT_TRUE(sink->statuses().empty());
}

TEST_F(Provider, EveryOtherOperationDeclinesWithItsFixedCode) {
  auto sink = wmihost::ObjectSink::create();
  IWbemObjectSink* s = sink.get();
  const HRESULT notSupported = wbemResult(WBEM_E_NOT_SUPPORTED);
  const HRESULT notImplemented = wbemResult(WBEM_E_METHOD_NOT_IMPLEMENTED);
  CQVProvider& p = *provider_;
  EXPECT_EQ(p.OpenNamespace(nullptr, 0, nullptr, nullptr, nullptr), notSupported);
  EXPECT_EQ(p.CancelAsyncCall(s), notSupported);
  EXPECT_EQ(p.QueryObjectSink(0, nullptr), notSupported);
  EXPECT_EQ(p.GetObject(nullptr, 0, nullptr, nullptr, nullptr), notSupported);
  EXPECT_EQ(p.PutClass(nullptr, 0, nullptr, nullptr), notSupported);
  EXPECT_EQ(p.PutClassAsync(nullptr, 0, nullptr, s), notSupported);
  EXPECT_EQ(p.DeleteClass(nullptr, 0, nullptr, nullptr), notSupported);
  EXPECT_EQ(p.DeleteClassAsync(nullptr, 0, nullptr, s), notSupported);
  EXPECT_EQ(p.CreateClassEnum(nullptr, 0, nullptr, nullptr), notSupported);
  EXPECT_EQ(p.CreateClassEnumAsync(nullptr, 0, nullptr, s), notSupported);
  EXPECT_EQ(p.PutInstance(nullptr, 0, nullptr, nullptr), notSupported);
  EXPECT_EQ(p.PutInstanceAsync(nullptr, 0, nullptr, s), notImplemented);
  EXPECT_EQ(p.DeleteInstance(nullptr, 0, nullptr, nullptr), notSupported);
  EXPECT_EQ(p.DeleteInstanceAsync(nullptr, 0, nullptr, s), notImplemented);
  EXPECT_EQ(p.CreateInstanceEnum(nullptr, 0, nullptr, nullptr), notSupported);
  EXPECT_EQ(p.ExecQuery(nullptr, nullptr, 0, nullptr, nullptr), notSupported);
  EXPECT_EQ(p.ExecNotificationQuery(nullptr, nullptr, 0, nullptr, nullptr), notSupported);
  EXPECT_EQ(p.ExecNotificationQueryAsync(nullptr, nullptr, 0, nullptr, s), notSupported);
  EXPECT_EQ(p.ExecMethod(nullptr, nullptr, 0, nullptr, nullptr, nullptr, nullptr), notSupported);
  EXPECT_EQ(p.ExecMethodAsync(nullptr, nullptr, 0, nullptr, nullptr, s), notImplemented);
  {
    wmihost::ClientCall call(RPC_C_IMP_LEVEL_IMPERSONATE);
    EXPECT_EQ(p.ExecQueryAsync(nullptr, nullptr, 0, nullptr, s), notSupported);
    EXPECT_FALSE(compat::isImpersonating());
  }
  EXPECT_TRUE(sink->statuses().empty());
  EXPECT_TRUE(sink->objects().empty());
}

TEST_F(Provider, ProviderObjectsServeEnumerationsOnSeveralThreadsAtOnce) {
  writeXslRootFile("t/xsl/two.xsl", fixedResult("instance of Fan\n{\nName = \"a\";\nLevels[0] = 1;\n};\n"
                                                "instance of Fan\n{\nName = \"b\";\nInstalled = 0;\n};\n"));
  registerClass("Fan", "two.xsl", "two.xsl", "");
  auto second = qrv::com::ComPtr<CQVProvider>::share(new CQVProvider([](DWORD) {}));
  ASSERT_EQ(initialize(), WBEM_S_NO_ERROR);
  ASSERT_EQ(initialize(*second), WBEM_S_NO_ERROR);

  const Bstr name(u"Fan");
  std::atomic<int> delivered{0};
  std::vector<std::thread> threads;
  for (CQVProvider* provider : {provider_.get(), second.get()}) {
    threads.emplace_back([&, provider] {
      for (int i = 0; i < 10; ++i) {
        auto sink = wmihost::ObjectSink::create();
        wmihost::ClientCall call(RPC_C_IMP_LEVEL_IMPERSONATE);
        if (provider->CreateInstanceEnumAsync(name.get(), 0, nullptr, sink.get()) == WBEM_S_NO_ERROR &&
            sink->objects().size() == 2) {
          ++delivered;
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(delivered, 20);
}

// What the XML libraries throw: types that derive from no standard exception.
struct LibraryFailure {};

// A sink whose delivery throws `Failure`, as anything the request runs may,
// and that notes whether the thread was still impersonating when the status
// came.
template <class Failure>
class ThrowingSink final
    : public qrv::com::ComObject<qrv::com::Threading::Free,
                                 qrv::com::Implements<IWbemObjectSink, IID_IWbemObjectSink>> {
 public:
  HRESULT STDMETHODCALLTYPE Indicate(LONG, IWbemClassObject**) override { throw Failure(); }
  HRESULT STDMETHODCALLTYPE SetStatus(LONG, HRESULT hResult, BSTR, IWbemClassObject*) override {
    results.push_back(hResult);
    impersonatingAtStatus = compat::isImpersonating();
    return S_OK;
  }

  std::vector<HRESULT> results;
  bool impersonatingAtStatus = true;
};

using ExhaustedSink = ThrowingSink<std::bad_alloc>;

TEST_F(Provider, RunningOutOfMemoryIsReportedOnceAfterReverting) {
  writeXslRootFile("t/xsl/one.xsl", fixedResult("instance of Fan\n{\nName = \"a\";\n};\n"));
  registerClass("Fan", "one.xsl", "one.xsl", "");
  ASSERT_EQ(initialize(), WBEM_S_NO_ERROR);

  const HRESULT outOfMemory = wbemResult(WBEM_E_OUT_OF_MEMORY);
  const Bstr name(u"Fan");
  for (bool enumeration : {true, false}) {
    auto sink = qrv::com::ComPtr<ExhaustedSink>::adopt(new ExhaustedSink);
    wmihost::ClientCall call(RPC_C_IMP_LEVEL_IMPERSONATE);
    const HRESULT result = enumeration ? provider_->CreateInstanceEnumAsync(name.get(), 0, nullptr, sink.get())
                                       : provider_->GetObjectAsync(name.get(), 0, nullptr, sink.get());
    EXPECT_EQ(result, outOfMemory);
    EXPECT_EQ(sink->results, std::vector<HRESULT>{outOfMemory});
    EXPECT_FALSE(sink->impersonatingAtStatus);
    EXPECT_FALSE(compat::isImpersonating());
  }
}

TEST_F(Provider, AnyOtherExceptionIsAProviderFailureReportedOnceAfterReverting) {
  writeXslRootFile("t/xsl/one.xsl", fixedResult("instance of Fan\n{\nName = \"a\";\n};\n"));
  registerClass("Fan", "one.xsl", "one.xsl", "");
  ASSERT_EQ(initialize(), WBEM_S_NO_ERROR);

  const HRESULT failure = wbemResult(WBEM_E_PROVIDER_FAILURE);
  const Bstr name(u"Fan");
  for (bool enumeration : {true, false}) {
    auto sink = qrv::com::ComPtr<ThrowingSink<LibraryFailure>>::adopt(new ThrowingSink<LibraryFailure>);
    wmihost::ClientCall call(RPC_C_IMP_LEVEL_IMPERSONATE);
    const HRESULT result = enumeration ? provider_->CreateInstanceEnumAsync(name.get(), 0, nullptr, sink.get())
                                       : provider_->GetObjectAsync(name.get(), 0, nullptr, sink.get());
    EXPECT_EQ(result, failure);
    EXPECT_EQ(sink->results, std::vector<HRESULT>{failure});
    EXPECT_FALSE(sink->impersonatingAtStatus);
    EXPECT_FALSE(compat::isImpersonating());
  }
}

TEST_F(Provider, AnExceptionDuringInitializeIsAnInitializationFailureWithoutASinkCall) {
  auto failing = qrv::com::ComPtr<CQVProvider>::share(new CQVProvider([](DWORD) { throw LibraryFailure(); }));
  auto exhausted = qrv::com::ComPtr<CQVProvider>::share(new CQVProvider([](DWORD) { throw std::bad_alloc(); }));
  EXPECT_EQ(initialize(*failing), wbemResult(WBEM_E_INITIALIZATION_FAILURE));
  EXPECT_EQ(initialize(*exhausted), wbemResult(WBEM_E_OUT_OF_MEMORY));
  EXPECT_TRUE(initSink_->statuses().empty());
}

TEST_F(Provider, QueryInterfaceAnswersTheProviderInterfacesOnly) {
  void* unknown = nullptr;
  void* services = nullptr;
  void* init = nullptr;
  void* other = &unknown;
  ASSERT_EQ(provider_->QueryInterface(IID_IUnknown, &unknown), S_OK);
  ASSERT_EQ(provider_->QueryInterface(IID_IWbemServices, &services), S_OK);
  ASSERT_EQ(provider_->QueryInterface(IID_IWbemProviderInit, &init), S_OK);
  EXPECT_EQ(unknown, services);
  EXPECT_EQ(init, static_cast<IWbemProviderInit*>(provider_.get()));
  EXPECT_EQ(provider_->QueryInterface(IID_IWbemClassObject, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(provider_->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
  static_cast<IUnknown*>(unknown)->Release();
  static_cast<IUnknown*>(services)->Release();
  EXPECT_EQ(static_cast<IWbemProviderInit*>(init)->Release(), 1u);
}

}  // namespace
