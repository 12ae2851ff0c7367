#pragma once
// Text made fit for an XML attribute value in a UTF-8 document.

#include <string>
#include <string_view>

namespace collector {

// The attribute value text of UTF-8 text: & < > " escaped, tab, line feed and
// carriage return as character references (so that a reader's normalisation
// keeps them), and each ill-formed UTF-8 sequence and each character that
// XML 1.0 does not allow (the other C0 controls, unpaired surrogates,
// U+FFFE and U+FFFF) replaced by U+FFFD.
std::string xmlAttributeText(std::string_view utf8);

}  // namespace collector
