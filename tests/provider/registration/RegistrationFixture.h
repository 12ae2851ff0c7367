#pragma once
// Registration files in the module root of a relocated test program, and a
// fixture with the XML parser started and the class cache available, all
// fresh for every test.

#include <gtest/gtest.h>
#include <xercesc/util/PlatformUtils.hpp>

#include <string>

#include "provider/registration/ClassCache.h"
#include "tests/support/TempTree.h"

namespace qrv::test {

class RegistrationTest : public testing::Test {
 protected:
  void SetUp() override {
    xercesc::XMLPlatformUtils::Initialize();
    cim::ClassCache::initializeLock();
  }

  void TearDown() override {
    cim::ClassCache::release();
    xercesc::XMLPlatformUtils::Terminate();
    removeTree(root() + "/xmlreg");
    removeTree(root() + "/outside");
  }

  static std::string root() { return relocatedRoot(); }
};

inline std::string registrationDocument(const std::string& classes) {
  return "<?xml version=\"1.0\"?>\n<Registration>" + classes + "</Registration>\n";
}

inline std::string classElement(const std::string& nameSpace, const std::string& name, const std::string& body = "") {
  return "<Class name=\"" + name + "\" namespace=\"" + nameSpace + "\">" + body + "</Class>";
}

// Writes a registration document below <root>/xmlreg/.
inline void writeRegistration(const std::string& relativePath, const std::string& classes) {
  writeFile(relocatedRoot() + "/xmlreg/" + relativePath, registrationDocument(classes));
}

}  // namespace qrv::test
