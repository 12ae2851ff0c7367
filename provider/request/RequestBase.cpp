#include "provider/request/RequestBase.h"

#include <utility>

#include "provider/request/document/DataFiles.h"
#include "provider/request/document/RequestAttributes.h"
#include "provider/request/document/RequestHeader.h"
#include "provider/request/result/ResultParser.h"
#include "provider/request/transform/RequestTransform.h"

namespace qrv::cim {

// Each step lives in the room of the request's road that it belongs to;
// a request object runs them through these members.

RequestBase::RequestBase(std::string userName) : userName_(std::move(userName)) {}

std::string RequestBase::writeHeader(const std::string& operation, const std::string& className,
                                     const std::string& nameSpace) const {
  return writeRequestHeader(operation, className, nameSpace, userName_);
}

RequestStatus RequestBase::writeAttributes(const ClassMap& classMap, const KeyValues& keyValues,
                                           std::string& document) {
  return writeRequestAttributes(classMap, keyValues, document);
}

RequestStatus RequestBase::appendData(const OperatorBase& op, std::string& document) {
  return appendDataFiles(op, document);
}

std::string RequestBase::dataFilePath(const FileAccessor& accessor) { return qrv::cim::dataFilePath(accessor); }

RequestStatus RequestBase::readDataFile(const FileAccessor& accessor, std::string& text) {
  return qrv::cim::readDataFile(accessor, text);
}

RequestStatus RequestBase::appendDataFile(const FileAccessor& accessor, std::string& document) {
  return qrv::cim::appendDataFile(accessor, document);
}

RequestStatus RequestBase::transform(const std::string& document, const Conversion& conversion,
                                     std::string& resultText) {
  return transformDocument(document, conversion, resultText);
}

RequestStatus RequestBase::parseInstance(std::string_view piece, ParsedInstance& instance) {
  return parseResultInstance(piece, instance);
}

RequestStatus RequestBase::parseInstances(std::string_view resultText, std::vector<ParsedInstance>& instances) {
  return parseResultInstances(resultText, instances);
}

RequestStatus RequestBase::produceReusedResult(const OperatorBase& op, std::string& document,
                                               std::string& resultText) {
  return finishAndTransformReused(op, document, resultText);
}

RequestStatus RequestBase::produceKeyedResult(const OperatorBase& op, std::string& document, std::size_t attributesAt,
                                              std::string& resultText) {
  return finishAndTransformKeyed(op, document, attributesAt, resultText);
}

}  // namespace qrv::cim
