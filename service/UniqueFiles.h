#pragma once
// The unique files the run leaves behind: its collector output in the
// collector's folder and the set-aside copy of the previous data file in the
// data folder. Each successful run keeps the newest of each and removes the
// older ones.

#include <string>
#include <vector>

namespace rulo {

// Whether name is one that the platform's unique files with the prefix "rulo"
// take: "rul", one to four hexadecimal digits and ".TMP", in any case, since
// Windows compares names without regard to case.
bool IsUniqueFileName(const std::string& name);

// In the folder of each file of newest, removes every other file with a
// unique name; dataFile is never removed, even when its name has that form.
// Nothing else in those folders is touched, and failures are ignored.
void RemoveOlderUniqueFiles(const std::vector<std::string>& newest, const std::string& dataFile);

}  // namespace rulo
