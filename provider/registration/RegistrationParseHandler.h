#pragma once

#include <xercesc/sax/HandlerBase.hpp>

#include <memory>
#include <string>

#include "provider/registration/Accessor.h"
#include "provider/registration/ClassCache.h"
#include "provider/registration/ClassMap.h"
#include "provider/registration/FirstParseError.h"
#include "provider/registration/Operator.h"

namespace qrv::cim {

// Builds class maps from the SAX events of one registration file and hands
// each completed class map to its sink, the class cache unless told
// otherwise. Elements act on the state
// that earlier elements of the file left, whatever their nesting: the current
// class map and the current operator word ("Enumerate" or "Get"). An element
// that has nothing to attach to is dropped. A parse error stops nothing
// here (the parser stops at a fatal one); the first is kept for diagnostics.
// A class map still open when the parse stops is discarded.
class RegistrationParseHandler : public xercesc::HandlerBase {
 public:
  explicit RegistrationParseHandler(ClassMapSink sink = insertIntoCache) : sink_(std::move(sink)) {}
  ~RegistrationParseHandler() override = default;
  RegistrationParseHandler(const RegistrationParseHandler&) = delete;
  RegistrationParseHandler& operator=(const RegistrationParseHandler&) = delete;

  void endElement(const XMLCh* const name) override;
  void startElement(const XMLCh* const name, xercesc::AttributeList& attributes) override;

  void warning(const xercesc::SAXParseException&) override {}
  void error(const xercesc::SAXParseException& error) override { firstError_.error(error); }
  void fatalError(const xercesc::SAXParseException& error) override { firstError_.fatalError(error); }

  // The first parse error, "line L, column C: message"; empty when none.
  const std::string& problem() const { return firstError_.text(); }

 private:
  void startClass(xercesc::AttributeList& attributes);
  void startEnumerate();
  void startGet();
  void startFileProvider(xercesc::AttributeList& attributes);
  void startConversion(xercesc::AttributeList& attributes);
  void startAttribute(xercesc::AttributeList& attributes);
  void startAssociationClass(xercesc::AttributeList& attributes);
  void endClass();
  void endFileProvider();

  // The operator of the current class map that the operator word names;
  // null when there is no such operator.
  OperatorBase* currentOperator() const;

  ClassMapSink sink_;
  FirstParseError firstError_;

  std::string operatorWord_;
  std::unique_ptr<ClassMap> classMap_;
  std::unique_ptr<FileAccessor> accessor_;
};

}  // namespace qrv::cim
