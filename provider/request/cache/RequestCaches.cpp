#include "provider/request/cache/RequestCaches.h"

#include "provider/request/cache/CacheLimits.h"

namespace qrv::cim {

namespace {

// Far more stylesheets than a deployment has classes.
constexpr std::size_t kStylesheets = 64;
// One per request running at once, which WMI keeps to a few per provider.
constexpr std::size_t kIdleTransformers = 8;
// The text buffers of as many requests.
constexpr std::size_t kKeptTexts = kIdleTransformers;

// The bounds as the process's environment sets them when the first request
// uses the caches; see docs/architecture.md.
const CacheLimits& limits() {
  static const CacheLimits current = CacheLimits::current();
  return current;
}

}  // namespace

StylesheetCache& RequestCaches::stylesheets() {
  static StylesheetCache cache(kStylesheets);
  return cache;
}

TransformerPool& RequestCaches::transformers() {
  static TransformerPool pool(kIdleTransformers);
  return pool;
}

DocumentCache& RequestCaches::documents() {
  // The kept trees give their chunks back when the cache goes at exit, so
  // the pool is made first and goes after it.
  documentChunks();
  static DocumentCache cache(limits().documentBytes);
  return cache;
}

ChunkPool& RequestCaches::documentChunks() {
  static ChunkPool pool(limits().documentBytes);
  return pool;
}

TextPool& RequestCaches::documentTexts() {
  static TextPool pool(kKeptTexts, limits().textBytes);
  return pool;
}

TextPool& RequestCaches::resultTexts() {
  static TextPool pool(kKeptTexts, limits().textBytes);
  return pool;
}

void RequestCaches::release() {
  documents().clear();
  stylesheets().clear();
  transformers().clear();
}

}  // namespace qrv::cim
