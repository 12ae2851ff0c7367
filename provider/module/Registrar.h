#pragma once
// Applies registration tables to the registry.

#include <string>
#include <vector>

#include "provider/module/RegistryEntry.h"
#include "provider/module/RegistryKeys.h"

namespace qrv::cim {

// The text with each %NAME% that `replacements` knows replaced.
std::string expandReplacements(const std::string& text, const Replacements& replacements);

// Writes the entries in table order, so that a key replaced whole is written
// before the keys below it. Stops at the first failure and returns it.
HRESULT writeEntries(RegistryKeys& keys, const std::vector<RegistryEntry>& entries,
                     const Replacements& replacements);

// Removes the entries in reverse table order, so that keys below another
// are gone before it is looked at. Stops at the first failure and returns it.
HRESULT removeEntries(RegistryKeys& keys, const std::vector<RegistryEntry>& entries,
                      const Replacements& replacements);

}  // namespace qrv::cim
