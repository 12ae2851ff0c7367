#pragma once
// Publishing the collector's output as the inventory data file.

#include <optional>
#include <string>

namespace rulo {

// Copies strInvOutput to a staging file beside strDataFile and puts it in
// place of the data file in one step, the previous data file kept under a
// unique name: a reader finds the old data file or the new one, never none.
// Any failure fails the run, and a data file that existed before is still in
// place. The result is the set-aside copy, when there was a previous data
// file.
std::optional<std::string> PublishInventoryData(const std::string& strInvOutput, const std::string& strDataFile);

}  // namespace rulo
