// The class cache's life between initializeLock() and release(),
// and duplicate registrations.

#include <gtest/gtest.h>

#include <memory>

#include "provider/registration/ClassCache.h"
#include "provider/registration/ClassLoader.h"
#include "tests/provider/registration/RegistrationFixture.h"

namespace qrv::test {
namespace {

using cim::ClassCache;
using cim::ClassMap;
using cim::findClassMap;

using ClassCacheTest = RegistrationTest;

TEST_F(ClassCacheTest, NoCacheBeforeInitializeLockOrAfterRelease) {
  writeRegistration("n/c.xml", classElement("n", "C"));
  ClassCache::release();

  EXPECT_EQ(ClassCache::instance(), nullptr);
  EXPECT_EQ(findClassMap("n", "C"), nullptr);
  // The handler finds no cache to hand its class map to.
  EXPECT_EQ(cim::parseRegistrationFile(cim::registrationPath("n", "C")), 0);

  ClassCache::initializeLock();
  ClassCache* cache = ClassCache::instance();
  ASSERT_NE(cache, nullptr);
  EXPECT_EQ(cache->find("n", "C"), nullptr);
  EXPECT_NE(findClassMap("n", "C"), nullptr);
}

TEST_F(ClassCacheTest, ReleaseForgetsEverythingAndFilesAreReadAnew) {
  writeRegistration("n/c.xml", classElement("n", "C", "<Attribute name=\"Old\"/>"));
  ASSERT_EQ(findClassMap("n", "C")->attributes().at(0).name(), "Old");

  writeRegistration("n/c.xml", classElement("n", "C", "<Attribute name=\"New\"/>"));
  EXPECT_EQ(findClassMap("n", "C")->attributes().at(0).name(), "Old");

  ClassCache::release();
  ClassCache::initializeLock();
  EXPECT_EQ(findClassMap("n", "C")->attributes().at(0).name(), "New");
}

TEST_F(ClassCacheTest, FirstOfDuplicateRegistrationsStays) {
  writeRegistration("root/cimv2/dup.xml",
                    classElement("root/cimv2", "Dup", "<Attribute name=\"First\"/>") +
                        classElement("ROOT\\CIMV2", "DUP", "<Attribute name=\"Second\"/>"));

  const ClassMap* dup = findClassMap("root/cimv2", "dup");
  ASSERT_NE(dup, nullptr);
  EXPECT_EQ(dup->attributes().at(0).name(), "First");

  ClassCache::instance()->insert(std::make_unique<ClassMap>("rootcimv2", "Dup"));
  EXPECT_EQ(findClassMap("root/cimv2", "dup"), dup);
}

}  // namespace
}  // namespace qrv::test
