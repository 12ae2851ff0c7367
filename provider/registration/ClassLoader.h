#pragma once

#include <string>

#include "provider/registration/ClassMap.h"

namespace qrv::cim {

// The class map of a class, loaded from its registration file on first use.
// Null when there is none (no cache, no file, no such class in it, or a name
// that could leave the registration root). The pointer is borrowed from the
// class cache and stays valid until the cache is released.
const ClassMap* findClassMap(const std::string& nameSpace, const std::string& className);

// xmlRegRoot()/nameSpace/className.xml, both names with ASCII letters in
// lower case.
std::string registrationPath(const std::string& nameSpace, const std::string& className);

// What parsing one registration file came to: 0 when the parser returned,
// 3 when the parse threw, 4 when creating or destroying the parser or the
// handler threw; and the first problem met, "line L, column C: message" for
// a parse error, the parser's message when it threw, else empty.
struct RegistrationParse {
  int status = 0;
  std::string problem;
};

// Parses one registration file, handing every completed class map to `sink`.
RegistrationParse parseRegistration(const std::string& path, const ClassMapSink& sink);

// Parses one registration file into the cache; parseRegistration's status.
int parseRegistrationFile(const std::string& path);

}  // namespace qrv::cim
