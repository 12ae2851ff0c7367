#pragma once
// For programs whose code under test finds its files relative to the
// location of its own module.

#include <functional>
#include <string>

namespace qrv::test {

// Runs a copy of this program from <fresh temporary root>/bin/ with the same
// arguments, after `prepare` has laid out what else the copy needs below
// the root; relocatedRoot() names the root in the copy. Removes the root
// afterwards and returns the copy's exit status (128 + the signal when one
// ended it).
int runRelocatedCopy(char** argv, const std::function<void(const std::string& root)>& prepare = {});

}  // namespace qrv::test
