// korvex-collector.exe [padding ...] -outc="FILE" -logc="FILE"
//
// Writes this computer's inventory as XML to the -outc file (whole or not at
// all) and a line for each source that failed, or each gap a source did
// without, to the -logc file. Exit status: 0 every source answered, 1 some
// failed (the document holds the others), 2 none answered, the arguments are
// wrong or the output cannot be written.

#include <windows.h>

#include <cstdio>
#include <ctime>
#include <stdexcept>

#include "collector/CollectorArguments.h"
#include "collector/Inventory.h"
#include "collector/win32/ComputerSource.h"
#include "collector/win32/DiskSource.h"
#include "collector/win32/FirmwareTable.h"
#include "collector/win32/MemorySource.h"
#include "collector/win32/NetworkSource.h"
#include "collector/win32/ProcessorSource.h"
#include "collector/win32/SoftwareSource.h"
#include "collector/win32/WholeFile.h"
#include "collector/win32/WideText.h"

namespace collector {
namespace {

const char* const kUsage =
    "usage: korvex-collector.exe [PADDING ...] -outc=\"FILE\" -logc=\"FILE\"\n"
    "       korvex-collector.exe --help\n"
    "\n"
    "Writes this computer's inventory as an XML document (docs/inventory-format.md)\n"
    "to FILE of -outc, and a line for each failed source, and for the outcome, to\n"
    "FILE of -logc (standard error without it). Arguments other than -outc and -logc\n"
    "(a padding text) are passed over. FILE of -outc is written whole or not at all:\n"
    "a temporary file beside it replaces it.\n"
    "\n"
    "Sources (no WMI):\n"
    "  System           the computer name and GetTickCount64\n"
    "  Computer         SMBIOS types 1 and 3 (GetSystemFirmwareTable)\n"
    "  Processors       GetLogicalProcessorInformationEx, the registry's\n"
    "                   CentralProcessor keys and SMBIOS type 4\n"
    "  Memory           GlobalMemoryStatusEx; SMBIOS types 16 and 17\n"
    "  NetworkAdapters  GetAdaptersAddresses and the drivers' registry keys\n"
    "  Disks            the storage IOCTLs of each PhysicalDrive and the volume APIs\n"
    "  Packages         the Uninstall keys of the 64- and 32-bit registry views\n"
    "\n"
    "A value a source does not give is left out of the document.\n"
    "\n"
    "Exit codes:\n"
    "  0  every source answered\n"
    "  1  some sources failed; the log names each, the document holds the others\n"
    "  2  no source answered, no -outc was given, or FILE cannot be written\n";

std::vector<Source> sources(std::int64_t now, const FirmwareSmbios& smbios) {
  return {
      {"system", [now](Notes&) { return systemElement(now); }},
      {"computer", [&smbios](Notes& notes) { return computerElement(smbios, notes); }},
      {"processors", [&smbios](Notes& notes) { return processorsElement(smbios, notes); }},
      {"memory", [&smbios](Notes& notes) { return memoryElement(smbios, notes); }},
      {"network adapters", [](Notes&) { return networkAdaptersElement(); }},
      {"disks", [](Notes& notes) { return disksElement(notes); }},
      {"software", [](Notes& notes) { return packagesElement(notes); }},
  };
}

// Collects and writes the document; the exit status, with the log's lines.
ExitStatus collectInto(const std::string& outputPath, std::int64_t now, std::vector<std::string>& lines) {
  const FirmwareSmbios smbios = readFirmwareSmbios();
  Inventory inventory = collectInventory(sources(now, smbios), now);
  lines = inventory.logLines;
  if (inventory.status == kNothingCollected) {
    lines.push_back("no source answered: nothing written");
    return kNothingCollected;
  }
  try {
    writeWholeFile(wide(outputPath), xmlDocument(inventory.document));
  } catch (const std::runtime_error& failure) {
    lines.push_back(std::string("cannot write the inventory: ") + failure.what());
    return kNothingCollected;
  }
  lines.push_back("inventory written to " + outputPath + (inventory.failed ? " without the failed sources" : ""));
  return inventory.status;
}

void writeLog(const std::string& logPath, const std::string& text) {
  try {
    if (!logPath.empty()) {
      writeWholeFile(wide(logPath), text);
      return;
    }
  } catch (const std::runtime_error&) {
    // The log goes to standard error instead.
  }
  std::fputs(text.c_str(), stderr);
}

}  // namespace
}  // namespace collector

int wmain(int argc, wchar_t** argv) {
  using namespace collector;
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(utf8(argv[i]));
  const CollectorArguments parsed = parseCollectorArguments(arguments);
  if (parsed.helpAsked) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  const auto now = static_cast<std::int64_t>(std::time(nullptr));
  std::vector<std::string> lines;
  ExitStatus status = kNothingCollected;
  if (parsed.outputPath.empty()) {
    lines.push_back("no -outc=\"FILE\" argument: nothing collected");
  } else {
    status = collectInto(parsed.outputPath, now, lines);
  }
  writeLog(parsed.logPath, logText(lines, now));
  return status;
}
