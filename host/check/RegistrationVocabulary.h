#pragma once
// The names a registration file may use: the elements Class, Enumerate, Get,
// FileProvider, Conversion, Attribute and AssociationClass, each with its
// attributes. The provider ignores every other element and attribute, so a
// misspelt one (<Enumarate>) silently drops what it stood for: here each is
// an error, at its line, with the known name nearest to it. The root
// element's name is free and not looked at, nor its attributes.

#include <string>
#include <vector>

#include "host/check/Finding.h"

namespace wmihost {

// Every element and attribute of the file that a registration does not
// define. Reads a file that the provider's own parser has read without a
// problem; needs the XML libraries started (XmlLibraries).
std::vector<Finding> unknownRegistrationNames(const std::string& path);

}  // namespace wmihost
