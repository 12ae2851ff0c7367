#pragma once
// Bounds on a stylesheet file, checked before Xalan-C compiles it: its XPath
// compiler descends one level of the machine stack per bracket of an
// expression (a few thousand nested brackets overflow a thread's stack),
// its stylesheet reader takes time that grows with the square of the
// element nesting (5000 levels took 20 s), and the entities of a document
// type declaration can multiply a small file into gigabytes. One mistake
// its compiler lets pass and its transform crashes on is refused as well.

#include <cstddef>
#include <string>

namespace qrv::cim {

struct StylesheetLimits {
  // Stylesheets nest a few dozen elements deep and their expressions a few brackets.
  static constexpr std::size_t kMaxElementDepth = 256;
  static constexpr std::size_t kMaxBracketDepth = 100;
};

// Why the stylesheet file at `path` is refused: a document type
// declaration, elements nested deeper than kMaxElementDepth, an attribute
// value whose parentheses and square brackets nest deeper than
// kMaxBracketDepth, or an xsl:with-param outside xsl:call-template and
// xsl:apply-templates. Empty when none applies, and for a file that cannot
// be read or parsed: the compiler reports those itself.
std::string stylesheetFault(const std::string& path);

}  // namespace qrv::cim
