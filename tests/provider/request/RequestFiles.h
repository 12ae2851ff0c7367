#pragma once
// Lays out stylesheets, data files and registrations below the private
// module root of a RELOCATED test program.

#include <cstddef>
#include <string>

#include "provider/request/xslt/DocumentBounds.h"
#include "tests/support/TempTree.h"

namespace qrv::test {

inline std::string xslRoot() { return relocatedRoot() + "/xslroot"; }

inline std::string xslRootFile(const std::string& relativePath) { return xslRoot() + "/" + relativePath; }

// What document() may read in a transform run by a test: files below the
// stylesheet root, within a data file's default bounds.
inline cim::DocumentBounds xslRootDocuments() { return {xslRoot(), std::size_t{256} << 20, 1000}; }

inline void writeXslRootFile(const std::string& relativePath, const std::string& bytes) {
  writeFile(xslRootFile(relativePath), bytes);
}

inline void writeRegistration(const std::string& relativePath, const std::string& bytes) {
  writeFile(relocatedRoot() + "/xmlreg/" + relativePath, bytes);
}

// `text` written `times` times.
inline std::string repeated(const std::string& text, std::size_t times) {
  std::string result;
  for (std::size_t i = 0; i < times; ++i) result += text;
  return result;
}

// A text-output stylesheet whose template body is `body`.
inline std::string textStylesheet(const std::string& body) {
  return "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
         "<xsl:output method=\"text\"/><xsl:template match=\"/\">" +
         body + "</xsl:template></xsl:stylesheet>";
}

}  // namespace qrv::test
