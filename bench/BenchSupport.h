#pragma once
// What both benchmark programs lay out below the module root: an inventory
// data file, the stylesheet that turns it into instances, and the
// registration that ties a class to both.

#include <string>

namespace bench {

// The namespace of every benchmark class.
extern const char kNamespace[];

// Writes text to path, creating its directories.
void writeText(const std::string& path, const std::string& text);

// An inventory of entries items; installed(i) is the installation value of item i.
std::string inventory(int entries, std::string (*installed)(int));

// A stylesheet making an instance of className of every inventory item; with
// quotedInstalled the installation value is written as a string. With
// keyedById a get makes only the instance of the item whose id is its key Id.
std::string stylesheet(const std::string& className, bool quotedInstalled, bool keyedById = false);

// The registration of className: data file dataName and stylesheet
// stylesheetName, both of application app, for enumerations and, with
// keyedById, for gets by the required key Id.
std::string registration(const std::string& className, const std::string& app, const std::string& dataName,
                         const std::string& stylesheetName, bool keyedById = false);

// The path of a file of application app in area (xsl or data) below the module root.
std::string appFilePath(const std::string& app, const std::string& area, const std::string& name);

// The path of the registration file of a class of kNamespace, named fileName.
std::string registrationPath(const std::string& fileName);

}  // namespace bench
