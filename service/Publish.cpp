#include "service/Publish.h"

#include "service/EventLog.h"
#include "service/Paths.h"
#include "service/RunFailure.h"
#include "service/TextBuffers.h"
#include "service/platform/Platform.h"

namespace rulo {

namespace {

constexpr int kReplaceTries = 4;
constexpr DWORD kReplaceRetryMs = 5000;

RunFailure PathFailure(const std::string& text) { return RunFailure(FitText(text, kPathBufferSize)); }

RunFailure PublishFailure(const std::string& strDataDir) {
  return PathFailure("Fail to copy Korvex inventory data to " + strDataDir);
}

std::string CreateUniqueFile(Platform& platform, const std::string& strDataDir) {
  const auto path = platform.createUniqueFile(strDataDir, "rulo");
  if (!path) throw PublishFailure(strDataDir);
  return *path;
}

// Puts the staging file in place of the data file, keeping the data file
// under the set-aside name; retried while the data file is in use.
bool ReplaceDataFile(Platform& platform, const std::string& strDataFile, const std::string& staging,
                     const std::string& setAside) {
  for (int tries = 1;; ++tries) {
    if (platform.replaceFile(strDataFile, staging, setAside)) return true;
    if (tries == kReplaceTries) return false;
    platform.sleep(kReplaceRetryMs);
  }
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
  const bool placed = hadDataFile ? ReplaceDataFile(platform, strDataFile, staging, setAside)
                                  : platform.moveFile(staging, strDataFile);
  if (!placed) throw PublishFailure(strDataDir);

  if (hadDataFile) platform.setNormalAttributes(setAside);
  platform.setNormalAttributes(strInvOutput);
  ReportServiceEvent("Korvex Quorvane Inventory data for WMI gets updated successfully", EventSuccess);
  return hadDataFile ? std::optional<std::string>(setAside) : std::nullopt;
}

}  // namespace rulo
