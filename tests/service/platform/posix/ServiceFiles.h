#pragma once

#include <string>

namespace rulo::test {

// What a collection run on Linux needs, below a fresh directory: a collector
// script in a folder whose name has a blank, the data directory, and a
// registry file naming both. The collector copies the file "payload" beside
// it to its output, writes a log, notes its process id in "pid" and ends
// with the code in "code" (0 without one), after the seconds in "delay".
// The directory goes with the object.
struct ServiceFiles {
  explicit ServiceFiles(const std::string& prefix);
  ~ServiceFiles();
  ServiceFiles(const ServiceFiles&) = delete;
  ServiceFiles& operator=(const ServiceFiles&) = delete;

  // Writes the registry with the collector's time limit, the delay before a
  // run and the collector's path (the script above when empty).
  void writeRegistry(unsigned timeoutSeconds, unsigned delaySeconds = 0, const std::string& collectorPath = "") const;

  const std::string dir;
  const std::string collectorDir = dir + "/inv tools";
  const std::string collector = collectorDir + "/collector.sh";
  const std::string dataDir = dir + "/data";
  const std::string dataFile = dataDir + "/inventory.xml";
  const std::string registry = dir + "/registry.reg";
};

}  // namespace rulo::test
