#pragma once

#include <string>
#include <string_view>

namespace qrv::cim {

// Replaces & ' " > < by their entity references in one pass; an "&" that
// already starts a reference is escaped all the same.
std::string escapeXml(std::string_view text);

// The text that escapeXml turned into `escaped`: each of the five entity
// references it writes becomes its character again; anything else is copied.
std::string unescapeXml(std::string_view escaped);

}  // namespace qrv::cim
