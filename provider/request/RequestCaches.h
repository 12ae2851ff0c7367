#pragma once

#include "provider/request/DocumentCache.h"
#include "provider/request/StylesheetCache.h"
#include "provider/request/TransformerPool.h"

namespace qrv::cim {

// What the requests of this process keep between them: compiled
// stylesheets, idle transformers and parsed request documents. All hold
// Xalan-C objects, so release() has to run before Xalan-C is terminated.
class RequestCaches {
 public:
  static StylesheetCache& stylesheets();
  static TransformerPool& transformers();
  static DocumentCache& documents();

  // Empties all three; what a running request still holds goes when it is done.
  static void release();
};

}  // namespace qrv::cim
