#include "provider/request/cache/RequestCaches.h"

namespace qrv::cim {

namespace {

// Far more stylesheets than a deployment has classes.
constexpr std::size_t kStylesheets = 64;
// One per request running at once, which WMI keeps to a few per provider.
constexpr std::size_t kIdleTransformers = 8;
// The parsed trees of repeated enumerations; see docs/architecture.md.
constexpr std::size_t kDocumentBudget = std::size_t{384} << 20;
// The text buffers of as many requests, of up to 128 MB of each kind: the
// texts of an enumeration of 300,000 instances.
constexpr std::size_t kKeptTexts = kIdleTransformers;
constexpr std::size_t kTextBudget = std::size_t{128} << 20;

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
  static DocumentCache cache(kDocumentBudget);
  return cache;
}

ChunkPool& RequestCaches::documentChunks() {
  static ChunkPool pool(kDocumentBudget);
  return pool;
}

TextPool& RequestCaches::documentTexts() {
  static TextPool pool(kKeptTexts, kTextBudget);
  return pool;
}

TextPool& RequestCaches::resultTexts() {
  static TextPool pool(kKeptTexts, kTextBudget);
  return pool;
}

void RequestCaches::release() {
  documents().clear();
  stylesheets().clear();
  transformers().clear();
}

}  // namespace qrv::cim
