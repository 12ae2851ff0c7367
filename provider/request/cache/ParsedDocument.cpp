#include "provider/request/cache/ParsedDocument.h"

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/PlatformSupport/XSLException.hpp>
#include <xalanc/XSLT/XSLTInputSource.hpp>
#include <xalanc/XalanDOM/XalanDOMException.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeContentHandler.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeDOMSupport.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeDocument.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeParserLiaison.hpp>
#include <xalanc/XalanTransformer/XalanSourceTreeWrapperParsedSource.hpp>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/sax/SAXException.hpp>
#include <xercesc/util/XMLException.hpp>

#include <algorithm>

#include "provider/registration/FirstParseError.h"
#include "provider/request/cache/DocumentArena.h"
#include "provider/request/cache/KeyValueSlots.h"
#include "provider/request/cache/RequestCaches.h"
#include "provider/request/xslt/CountingMemoryManager.h"

namespace qrv::cim {

namespace {

using xalanc::XalanSourceTreeDocument;

bool isPrime(std::size_t n) {
  if (n < 2) return false;
  for (std::size_t d = 2; d * d <= n; ++d) {
    if (n % d == 0) return false;
  }
  return true;
}

// One bucket of the values pool per 32 bytes of text, as a prime, and never
// fewer than Xalan-C's own default: about one distinct value per bucket.
std::size_t valueBuckets(std::size_t textBytes) {
  std::size_t buckets = std::max<std::size_t>(textBytes / 32, XalanSourceTreeDocument::eDefaultValuesStringPoolBucketCount);
  while (!isPrime(buckets)) ++buckets;
  return buckets;
}

// Room for two values in a bucket when it takes its first. Xalan-C makes
// room for fifteen, which at about one value per bucket leaves most of 120
// bytes unused in every bucket: a fifth of the tree. A bucket that gets more
// grows.
constexpr std::size_t kValuesPerNewBucket = 2;

}  // namespace

struct ParsedDocument::Parts {
  explicit Parts(std::size_t textBytes)
      : arena(RequestCaches::documentChunks()),
        liaison(memory),
        domSupport(liaison),
        document(XalanSourceTreeDocument::create(
            arena, XalanSourceTreeDocument::getPoolAllTextNodes(), XalanSourceTreeDocument::eDefaultNamesStringPoolBlockSize,
            XalanSourceTreeDocument::eDefaultNamesStringPoolBucketCount,
            XalanSourceTreeDocument::eDefaultNamesStringPoolBucketSize,
            XalanSourceTreeDocument::eDefaultValuesStringPoolBlockSize, valueBuckets(textBytes), kValuesPerNewBucket)),
        source(document, liaison, domSupport, xalanc::XalanDOMString(memory), memory) {}

  ~Parts() {
    // The rebuilt block refers to the document's names, so it goes first.
    keyValues.reset();
    // The wrapper only refers to the document; the document is this object's.
    xalanc::XalanDestroy(arena, document);
  }

  // The tree in an arena of its own; the parser, the liaison and the
  // handler, whose memory comes and goes, on the heap.
  DocumentArena arena;
  CountingMemoryManager memory;
  xalanc::XalanSourceTreeParserLiaison liaison;
  xalanc::XalanSourceTreeDOMSupport domSupport;
  XalanSourceTreeDocument* document;
  xalanc::XalanSourceTreeWrapperParsedSource source;
  // Made by the first get that gives the tree other key values.
  std::unique_ptr<KeyValueSlots> keyValues;
};

ParsedDocument::ParsedDocument(std::size_t textBytes)
    : parts_(std::make_unique<Parts>(textBytes)), textBytes_(textBytes) {}

ParsedDocument::~ParsedDocument() = default;

RequestStatus ParsedDocument::parse(std::string_view text, std::unique_ptr<ParsedDocument>& parsed,
                                    std::string* problem) {
  std::unique_ptr<ParsedDocument> document(new ParsedDocument(text.size()));
  Parts& parts = *document->parts_;
  xalanc::XalanSourceTreeContentHandler handler(parts.memory, parts.document);
  xercesc::MemBufInputSource input(reinterpret_cast<const XMLByte*>(text.data()), text.size(), "", false,
                                   &parts.memory);
  // The parser reads the text where it is; by default it reads a copy.
  input.setCopyBufToStream(false);
  FirstParseError errors;
  parts.liaison.setErrorHandler(&errors);
  // The parser stops at the first fatal error, and may also report it by throwing.
  bool thrown = false;
  try {
    parts.liaison.parseXMLStream(input, handler, xalanc::XalanDOMString(parts.memory), &handler, &handler);
  } catch (const xalanc::XSLException&) {
    thrown = true;
  } catch (const xercesc::SAXException&) {
    thrown = true;
  } catch (const xercesc::XMLException&) {
    thrown = true;
  } catch (const xalanc::XalanDOMException&) {
    thrown = true;
  }
  parts.liaison.setErrorHandler(nullptr);
  if (thrown || !errors.text().empty()) {
    if (problem) *problem = errors.text().empty() ? "it is not well-formed" : errors.text();
    return TransformFailed;
  }
  parsed = std::move(document);
  return Ok;
}

const xalanc::XalanParsedSource& ParsedDocument::source() const { return parts_->source; }

bool ParsedDocument::useKeyValues(const std::vector<std::string>& values) {
  if (values.empty()) return true;
  if (!parts_->keyValues) parts_->keyValues = KeyValueSlots::rebuild(*parts_->document);
  return parts_->keyValues && parts_->keyValues->assign(values);
}

std::size_t ParsedDocument::bytes() const {
  return parts_->arena.bytes() + parts_->memory.live() + (parts_->keyValues ? parts_->keyValues->bytes() : 0);
}

}  // namespace qrv::cim
