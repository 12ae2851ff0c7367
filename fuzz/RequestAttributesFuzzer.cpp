// Key values through the request document's Attributes block: for any key
// name and value the provider lets through (valid UTF-8 that fits the
// document), Xerces-C reads the block back to the same name and value.
// Input: the name, a zero byte, the value.

#include <cstdint>
#include <memory>
#include <string>

#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/TransService.hpp>
#include <xercesc/util/XMLString.hpp>

#include "common/text/Unicode.h"
#include "fuzz/FuzzCheck.h"
#include "provider/registration/ClassMap.h"
#include "provider/request/RequestBase.h"
#include "provider/wmi/ObjectPathKeys.h"

namespace {

using namespace xercesc;

std::string utf8(const XMLCh* text) {
  TranscodeToStr bytes(text, "UTF-8");
  return std::string(reinterpret_cast<const char*>(bytes.str()), bytes.length());
}

std::string attribute(const DOMElement& element, const char* name) {
  XMLCh* wide = XMLString::transcode(name);
  const std::string value = utf8(element.getAttribute(wide));
  XMLString::release(&wide);
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  XMLPlatformUtils::Initialize();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t zero = input.find('\0');
  if (zero == std::string::npos) return 0;
  const std::string name = input.substr(0, zero);
  const std::string value = input.substr(zero + 1);
  const qrv::cim::KeyValues keys{{name, value}};
  // A value starting with '{' is an array, written as elements of its own.
  if (name.empty() || (!value.empty() && value[0] == '{')) return 0;
  if (!qrv::unicode::isWellFormedUtf8(name) || !qrv::unicode::isWellFormedUtf8(value) ||
      !qrv::cim::keysFitTheRequestDocument(keys)) {
    return 0;
  }

  qrv::cim::ClassMap classMap("root\\cimv2", "Fan");
  classMap.addAttribute(qrv::cim::Attribute(true, false, name, ""));
  std::string document = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><QRVCIM>";
  QRV_FUZZ_CHECK(qrv::cim::RequestBase::writeAttributes(classMap, keys, document) == qrv::cim::Ok);
  document += "</QRVCIM>";

  XercesDOMParser parser;
  parser.setDisableDefaultEntityResolution(true);
  const MemBufInputSource source(reinterpret_cast<const XMLByte*>(document.data()), document.size(), "attributes");
  parser.parse(source);
  QRV_FUZZ_CHECK(parser.getErrorCount() == 0);
  const DOMDocument* parsed = parser.getDocument();
  QRV_FUZZ_CHECK(parsed && parsed->getDocumentElement());
  XMLCh* tag = XMLString::transcode("Required");
  DOMNodeList* entries = parsed->getElementsByTagName(tag);
  XMLString::release(&tag);
  QRV_FUZZ_CHECK(entries->getLength() == 1);
  const auto* entry = static_cast<const DOMElement*>(entries->item(0));
  QRV_FUZZ_CHECK(attribute(*entry, "name") == name);
  QRV_FUZZ_CHECK(attribute(*entry, "value") == value);
  return 0;
}
