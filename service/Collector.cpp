#include "service/Collector.h"

#include <new>

#include "service/Config.h"
#include "service/EventLog.h"
#include "service/RunFailure.h"
#include "service/ScopedHandle.h"
#include "service/TextBuffers.h"

namespace rulo {

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string RequireFit(std::string text, const std::string& failureText) {
  if (!FitsBuffer(text, kPathBufferSize)) throw RunFailure(FitText(failureText, kMessageBufferSize));
  return text;
}

// The failure of a collector that cannot be started: its path and the
// platform's error code and text. Not an exit code, so never retried.
RunFailure LaunchFailure(Platform& platform, const std::string& strInvPath) {
  const DWORD error = platform.lastError();
  std::string text = platform.errorText(error);
  text.erase(text.find_last_not_of(" \r\n") + 1);  // system texts end in a line break
  return RunFailure(FitText("Fail to start Korvex Inventory Collector (error " + SignedText(error) + ": " + text +
                                ").\nstrInvPath=" + strInvPath,
                            kMessageBufferSize),
                    error);
}

}  // namespace

std::string CollectorParameters(const std::string& strInvPath, const std::string& strInvOutput,
                                const std::string& strInvLog) {
  std::string parameters = "-outc=" + Quoted(strInvOutput) + " -logc=" + Quoted(strInvLog);
  if (currentPlatform().hasPaddingMarker(strInvPath)) parameters = ReadConfigText("Padding") + " " + parameters;
  return RequireFit(parameters, "Korvex Inventory Collector arguments are longer than 259 characters: " + parameters);
}

DWORD LaunchCollector(const std::string& strInvPath, bool bShow, const std::string& strInvParameters,
                      const std::string& workingDirectory, DWORD dwTimeout) {
  Platform& platform = currentPlatform();
  platform.setLastError(0);
  const std::string commandLine =
      RequireFit(Quoted(strInvPath) + " " + strInvParameters,
                 "Korvex Inventory Collector command line is longer than 259 characters.\nstrInvPath=" + strInvPath +
                     ", strInvParameters=" + strInvParameters);
  ScopedHandle process(platform, platform.createProcess(strInvPath, commandLine, workingDirectory, bShow), CloseProcessHandle);
  if (!process) throw LaunchFailure(platform, strInvPath);
  platform.waitForProcess(process.get(), dwTimeout);
  if (const auto exitCode = platform.processExitCode(process.get())) return *exitCode;
  const DWORD error = platform.lastError();
  ReportServiceEvent("Process could not exit successfully.", EventError);
  return error;
}

std::vector<char> ReadCollectorLog(const std::string& strInvLog) {
  Platform& platform = currentPlatform();
  const std::uint64_t size = platform.fileSize(strInvLog).value_or(0);
  try {
    return platform.readFile(strInvLog, size).value_or(std::vector<char>());
  } catch (const std::bad_alloc&) {
    return std::vector<char>();
  }
}

}  // namespace rulo
