#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeParserLiaison.hpp>

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "provider/registration/FirstParseError.h"
#include "provider/request/xslt/DocumentBounds.h"

namespace XALAN_CPP_NAMESPACE {
class XalanDocument;
class XalanDOMString;
}  // namespace XALAN_CPP_NAMESPACE

namespace qrv::cim {

// The files that one transform reads with document(), each parsed once
// into a tree that lives as long as this object: only files within the
// DocumentBounds, without a document type declaration (whose entities can
// blow a few hundred bytes up into hours of parsing, or read any file).
class DocumentFiles {
 public:
  DocumentFiles(const DocumentBounds& bounds, xalanc::MemoryManager& memory);

  // The tree of the file that `url`, resolved against `base`, names. Null
  // when the file may not be read, is beyond the bounds or is no
  // well-formed XML; `problem` then says so in a sentence naming the URL.
  // `checkpoint` is called every few elements while the file is parsed, and
  // may end the parse by throwing.
  xalanc::XalanDocument* load(const xalanc::XalanDOMString& url, const xalanc::XalanDOMString& base,
                              const std::function<void()>& checkpoint, std::string& problem);

 private:
  // The tree of the file at `path`, parsed on its first load; null with
  // the reason in `problem` when it cannot be.
  xalanc::XalanDocument* treeOf(const std::string& path, const std::function<void()>& checkpoint,
                                std::string& problem);
  xalanc::XalanDocument* parse(const std::string& path, const std::function<void()>& checkpoint,
                               std::string& problem);
  xalanc::XalanSourceTreeParserLiaison& liaison();

  DocumentBounds bounds_;
  xalanc::MemoryManager& memory_;
  FirstParseError errors_;
  // Owns the trees; made on the first load, as most transforms read no file.
  std::optional<xalanc::XalanSourceTreeParserLiaison> liaison_;
  std::map<std::string, xalanc::XalanDocument*> trees_;  // by path
};

}  // namespace qrv::cim
