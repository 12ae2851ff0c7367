#include "provider/request/xslt/DocumentFiles.h"

#include <xalanc/PlatformSupport/URISupport.hpp>
#include <xalanc/PlatformSupport/XSLException.hpp>
#include <xalanc/XalanDOM/XalanDOMException.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeContentHandler.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeDocument.hpp>
#include <xercesc/sax/InputSource.hpp>
#include <xercesc/sax/SAXException.hpp>
#include <xercesc/util/BinFileInputStream.hpp>
#include <xercesc/util/XMLException.hpp>

#include <memory>

#include "provider/registration/XercesText.h"
#include "provider/request/xslt/ReachableFile.h"

namespace qrv::cim {

namespace {

// Elements parsed between two calls of the checkpoint.
constexpr std::size_t kElementsPerCheckpoint = 256;

// A file's bytes up to a bound: past it the stream ends, and notes that the
// file was cut.
class BoundedFileStream : public xercesc::BinInputStream {
 public:
  BoundedFileStream(const std::string& path, std::size_t maxBytes, bool& cut)
      : file_(path.c_str()), maxBytes_(maxBytes), cut_(cut) {}

  bool isOpen() const { return file_.getIsOpen(); }

  XMLFilePos curPos() const override { return file_.curPos(); }

  XMLSize_t readBytes(XMLByte* const toFill, const XMLSize_t maxToRead) override {
    if (cut_) return 0;
    const XMLSize_t got = file_.readBytes(toFill, maxToRead);
    read_ += got;
    cut_ = read_ > maxBytes_;
    return cut_ ? 0 : got;
  }

  const XMLCh* getContentType() const override { return nullptr; }

 private:
  xercesc::BinFileInputStream file_;
  std::size_t maxBytes_;
  std::size_t read_ = 0;
  bool& cut_;
};

// A file for the parser, read through a BoundedFileStream.
class BoundedFileSource : public xercesc::InputSource {
 public:
  BoundedFileSource(const std::string& path, std::size_t maxBytes)
      : InputSource(path.c_str()), path_(path), maxBytes_(maxBytes) {}

  xercesc::BinInputStream* makeStream() const override {
    auto stream = std::make_unique<BoundedFileStream>(path_, maxBytes_, cut_);
    opened_ = stream->isOpen();
    return opened_ ? stream.release() : nullptr;
  }

  bool opened() const { return opened_; }
  // Whether the file was longer than the bound.
  bool cut() const { return cut_; }

 private:
  std::string path_;
  std::size_t maxBytes_;
  mutable bool opened_ = false;
  mutable bool cut_ = false;
};

// Builds a tree, and ends the parse with Refused at a document type
// declaration or an element nested deeper than the bound, or with whatever
// the checkpoint throws.
class BoundedTreeHandler : public xalanc::XalanSourceTreeContentHandler {
 public:
  struct Refused {
    std::string reason;
  };

  BoundedTreeHandler(xalanc::MemoryManager& memory, xalanc::XalanSourceTreeDocument* document, std::size_t maxDepth,
                     const std::function<void()>& checkpoint)
      : XalanSourceTreeContentHandler(memory, document), maxDepth_(maxDepth), checkpoint_(checkpoint) {}

  void startDTD(const XMLCh* const, const XMLCh* const, const XMLCh* const) override {
    throw Refused{"has a document type declaration"};
  }

  void startElement(const XMLCh* const uri, const XMLCh* const localName, const XMLCh* const qName,
                    const xalanc::AttributesType& attributes) override {
    if (++depth_ > maxDepth_) throw Refused{"nests deeper than " + std::to_string(maxDepth_) + " elements"};
    if (++elements_ % kElementsPerCheckpoint == 0) checkpoint_();
    XalanSourceTreeContentHandler::startElement(uri, localName, qName, attributes);
  }

  void endElement(const XMLCh* const uri, const XMLCh* const localName, const XMLCh* const qName) override {
    --depth_;
    XalanSourceTreeContentHandler::endElement(uri, localName, qName);
  }

