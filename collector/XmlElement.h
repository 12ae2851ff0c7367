#pragma once
// One element of the inventory document: its name, its attributes in the
// order they were set, and its child elements; written as indented UTF-8 XML.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace collector {

class XmlElement {
 public:
  explicit XmlElement(std::string name);

  const std::string& name() const { return name_; }
  const std::vector<XmlElement>& children() const { return children_; }
  // The value of an attribute; nullopt where it was never set.
  std::optional<std::string> attribute(const std::string& name) const;

  // Values are UTF-8; an empty value leaves the attribute out, as does nullopt:
  // an attribute whose value is not known is never written empty.
  XmlElement& set(const std::string& name, const std::string& value);
  XmlElement& set(const std::string& name, const std::optional<std::string>& value);
  XmlElement& set(const std::string& name, std::optional<std::uint64_t> value);
  XmlElement& setFlag(const std::string& name, std::optional<bool> value);

  XmlElement& add(XmlElement child);

  // The element and its children as XML, each element on its own line and
  // indented by two blanks per level.
  void write(std::string& out, int depth = 0) const;

 private:
  std::string name_;
  std::vector<std::pair<std::string, std::string>> attributes_;
  std::vector<XmlElement> children_;
};

// A whole document: the XML declaration (UTF-8) and the root element.
std::string xmlDocument(const XmlElement& root);

}  // namespace collector
