#include "provider/registration/ClassCache.h"

#include <mutex>

#include "common/text/AsciiCase.h"

namespace qrv::cim {

namespace {

// Process-wide state of the cache. The mutex itself lives as long as the
// process, so that a lookup racing with release() never touches a destroyed
// lock; "initialising the lock" makes the cache available.
std::mutex cacheLock;
bool lockInitialised = false;
std::unique_ptr<ClassCache> cache;

}  // namespace

std::string classKey(const std::string& nameSpace, const std::string& className) {
  std::string key;
  key.reserve(nameSpace.size() + className.size());
  for (char c : nameSpace) {
    if (c != '/' && c != '\\') key += text::toUpperAscii(c);
  }
  for (char c : className) key += text::toUpperAscii(c);
  return key;
}

void ClassCache::initializeLock() {
  std::lock_guard<std::mutex> guard(cacheLock);
  lockInitialised = true;
}

ClassCache* ClassCache::instance() {
  std::lock_guard<std::mutex> guard(cacheLock);
  if (!lockInitialised) return nullptr;
  if (!cache) cache.reset(new ClassCache);
  return cache.get();
}

void ClassCache::release() {
  std::lock_guard<std::mutex> guard(cacheLock);
  cache.reset();
  lockInitialised = false;
}

const ClassMap* ClassCache::find(const std::string& nameSpace, const std::string& className) const {
  const std::string key = classKey(nameSpace, className);
  std::lock_guard<std::mutex> guard(cacheLock);
  const auto entry = classMaps_.find(key);
  return entry == classMaps_.end() ? nullptr : entry->second.get();
}

void insertIntoCache(std::unique_ptr<ClassMap> classMap) {
  if (ClassCache* cache = ClassCache::instance()) cache->insert(std::move(classMap));
}

void ClassCache::insert(std::unique_ptr<ClassMap> classMap) {
  const std::string key = classKey(classMap->nameSpace(), classMap->className());
  std::lock_guard<std::mutex> guard(cacheLock);
  classMaps_.try_emplace(key, std::move(classMap));
}

}  // namespace qrv::cim
