#include "collector/XmlElement.h"

#include "collector/XmlText.h"

namespace collector {

XmlElement::XmlElement(std::string name) : name_(std::move(name)) {}

std::optional<std::string> XmlElement::attribute(const std::string& name) const {
  for (const auto& [key, value] : attributes_) {
    if (key == name) return value;
  }
  return std::nullopt;
}

XmlElement& XmlElement::set(const std::string& name, const std::string& value) {
  if (!value.empty()) attributes_.emplace_back(name, value);
  return *this;
}

XmlElement& XmlElement::set(const std::string& name, const std::optional<std::string>& value) {
  return value ? set(name, *value) : *this;
}

XmlElement& XmlElement::set(const std::string& name, std::optional<std::uint64_t> value) {
  return value ? set(name, std::to_string(*value)) : *this;
}

XmlElement& XmlElement::setFlag(const std::string& name, std::optional<bool> value) {
  return value ? set(name, std::string(*value ? "1" : "0")) : *this;
}

XmlElement& XmlElement::add(XmlElement child) {
  children_.push_back(std::move(child));
  return *this;
}

void XmlElement::write(std::string& out, int depth) const {
  out.append(static_cast<std::size_t>(depth) * 2, ' ');
  out += '<';
  out += name_;
  for (const auto& [key, value] : attributes_) {
    out += ' ';
    out += key;
    out += "=\"";
    out += xmlAttributeText(value);
    out += '"';
  }
  if (children_.empty()) {
    out += "/>\n";
    return;
  }
  out += ">\n";
  for (const XmlElement& child : children_) child.write(out, depth + 1);
  out.append(static_cast<std::size_t>(depth) * 2, ' ');
  out += "</" + name_ + ">\n";
}

std::string xmlDocument(const XmlElement& root) {
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  root.write(out);
  return out;
}

}  // namespace collector
