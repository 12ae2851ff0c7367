#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "provider/registration/Accessor.h"
#include "provider/registration/ClassMap.h"
#include "provider/registration/Conversion.h"
#include "provider/registration/Operator.h"
#include "provider/request/model/KeyValues.h"
#include "provider/request/model/ParsedInstance.h"
#include "provider/request/model/RequestStatus.h"

namespace qrv::cim {

// The steps that every request runs: compose the request document, add the
// operator's data files, apply its stylesheet and read the result text. Each
// step is done in its own room (document/, transform/, result/).
class RequestBase {
 public:
  explicit RequestBase(std::string userName);
  virtual ~RequestBase() = default;
  RequestBase(const RequestBase&) = delete;
  RequestBase& operator=(const RequestBase&) = delete;

  // The stylesheet instruction and the QRVCIM start tag naming the operation
  // ("enumerate" or "get"), the class, the namespace, this host and the user.
  std::string writeHeader(const std::string& operation, const std::string& className,
                          const std::string& nameSpace) const;

  // Appends the <Attributes> block of a get: one entry per attribute that has
  // a key value, Required entries before Optional ones. MissingKey, with
  // nothing appended, when a required attribute has no key value.
  static RequestStatus writeAttributes(const ClassMap& classMap, const KeyValues& keyValues,
                                       std::string& document);

  // Appends the text of the operator's data files in registration order.
  // NotAccessible as soon as one of them cannot be read.
  static RequestStatus appendData(const OperatorBase& op, std::string& document);

  // The path of a data file.
  static std::string dataFilePath(const FileAccessor& accessor);

  // The text of one data file below the stylesheet root, without its XML
  // declaration and anything before it, up to its first zero character.
  // TransformFailed for a file beyond the DataFileLimits.
  static RequestStatus readDataFile(const FileAccessor& accessor, std::string& text);

  // Appends that text to `document`; on failure the document is as it was.
  static RequestStatus appendDataFile(const FileAccessor& accessor, std::string& document);

  // Applies the conversion's stylesheet to the document. StylesheetFailed
  // when it cannot be compiled, TransformFailed when applying it fails (the
  // processor's partial output is kept in `resultText` all the same).
  static RequestStatus transform(const std::string& document, const Conversion& conversion,
                                 std::string& resultText);

  // Reads one instance's "name = value;" statements into `instance`.
  static RequestStatus parseInstance(std::string_view piece, ParsedInstance& instance);

  // Appends one ParsedInstance per "instance of" piece that holds a statement.
  static RequestStatus parseInstances(std::string_view resultText, std::vector<ParsedInstance>& instances);

 protected:
  // Finishes an enumeration's document whose header is written: adds the
  // data, closes the root element and transforms it into `resultText`. The
  // parsed document is kept and reused while the document's start and its
  // data files stay the same.
  static RequestStatus produceReusedResult(const OperatorBase& op, std::string& document, std::string& resultText);

  // produceReusedResult for a get, whose <Attributes> block starts at
  // `attributesAt`: the parsed document of an earlier get of the class with
  // keys of the same names and kinds is reused with this get's key values.
  static RequestStatus produceKeyedResult(const OperatorBase& op, std::string& document, std::size_t attributesAt,
                                          std::string& resultText);

 private:
  std::string userName_;
};

}  // namespace qrv::cim
