#pragma once
// Namespace names. WMI compares them ignoring case and accepts "/" for "\";
// a leading server part ("\\.\" or "//server/") names the local machine here.

#include <string>
#include <string_view>

namespace wmihost {

// The namespace without server part or outer separators, with "\" between
// its parts and its case kept: "\\.\root\cimv2" gives "root\cimv2".
std::string canonicalNamespace(std::string_view name);

// The form under which two names of one namespace compare equal.
std::string namespaceKey(std::string_view name);

}  // namespace wmihost
