#include <memory>
#include <optional>
#include <sstream>
#include <string_view>
#include <typeinfo>
#include <vector>

#include "provider/request/transform/RequestTransform.h"

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/XSLT/XSLTResultTarget.hpp>

#include "provider/diagnostic/Diagnostic.h"
#include "provider/registration/ModuleRoots.h"
#include "provider/request/cache/ParsedDocument.h"
#include "provider/request/cache/RequestCaches.h"
#include "provider/request/document/AttributesShape.h"
#include "provider/request/document/DataFileLimits.h"
#include "provider/request/document/DataFiles.h"
#include "provider/request/xslt/DocumentBounds.h"
#include "provider/request/xslt/ResultTextFormatter.h"
#include "provider/request/xslt/TransformBudget.h"

namespace qrv::cim {

namespace {

std::string_view upToZero(std::string_view text) { return text.substr(0, text.find('\0')); }

std::string stylesheetPath(const Conversion& conversion, const std::string& root) {
  return nativePath(root + "/" + conversion.relativePath());
}

// What document() may read: files below the stylesheet root, each within the
// bounds of a data file.
DocumentBounds documentBounds(const std::string& root) {
  const DataFileLimits limits = DataFileLimits::current();
  return {root, limits.maxBytes, limits.maxDepth};
}

// Transforms the document into the result text, up to the first zero byte
// of the output, within the transform limits: UTF-8 text output is written
// into it straight, any other through Xalan-C's serializer and a stream.
bool transformInto(BoundedTransformer& transformer, const ParsedDocument& document,
                   const CompiledStylesheet& stylesheet, const DocumentBounds& documents, std::string& resultText) {
  resultText.clear();
  if (ResultTextFormatter::writesOutputOf(*stylesheet.get())) {
    // A result text runs to about its document's size, an inventory's a
    // little more: room for twice that spares the copies of a growing
    // string, and what is never written costs no memory.
    resultText.reserve(2 * document.textBytes());
    ResultTextFormatter formatter(resultText);
    TransformBudget budget(TransformLimits::current(), [&resultText] { return resultText.size(); });
    return transformer.transform(document.source(), stylesheet.get(), xalanc::XSLTResultTarget(formatter), budget,
                                 documents);
  }
  std::ostringstream output;
  TransformBudget budget(TransformLimits::current(), [&output] { return static_cast<std::size_t>(output.tellp()); });
  const bool transformed =
      transformer.transform(document.source(), stylesheet.get(), xalanc::XSLTResultTarget(output), budget, documents);
  resultText = output.str();
  resultText.resize(upToZero(resultText).size());
  return transformed;
}

// Applies a compiled stylesheet to a parsed document; the processor's
// output is the result text even on failure.
RequestStatus apply(const ParsedDocument& document, const CompiledStylesheet& stylesheet, const std::string& path,
                    const std::string& root, std::string& resultText) {
  auto transformer = RequestCaches::transformers().lease();
  if (transformInto(*transformer, document, stylesheet, documentBounds(root), resultText)) return Ok;
  diagnose([&] { return "the stylesheet " + path + " failed on the request: " + (*transformer).lastError(); });
  return TransformFailed;
}

// Parses the document and applies the stylesheet to it; the parsed
// document is handed back in `parsed`.
RequestStatus parseAndApply(std::string_view document, const CompiledStylesheet& stylesheet, const std::string& path,
                            const std::string& root, std::unique_ptr<ParsedDocument>& parsed,
                            std::string& resultText) {
  resultText.clear();
  std::string problem;
  if (ParsedDocument::parse(upToZero(document), parsed, &problem) != Ok) {
    diagnose([&] {
      return "the request document for " + path + " does not parse as XML (" + problem +
             "): check that the data files are well-formed";
    });
    return TransformFailed;
  }
  return apply(*parsed, stylesheet, path, root, resultText);
}

// The identities of the operator's data files, in the order appendDataFiles
// reads them, with their paths appended to `key`; empty when one cannot be
// had (appendDataFiles then reports the file).
std::optional<DocumentCache::Identities> dataIdentities(const OperatorBase& op, std::string& key) {
  DocumentCache::Identities identities;
  for (const auto& accessor : op.accessors()) {
    const Accessor& source = *accessor;
    if (typeid(source) != typeid(FileAccessor)) continue;
    const std::string path = dataFilePath(static_cast<const FileAccessor&>(source));
    const std::optional<FileIdentity> identity = identityOf(path);
    if (!identity) return std::nullopt;
    key += '\0';
    key += path;
    identities.push_back(*identity);
  }
  return identities;
}

// Whether the operator names a stylesheet; says so on the diagnostic
// channel when it does not.
bool namesStylesheet(const OperatorBase& op) {
  if (op.conversion()) return true;
  diagnose([] { return std::string("the operation names no stylesheet: its <Conversion> is missing"); });
  return false;
}

// Finishes the document and transforms it, reusing the parsed document kept
// under `key` (the document's start and its data files' paths) with the key
// `values` of a get while its data files stay the same, and keeping the one
// it used for the next request.
RequestStatus transformKept(const OperatorBase& op, std::string& document, std::string key,
                            const std::vector<std::string>& values, std::string& resultText) {
  // The identities are taken before the files are read: a file that changes
  // after that differs from them next time, and is read again.
  const std::optional<DocumentCache::Identities> identities = dataIdentities(op, key);
  std::unique_ptr<ParsedDocument> parsed = identities ? RequestCaches::documents().take(key, *identities) : nullptr;
  if (parsed && !parsed->useKeyValues(values)) parsed.reset();
  if (!parsed) {
    const RequestStatus dataStatus = appendDataFiles(op, document);
    if (dataStatus != Ok) return dataStatus;
    document += "</QRVCIM>";
  }
  if (!namesStylesheet(op)) return NotAccessible;
  const std::string root = xslRoot();
  const std::string path = stylesheetPath(*op.conversion(), root);
  const std::shared_ptr<const CompiledStylesheet> stylesheet = RequestCaches::stylesheets().find(path, root);
  if (!stylesheet) return StylesheetFailed;
  const RequestStatus status = parsed ? apply(*parsed, *stylesheet, path, root, resultText)
                                      : parseAndApply(document, *stylesheet, path, root, parsed, resultText);
  if (parsed && identities) RequestCaches::documents().give(key, *identities, std::move(parsed));
  return status;
}

}  // namespace

RequestStatus transformDocument(const std::string& document, const Conversion& conversion, std::string& resultText) {
  const std::string root = xslRoot();
  const std::string path = stylesheetPath(conversion, root);
  const std::shared_ptr<const CompiledStylesheet> stylesheet = RequestCaches::stylesheets().find(path, root);
  if (!stylesheet) return StylesheetFailed;
  std::unique_ptr<ParsedDocument> parsed;
  return parseAndApply(document, *stylesheet, path, root, parsed, resultText);
}

RequestStatus finishAndTransformReused(const OperatorBase& op, std::string& document, std::string& resultText) {
  return transformKept(op, document, document, {}, resultText);
}

RequestStatus finishAndTransformKeyed(const OperatorBase& op, std::string& document, std::size_t attributesAt,
                                      std::string& resultText) {
  std::vector<std::string> values;
  std::string key = document.substr(0, attributesAt);
  key += attributesShape(std::string_view(document).substr(attributesAt), values);
  return transformKept(op, document, std::move(key), values, resultText);
}

}  // namespace qrv::cim
