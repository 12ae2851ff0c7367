#pragma once
// Publishing the collector's output as the inventory data file.

#include <string>

namespace rulo {

// Copies strInvOutput to a staging file beside strDataFile, moves the previous
// data file aside (kept under a unique name) and renames the staging file into
// place. Any failure fails the run; a data file that existed before is then
// still, or again, in place.
void PublishInventoryData(const std::string& strInvOutput, const std::string& strDataFile);

}  // namespace rulo
