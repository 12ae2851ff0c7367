#include "provider/request/cache/KeyValueSlots.h"

#include <xalanc/Include/XalanMemoryManagement.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeAttr.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeDocument.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeElementA.hpp>

#include <algorithm>
#include <typeinfo>

namespace qrv::cim {

namespace {

using xalanc::XalanDOMChar;
using xalanc::XalanDOMString;
using xalanc::XalanNode;
using xalanc::XalanSourceTreeAttr;
using xalanc::XalanSourceTreeElement;
using xalanc::XalanSourceTreeElementA;

// The memory of the rebuilt nodes' values, which change: the document's
// arena never gives memory back.
xalanc::MemoryManager& heapMemory() { return xalanc::XalanMemMgrs::getDefaultXercesMemMgr(); }

bool isNamed(const XalanDOMString& name, const char* ascii) { return name == XalanDOMString(ascii, heapMemory()); }

bool isPrintableAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

}  // namespace

KeyValueSlots::~KeyValueSlots() = default;

std::unique_ptr<KeyValueSlots> KeyValueSlots::rebuild(xalanc::XalanSourceTreeDocument& document) {
  XalanNode* const root = document.getDocumentElement();
  auto* const block = dynamic_cast<XalanSourceTreeElement*>(root ? root->getFirstChild() : nullptr);
  if (!block || !isNamed(block->getNodeName(), "Attributes")) return nullptr;
  std::unique_ptr<KeyValueSlots> slots(new KeyValueSlots(document));
  std::vector<XalanSourceTreeElement*> entries;
  for (const XalanNode* entry = block->getFirstChild(); entry; entry = entry->getNextSibling()) {
    entries.push_back(slots->copy(*entry));
    if (!entries.back()) return nullptr;
  }
  // The parsed entries stay in the document's arena, out of the tree.
  block->clearChildren();
  for (XalanSourceTreeElement* entry : entries) block->appendChildNode(entry);
  return slots;
}

XalanSourceTreeElement* KeyValueSlots::copy(const XalanNode& node) {
  if (typeid(node) != typeid(XalanSourceTreeElementA)) return nullptr;
  const auto& original = static_cast<const XalanSourceTreeElementA&>(node);
  const xalanc::XalanSize_t count = original.getAttributeCount();
  XalanSourceTreeAttr** const list =
      attributeLists_.emplace_back(std::make_unique<XalanSourceTreeAttr*[]>(count)).get();
  XalanSourceTreeElementA* const element =
      elements_
          .emplace_back(std::make_unique<XalanSourceTreeElementA>(heapMemory(), original.getTagName(),
                                                                  &document_, list, count, nullptr, nullptr, nullptr,
                                                                  original.getIndex()))
          .get();
  for (xalanc::XalanSize_t i = 0; i < count; ++i) {
    const XalanSourceTreeAttr& attribute = *original.getAttributeByIndex(i);
    if (typeid(attribute) != typeid(XalanSourceTreeAttr)) return nullptr;
    const XalanDOMString& value = isNamed(attribute.getName(), "value")
                                      ? values_.emplace_back(attribute.getValue(), heapMemory())
                                      : attribute.getValue();
    list[i] = attributes_
                  .emplace_back(std::make_unique<XalanSourceTreeAttr>(attribute.getName(), value, element,
                                                                      attribute.getIndex()))
                  .get();
  }
  for (const XalanNode* child = node.getFirstChild(); child; child = child->getNextSibling()) {
    XalanSourceTreeElement* const childCopy = copy(*child);
    if (!childCopy) return nullptr;
    element->appendChildNode(childCopy);
  }
  return element;
}

bool KeyValueSlots::assign(const std::vector<std::string>& values) {
  if (values.size() != values_.size() || !std::all_of(values.begin(), values.end(), isPrintableAscii)) return false;
  auto slot = values_.begin();
  for (const std::string& value : values) {
    const std::basic_string<XalanDOMChar> wide(value.begin(), value.end());
    (slot++)->assign(wide.c_str(), wide.size());
  }
  return true;
}

std::size_t KeyValueSlots::bytes() const {
  std::size_t bytes = elements_.size() * sizeof(XalanSourceTreeElementA) +
                      attributes_.size() * (sizeof(XalanSourceTreeAttr) + sizeof(XalanSourceTreeAttr*));
  for (const XalanDOMString& value : values_) bytes += sizeof(XalanDOMString) + value.capacity() * sizeof(XalanDOMChar);
  return bytes;
}

}  // namespace qrv::cim
