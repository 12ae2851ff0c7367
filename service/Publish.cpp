#include "service/Publish.h"

#include "service/EventLog.h"
#include "service/Paths.h"
#include "service/RunFailure.h"
#include "service/TextBuffers.h"
#include "service/platform/Platform.h"

namespace rulo {

namespace {

constexpr int kMoveAsideTries = 4;
constexpr DWORD kMoveAsideRetryMs = 5000;

RunFailure PathFailure(const std::string& text) { return RunFailure(FitText(text, kPathBufferSize)); }

RunFailure PublishFailure(const std::string& strDataDir) {
  return PathFailure("Fail to copy Korvex inventory data to " + strDataDir);
}

std::string CreateUniqueFile(Platform& platform, const std::string& strDataDir) {
  const auto path = platform.createUniqueFile(strDataDir, "rulo");
  if (!path) throw PublishFailure(strDataDir);
  return *path;
}

// Renames the data file to setAside, retrying while it is in use.
bool MoveAside(Platform& platform, const std::string& strDataFile, const std::string& setAside) {
  for (int tries = 1;; ++tries) {
    if (platform.moveFile(strDataFile, setAside)) return true;
    if (tries == kMoveAsideTries) return false;
    platform.sleep(kMoveAsideRetryMs);
  }
}

// Puts the set-aside previous data file back under its own name. The failure
// that led here stays the platform's last error.
void Restore(Platform& platform, const std::string& setAside, const std::string& strDataFile) {
  const DWORD error = platform.lastError();
  if (!platform.moveFile(setAside, strDataFile)) platform.copyFile(setAside, strDataFile);
  platform.setLastError(error);
}

}  // namespace

std::optional<std::string> PublishInventoryData(const std::string& strInvOutput, const std::string& strDataFile) {
  Platform& platform = currentPlatform();
  const std::string strDataDir = SplitPath(strDataFile);
  if (!EnsureDirectory(strDataDir))
    throw PathFailure("Fail to create directory at " + strDataDir + " to save Korvex inventory data");

  const std::string staging = CreateUniqueFile(platform, strDataDir);
  const std::string setAside = CreateUniqueFile(platform, strDataDir);
  if (!platform.copyFile(strInvOutput, staging)) {
    const RunFailure failure = PathFailure("Fail to copy inventory date from " + strInvOutput + " to " + staging);
    // A partial copy would hold its space until a later run succeeds: on a
    // full disk, the very space that run needs.
    platform.deleteFile(staging);
    platform.deleteFile(setAside);
    throw failure;
  }
  platform.deleteFile(setAside);  // only its name is used

  const bool hadDataFile = platform.pathExists(strDataFile);
  if (hadDataFile && !MoveAside(platform, strDataFile, setAside)) throw PublishFailure(strDataDir);
  if (!platform.moveFile(staging, strDataFile)) {
    if (hadDataFile) Restore(platform, setAside, strDataFile);
    throw PublishFailure(strDataDir);
  }

  if (hadDataFile) platform.setNormalAttributes(setAside);
  platform.setNormalAttributes(strInvOutput);
  ReportServiceEvent("Korvex Quorvane Inventory data for WMI gets updated successfully", EventSuccess);
  return hadDataFile ? std::optional<std::string>(setAside) : std::nullopt;
}

}  // namespace rulo
