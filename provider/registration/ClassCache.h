#pragma once

#include <map>
#include <memory>
#include <string>

#include "provider/registration/ClassMap.h"

namespace qrv::cim {

// The key under which a class is cached: the namespace without its "/" and
// "\" separators, then the class name, all in upper case. So root\cimv2,
// ROOT/CIMV2 and rootcimv2 name the same namespace.
std::string classKey(const std::string& nameSpace, const std::string& className);

// The process-wide cache of loaded class maps. It exists only while its lock
// is initialised: before initializeLock() and after release() there is no
// cache, and every class reads as not registered. Lookups and insertions
// both take the lock, so a lookup is safe while another thread inserts;
// the class maps themselves are never modified once cached.
class ClassCache {
 public:
  ~ClassCache() = default;
  ClassCache(const ClassCache&) = delete;
  ClassCache& operator=(const ClassCache&) = delete;

  // Makes the cache available; does nothing when it already is.
  static void initializeLock();
  // The cache, created empty on first use; null when there is none.
  static ClassCache* instance();
  // Destroys the cache with every class map in it and withdraws the lock,
  // until the next initializeLock(). No request may be running.
  static void release();

  // The class map cached under classKey(nameSpace, className), or null.
  // The pointer stays valid until release().
  const ClassMap* find(const std::string& nameSpace, const std::string& className) const;
  // Takes ownership of a complete class map. When its key is already cached
  // the new class map is destroyed: the first one stays.
  void insert(std::unique_ptr<ClassMap> classMap);

 private:
  ClassCache() = default;

  std::map<std::string, std::unique_ptr<ClassMap>> classMaps_;
};

// Hands a class map to the cache; without a cache it is destroyed. The
// class map sink of the provider's own registration loading.
void insertIntoCache(std::unique_ptr<ClassMap> classMap);

}  // namespace qrv::cim
