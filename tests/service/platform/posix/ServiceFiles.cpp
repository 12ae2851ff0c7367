#include "tests/service/platform/posix/ServiceFiles.h"

#include <cstdio>
#include <filesystem>

#include "tests/support/TempTree.h"

namespace rulo::test {

namespace {

// A text value of a .reg file: quoted, its quotes and backslashes escaped.
std::string regText(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + '"';
}

}  // namespace

ServiceFiles::ServiceFiles(const std::string& prefix) : dir(qrv::test::makeTempDir(prefix)) {
  qrv::test::writeFile(collector,
                       "#!/bin/sh\n"
                       "for a in \"$@\"; do case \"$a\" in -outc=*) out=\"${a#-outc=}\";; -logc=*) log=\"${a#-logc=}\";; "
                       "esac; done\n"
                       "echo $$ > pid\n"
                       "sleep \"$(cat delay 2>/dev/null || echo 0)\"\n"
                       "cat payload > \"$out\"\n"
                       "echo \"collector log\" > \"$log\"\n"
                       "exit \"$(cat code 2>/dev/null || echo 0)\"\n");
  std::filesystem::permissions(collector, std::filesystem::perms::owner_all);
}

ServiceFiles::~ServiceFiles() { qrv::test::removeTree(dir); }

void ServiceFiles::writeRegistry(unsigned timeoutSeconds, unsigned delaySeconds,
                                 const std::string& collectorPath) const {
  char timeout[16];
  char delay[16];
  std::snprintf(timeout, sizeof timeout, "%08x", timeoutSeconds);
  std::snprintf(delay, sizeof delay, "%08x", delaySeconds);
  qrv::test::writeFile(registry, "Windows Registry Editor Version 5.00\n\n"
                                 "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvex\\rulo\\SysInvSrv]\n"
                                 "\"invexecdir\"=" + regText(collectorPath.empty() ? collector : collectorPath) + "\n"
                                 "\"invoutputfile\"=" + regText(dataFile) + "\n"
                                 "\"invtimeout\"=dword:" + timeout + "\n"
                                 "\"startdelaysecond\"=dword:" + delay + "\n");
}

}  // namespace rulo::test