 private:
  std::size_t maxDepth_;
  const std::function<void()>& checkpoint_;
  std::size_t depth_ = 0;
  std::size_t elements_ = 0;
};

// `url` resolved against `base` as Xalan-C resolves it, or as written when
// it cannot be.
std::string resolvedUrl(const xalanc::XalanDOMString& url, const xalanc::XalanDOMString& base,
                        xalanc::MemoryManager& memory) {
  try {
    xalanc::XalanDOMString resolved(memory);
    xalanc::URISupport::getURLStringFromString(url, base, resolved);
    return transcode(resolved.c_str());
  } catch (const xercesc::XMLException&) {
    return transcode(url.c_str());
  }
}

// Gives a tree back to the liaison that made it.
struct TreeDestroyer {
  xalanc::XalanSourceTreeParserLiaison& liaison;
  void operator()(xalanc::XalanSourceTreeDocument* tree) const { liaison.destroyDocument(tree); }
};

// Runs the parse; why it failed, or empty.
template <class Parse>
std::string failureOf(Parse parse, const FirstParseError& errors) {
  try {
    parse();
  } catch (const BoundedTreeHandler::Refused& refused) {
    return refused.reason;
  } catch (const xercesc::SAXException& error) {
    return "does not parse as XML: " + transcode(error.getMessage());
  } catch (const xercesc::XMLException& error) {
    return "does not parse as XML: " + transcode(error.getMessage());
  } catch (const xalanc::XSLException&) {
    return "does not parse as XML";
  } catch (const xalanc::XalanDOMException&) {
    return "does not parse as XML";
  }
  return errors.text().empty() ? std::string() : "does not parse as XML: " + errors.text();
}

}  // namespace

DocumentFiles::DocumentFiles(const DocumentBounds& bounds, xalanc::MemoryManager& memory)
    : bounds_(bounds), memory_(memory) {}

xalanc::XalanDocument* DocumentFiles::load(const xalanc::XalanDOMString& url, const xalanc::XalanDOMString& base,
                                           const std::function<void()>& checkpoint, std::string& problem) {
  const std::string resolved = resolvedUrl(url, base, memory_);
  const FileReach reach = reachFile(resolved, bounds_.root);
  std::string reason = reach.refusal;
  xalanc::XalanDocument* const tree = reason.empty() ? treeOf(reach.path, checkpoint, reason) : nullptr;
  if (!tree) problem = "it reads " + resolved + " with document(), which " + reason;
  return tree;
}

xalanc::XalanDocument* DocumentFiles::treeOf(const std::string& path, const std::function<void()>& checkpoint,
                                             std::string& problem) {
  const auto kept = trees_.find(path);
  if (kept != trees_.end()) return kept->second;
  xalanc::XalanDocument* const tree = parse(path, checkpoint, problem);
  if (tree) trees_.emplace(path, tree);
  return tree;
}

xalanc::XalanDocument* DocumentFiles::parse(const std::string& path, const std::function<void()>& checkpoint,
                                            std::string& problem) {
  xalanc::XalanSourceTreeParserLiaison& parser = liaison();
  // Given back unless it is parsed.
  std::unique_ptr<xalanc::XalanSourceTreeDocument, TreeDestroyer> tree(parser.createXalanSourceTreeDocument(),
                                                                       TreeDestroyer{parser});
  BoundedTreeHandler handler(memory_, tree.get(), bounds_.maxDepth, checkpoint);
  const BoundedFileSource source(path, bounds_.maxBytes);
  errors_.resetErrors();
  problem = failureOf(
      [&] { parser.parseXMLStream(source, handler, xalanc::XalanDOMString(memory_), &handler, &handler); }, errors_);
  if (!source.opened()) {
    problem = "cannot be opened";
  } else if (source.cut()) {
    problem = "is larger than " + std::to_string(bounds_.maxBytes) + " bytes";
  }
  return problem.empty() ? tree.release() : nullptr;
}

xalanc::XalanSourceTreeParserLiaison& DocumentFiles::liaison() {
  if (!liaison_) {
    liaison_.emplace(memory_);
    liaison_->setErrorHandler(&errors_);
  }
  return *liaison_;
}

}  // namespace qrv::cim
