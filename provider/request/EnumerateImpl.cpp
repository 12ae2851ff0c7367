#include "provider/request/EnumerateImpl.h"

#include "provider/diagnostic/Diagnostic.h"
#include "provider/registration/ClassLoader.h"
#include "provider/request/cache/RequestCaches.h"

namespace qrv::cim {

RequestStatus EnumerateImpl::run(const std::string& nameSpace, const std::string& className,
                                 std::vector<ParsedInstance>& instances) {
  const ClassMap* classMap = findClassMap(nameSpace, className);
  if (!classMap) return NotAccessible;
  const Enumerate* op = classMap->enumerateOperator();
  if (!op) {
    diagnose([&] { return "class " + className + " cannot be enumerated: its registration has no <Enumerate>"; });
    return NotSupported;
  }

  PooledText document(RequestCaches::documentTexts());
  document->append(writeHeader("enumerate", className, nameSpace));
  PooledText resultText(RequestCaches::resultTexts());
  const RequestStatus status = produceReusedResult(*op, *document, *resultText);
  if (status != Ok) return status;
  return parseInstances(*resultText, instances);
}

}  // namespace qrv::cim
