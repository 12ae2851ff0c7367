#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "provider/request/model/RequestStatus.h"

namespace XALAN_CPP_NAMESPACE {
class XalanParsedSource;
}

namespace qrv::cim {

// A request document parsed into Xalan-C's source tree, ready to be
// transformed any number of times (by one transform at a time).
//
// The tree pools every attribute value in a hash table whose bucket count
// Xalan-C fixes at creation; with its default of 997 buckets the cost of an
// insert grows with the document and the time per instance with it. Here the
// table is sized to the document instead, so that cost stays flat.
class ParsedDocument {
 public:
  ~ParsedDocument();
  ParsedDocument(const ParsedDocument&) = delete;
  ParsedDocument& operator=(const ParsedDocument&) = delete;

  // Parses `text`. TransformFailed, with `parsed` left null and the first
  // error in `problem` ("line L, column C: message"), when it is not
  // well-formed XML.
  static RequestStatus parse(std::string_view text, std::unique_ptr<ParsedDocument>& parsed,
                             std::string* problem = nullptr);

  const xalanc::XalanParsedSource& source() const;

  // Gives the value attributes of a get's <Attributes> block, which begins
  // the root element, the `values` in document order (see KeyValueSlots).
  // True when the tree is now the one that parsing the document with those
  // values gives; without values, when the tree is left as it is.
  bool useKeyValues(const std::vector<std::string>& values);

  // The memory that the tree holds, in bytes.
  std::size_t bytes() const;

  // The size of the text it was parsed from, in bytes.
  std::size_t textBytes() const { return textBytes_; }

 private:
  struct Parts;
  explicit ParsedDocument(std::size_t textBytes);

  std::unique_ptr<Parts> parts_;
  std::size_t textBytes_;
};

}  // namespace qrv::cim
