#pragma once
// Publishing the collector's output as the inventory data file.

#include <optional>
#include <string>

namespace rulo {

// Copies strInvOutput to a staging file beside strDataFile, moves the previous
// data file aside (kept under a unique name) and renames the staging file into
// place. Any failure fails the run; a data file that existed before is then
// still, or again, in place. The result is the set-aside copy, when there was
// a previous data file.
std::optional<std::string> PublishInventoryData(const std::string& strInvOutput, const std::string& strDataFile);

}  // namespace rulo
