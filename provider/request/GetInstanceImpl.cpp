#include "provider/request/GetInstanceImpl.h"

#include "provider/diagnostic/Diagnostic.h"
#include "provider/registration/ClassLoader.h"
#include "provider/request/cache/RequestCaches.h"

namespace qrv::cim {

RequestStatus GetInstanceImpl::run(const std::string& nameSpace, const std::string& className,
                                   const KeyValues& keyValues, ParsedInstance& instance) {
  const ClassMap* classMap = findClassMap(nameSpace, className);
  if (!classMap) return NotAccessible;
  const Get* op = classMap->getOperator();
  if (!op) {
    diagnose([&] { return "class " + className + " cannot be got: its registration has no <Get>"; });
    return NotSupported;
  }

  PooledText document(RequestCaches::documentTexts());
  document->append(writeHeader("get", className, nameSpace));
  const std::size_t attributesAt = document->size();
  const RequestStatus keyStatus = writeAttributes(*classMap, keyValues, *document);
  if (keyStatus != Ok) return keyStatus;
  PooledText resultText(RequestCaches::resultTexts());
  const RequestStatus status = produceKeyedResult(*op, *document, attributesAt, *resultText);
  if (status != Ok) return status;
  return parseInstance(*resultText, instance);
}

}  // namespace qrv::cim
