#pragma once

#include "provider/request/cache/ChunkPool.h"
#include "provider/request/cache/DocumentCache.h"
#include "provider/request/cache/StylesheetCache.h"
#include "provider/request/cache/TextPool.h"
#include "provider/request/cache/TransformerPool.h"

namespace qrv::cim {

// What the requests of this process keep between them: compiled
// stylesheets, idle transformers and parsed request documents. All hold
// Xalan-C objects, so release() has to run before Xalan-C is terminated.
class RequestCaches {
 public:
  static StylesheetCache& stylesheets();
  static TransformerPool& transformers();
  static DocumentCache& documents();
  // The memory of parsed trees, kept within the document budget, in use and free.
  static ChunkPool& documentChunks();
  // The buffers of request documents and of result texts.
  static TextPool& documentTexts();
  static TextPool& resultTexts();

  // Empties the first three; what a running request still holds goes when
  // it is done. The free chunks and the text buffers stay: they are
  // memory, not Xalan-C objects.
  static void release();
};

}  // namespace qrv::cim
