#pragma once

#include <cstddef>
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

// Finishes an enumeration's document whose header is written: adds the
// operator's data, closes the root element and transforms it into
// `resultText`. The parsed document is kept and reused while the document's
// start and its data files stay the same.
RequestStatus finishAndTransformReused(const OperatorBase& op, std::string& document, std::string& resultText);

// finishAndTransformReused for a get, whose document holds its header and,
// from `attributesAt`, its <Attributes> block: a kept document of a get of
// the same class whose block has the same shape (see attributesShape) is
// reused with the key values of this one.
RequestStatus finishAndTransformKeyed(const OperatorBase& op, std::string& document, std::size_t attributesAt,
                                      std::string& resultText);

}  // namespace qrv::cim
