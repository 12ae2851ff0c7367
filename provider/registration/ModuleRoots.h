#pragma once

#include <string>

namespace qrv::cim {

// The full file name of the Provider's module; empty when it cannot be
// obtained.
std::string moduleFileName();
// The directory two levels above the Provider's module file; empty when the
// module or its file name cannot be obtained. Recomputed at every call.
std::string moduleRoot();
// moduleRoot() + "/xmlreg": the registration root.
std::string xmlRegRoot();
// moduleRoot() + "/xslroot": the root of stylesheets and data files.
std::string xslRoot();

// The directory part of a module file name: cut before its second-to-last
// separator; empty when it has fewer than two.
std::string moduleRootOf(const std::string& moduleFileName);

}  // namespace qrv::cim

namespace qrv::cim {

// The path under which a file the Provider names is opened on this system:
// on hosts without Windows every backslash becomes a slash, so registrations
// and namespaces written with backslashes (root\cimv2) work unchanged.
std::string nativePath(const std::string& path);

}  // namespace qrv::cim
