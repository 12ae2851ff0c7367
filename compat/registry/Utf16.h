#pragma once
// UTF-16LE byte strings, the way the registry stores text, to and from UTF-8.

#include <string>
#include <vector>

namespace qrv::regfile {

// Decodes UTF-16LE bytes; unpaired surrogates become U+FFFD. An odd trailing
// byte is ignored.
std::string utf16leToUtf8(const std::vector<char>& bytes);

// Encodes UTF-8 text as UTF-16LE bytes; each ill-formed sequence (its
// longest well-formed prefix, at least one byte) becomes U+FFFD.
std::vector<char> utf8ToUtf16le(const std::string& text);

}  // namespace qrv::regfile
