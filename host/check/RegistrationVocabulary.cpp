#include "host/check/RegistrationVocabulary.h"

#include <xercesc/parsers/SAXParser.hpp>
#include <xercesc/sax/AttributeList.hpp>
#include <xercesc/sax/HandlerBase.hpp>
#include <xercesc/sax/Locator.hpp>

#include <algorithm>
#include <utility>

#include "host/check/EditDistance.h"
#include "provider/registration/XercesText.h"

namespace wmihost {

namespace {

using Names = std::vector<std::string>;

// The elements in the order the provider compares them, each with the
// attributes it reads.
const std::vector<std::pair<std::string, Names>> kElements{
    {"Class", {"name", "namespace"}},
    {"Enumerate", {}},
    {"Get", {}},
    {"FileProvider", {"name", "app", "area", "unicode", "valueOnly"}},
    {"Conversion", {"name", "app", "area"}},
    {"Attribute", {"name", "required", "alt-name", "writable"}},
    {"AssociationClass", {"name"}},
};

// "a", "a and b", "a, b and c".
std::string listed(const Names& names) {
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
  }
  return text;
}

// The known name nearest to an unknown one, when it is near enough to be
// what was meant: at most a third of its characters apart, and at least one.
std::string nearestName(const std::string& unknown, const Names& known) {
  std::string nearest;
  std::size_t best = std::max<std::size_t>(1, unknown.size() / 3) + 1;
  for (const std::string& name : known) {
    const std::size_t distance = editDistance(unknown, name);
    if (distance < best) {
      best = distance;
      nearest = name;
    }
  }
  return nearest;
}

Names elementNames() {
  Names names;
  for (const auto& element : kElements) names.push_back(element.first);
  return names;
}

std::string unknownElement(const std::string& name) {
  const std::string nearest = nearestName(name, elementNames());
  return "<" + name + "> is no element of a registration, so the provider ignores it" +
         (nearest.empty() ? "; the elements are " + listed(elementNames()) : ": did you mean <" + nearest + ">?");
}

std::string unknownAttribute(const std::string& element, const std::string& name, const Names& known) {
  const std::string nearest = nearestName(name, known);
  const std::string rest = !nearest.empty() ? ": did you mean " + nearest + "?"
                           : known.empty()  ? "; it takes no attributes"
                                            : "; its attributes are " + listed(known);
  return "<" + element + "> has no attribute " + name + ", so the provider ignores it" + rest;
}

// Collects the unknown names of one file as the parser meets them.
class VocabularyHandler : public xercesc::HandlerBase {
 public:
  explicit VocabularyHandler(std::string path) : path_(std::move(path)) {}

  void setDocumentLocator(const xercesc::Locator* const locator) override { locator_ = locator; }
  // The provider's parser read the file without a problem; should it have
  // changed since, the parse stops where this one stopped.
  void error(const xercesc::SAXParseException&) override {}
  void fatalError(const xercesc::SAXParseException&) override {}

  void startElement(const XMLCh* const name, xercesc::AttributeList& attributes) override {
    const std::string element = qrv::cim::transcode(name);
    const bool root = !seenRoot_;
    seenRoot_ = true;
    const auto known = std::find_if(kElements.begin(), kElements.end(),
                                    [&element](const auto& entry) { return entry.first == element; });
    if (known == kElements.end()) {
      if (!root) add(unknownElement(element));
      return;
    }
    for (XMLSize_t i = 0; i < attributes.getLength(); ++i) {
      const std::string attribute = qrv::cim::transcode(attributes.getName(i));
      const Names& names = known->second;
      if (std::find(names.begin(), names.end(), attribute) == names.end()) {
        add(unknownAttribute(element, attribute, names));
      }
    }
  }

  std::vector<Finding> findings;

 private:
  void add(const std::string& what) {
    const std::string line = locator_ ? ":" + std::to_string(locator_->getLineNumber()) : "";
    findings.push_back({path_ + line, Severity::Error, what});
  }

  std::string path_;
  const xercesc::Locator* locator_ = nullptr;
  bool seenRoot_ = false;
};

}  // namespace

std::vector<Finding> unknownRegistrationNames(const std::string& path) {
  VocabularyHandler handler(path);
  xercesc::SAXParser parser;
  parser.setDisableDefaultEntityResolution(true);
  parser.setLoadExternalDTD(false);
  parser.setDocumentHandler(&handler);
  parser.setErrorHandler(&handler);
  parser.parse(path.c_str());
  return std::move(handler.findings);
}

}  // namespace wmihost
