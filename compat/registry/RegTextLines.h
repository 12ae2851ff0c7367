#pragma once
// The bytes of a .reg file as logical lines. The text is UTF-8, with or
// without a byte order mark, or UTF-16LE after its byte order mark, as
// regedit saves it. A line whose text ends in a backslash continues on the
// next one (long hex lists); section and comment lines never continue. Each
// logical line keeps its physical lines as written, line ends included, so
// that a line nobody changed can be written back as it was.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qrv::regfile {

enum class TextEncoding { kUtf8, kUtf8WithByteOrderMark, kUtf16Le };

struct LogicalLine {
  std::size_t number = 0;  // of its first physical line
  std::string text;        // trimmed, continuations joined without their backslash
  std::string raw;         // its physical lines as written
};

struct RegTextLines {
  TextEncoding encoding = TextEncoding::kUtf8;
  std::string newline = "\n";  // the end of the first line, for lines written anew
  std::vector<LogicalLine> lines;
};

RegTextLines splitRegText(const std::string& bytes);

// UTF-8 text as the bytes of a file in the encoding, byte order mark first.
std::string encodeRegText(const std::string& text, TextEncoding encoding);

// The text without the blanks (spaces, tabs, carriage returns) around it.
std::string trimBlanks(std::string_view text);

}  // namespace qrv::regfile
