#pragma once

#include <string>
#include <string_view>

namespace qrv::cim {

// Replaces & ' " > < by their entity references in one pass; an "&" that
// already starts a reference is escaped all the same.
std::string escapeXml(std::string_view text);

}  // namespace qrv::cim
