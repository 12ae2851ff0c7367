#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/XalanDOM/XalanDOMString.hpp>

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace XALAN_CPP_NAMESPACE {
class XalanNode;
class XalanSourceTreeAttr;
class XalanSourceTreeDocument;
class XalanSourceTreeElement;
class XalanSourceTreeElementA;
}  // namespace XALAN_CPP_NAMESPACE

namespace qrv::cim {

// The <Attributes> block of a parsed get document, rebuilt of nodes of its
// own whose value attributes can be given other key values. The rebuilt
// nodes take the places, names, attribute order and document-order indices
// of the parsed ones, so after assign() the tree is the one that parsing the
// document with those values in the block gives: a get of the same class
// with keys of the same shape (see attributesShape) reuses the parsed data
// files instead of reading and parsing them again.
class KeyValueSlots {
 public:
  ~KeyValueSlots();
  KeyValueSlots(const KeyValueSlots&) = delete;
  KeyValueSlots& operator=(const KeyValueSlots&) = delete;

  // Rebuilds the block that begins the document's root element; null, with
  // the tree unchanged, when it does not begin with an element named
  // Attributes holding elements with attributes only.
  static std::unique_ptr<KeyValueSlots> rebuild(xalanc::XalanSourceTreeDocument& document);

  // Writes `values`, in document order, into the value attributes. False,
  // with nothing changed, when their number differs or a value holds
  // anything but printable ASCII: the parser reads such text as it is
  // written, while other characters could be normalised or refused.
  bool assign(const std::vector<std::string>& values);

  // The memory that the rebuilt nodes hold, in bytes.
  std::size_t bytes() const;

 private:
  explicit KeyValueSlots(xalanc::XalanSourceTreeDocument& document) : document_(document) {}

  // A copy of `node` and its children, or null when it is not an element
  // with attributes.
  xalanc::XalanSourceTreeElement* copy(const xalanc::XalanNode& node);

  xalanc::XalanSourceTreeDocument& document_;
  std::vector<std::unique_ptr<xalanc::XalanSourceTreeElementA>> elements_;
  std::vector<std::unique_ptr<xalanc::XalanSourceTreeAttr>> attributes_;
  std::vector<std::unique_ptr<xalanc::XalanSourceTreeAttr*[]>> attributeLists_;
  std::deque<xalanc::XalanDOMString> values_;
};

}  // namespace qrv::cim
