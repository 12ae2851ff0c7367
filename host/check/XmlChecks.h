#pragma once
// The XML files a registration names, checked as the provider will use
// them. Each check answers what is wrong, empty when nothing is; a parse or
// compile error carries its line.

#include <string>

namespace wmihost {

// Starts Xerces-C and Xalan-C for the checks and stops them again, so that
// a provider loaded afterwards finds them as in a fresh process.
class XmlLibraries {
 public:
  XmlLibraries();
  ~XmlLibraries();
  XmlLibraries(const XmlLibraries&) = delete;
  XmlLibraries& operator=(const XmlLibraries&) = delete;
};

// Whether the file exists and is a well-formed XML document: "line L,
// column C: message" for the first error.
std::string xmlFileProblem(const std::string& path);

// Whether the stylesheet exists and compiles as the provider compiles it,
// including and importing files below `xslRoot` only: Xalan-C's message,
// which names the file and line, when it does not, and the reason when the
// provider refuses it (or a file it includes).
std::string stylesheetProblem(const std::string& path, const std::string& xslRoot);

}  // namespace wmihost
