#pragma once

#include <string>

#include "provider/registration/Conversion.h"
#include "provider/registration/Operator.h"
#include "provider/request/model/RequestStatus.h"

namespace qrv::cim {

// The transform step of a request, with the compiled stylesheets, parsed
// documents and transformers that the requests of this process keep.

// Applies the conversion's stylesheet to the document. StylesheetFailed
// when it cannot be compiled, TransformFailed when applying it fails (the
// processor's partial output is kept in `resultText` all the same).
RequestStatus transformDocument(const std::string& document, const Conversion& conversion, std::string& resultText);

// Finishes a document whose header (and attributes) are written: adds the
// operator's data, closes the root element and transforms it into `resultText`.
RequestStatus finishAndTransform(const OperatorBase& op, std::string& document, std::string& resultText);

// finishAndTransform for requests that repeat: the parsed document is kept
// and reused while the document's start and its data files stay the same.
RequestStatus finishAndTransformReused(const OperatorBase& op, std::string& document, std::string& resultText);

}  // namespace qrv::cim
