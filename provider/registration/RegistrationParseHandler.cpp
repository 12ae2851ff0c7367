#include "provider/registration/RegistrationParseHandler.h"

#include <xercesc/sax/AttributeList.hpp>

#include "provider/registration/Attribute.h"
#include "provider/registration/Conversion.h"
#include "provider/registration/XercesText.h"

namespace qrv::cim {

namespace {

using xercesc::AttributeList;

// The value of the first attribute called `name`; empty when there is none.
std::string attributeValue(AttributeList& attributes, const char* name) {
  for (XMLSize_t i = 0; i < attributes.getLength(); ++i) {
    if (transcode(attributes.getName(i)) == name) return transcode(attributes.getValue(i));
  }
  return "";
}

bool isTrue(const std::string& value) { return value == "true"; }

}  // namespace

void RegistrationParseHandler::startElement(const XMLCh* const name, AttributeList& attributes) {
  const std::string element = transcode(name);
  if (element == "Class") {
    startClass(attributes);
  } else if (element == "Enumerate") {
    startEnumerate();
  } else if (element == "Get") {
    startGet();
  } else if (element == "FileProvider") {
    startFileProvider(attributes);
  } else if (element == "Conversion") {
    startConversion(attributes);
  } else if (element == "Attribute") {
    startAttribute(attributes);
  } else if (element == "AssociationClass") {
    startAssociationClass(attributes);
  }
}

void RegistrationParseHandler::endElement(const XMLCh* const name) {
  const std::string element = transcode(name);
  if (element == "Class") {
    endClass();
  } else if (element == "FileProvider") {
    endFileProvider();
  }
}

void RegistrationParseHandler::startClass(AttributeList& attributes) {
  const std::string className = attributeValue(attributes, "name");
  const std::string nameSpace = attributeValue(attributes, "namespace");
  classMap_ = std::make_unique<ClassMap>(nameSpace, className);
}

// The operator word follows only operators that were actually created, so a
// dropped operator element leaves the word of the last real one in place.
void RegistrationParseHandler::startEnumerate() {
  if (!classMap_) return;
  classMap_->setEnumerateOperator(new Enumerate);
  operatorWord_ = "Enumerate";
}

void RegistrationParseHandler::startGet() {
  if (!classMap_) return;
  classMap_->setGetOperator(new Get);
  operatorWord_ = "Get";
}

void RegistrationParseHandler::startFileProvider(AttributeList& attributes) {
  const std::string name = attributeValue(attributes, "name");
  const std::string app = attributeValue(attributes, "app");
  const std::string area = attributeValue(attributes, "area");
  const bool unicode = isTrue(attributeValue(attributes, "unicode"));
  accessor_ = std::make_unique<FileAccessor>(app, area, name, unicode);
  accessor_->setValueOnly(attributeValue(attributes, "valueOnly"));
}

void RegistrationParseHandler::startConversion(AttributeList& attributes) {
  const std::string name = attributeValue(attributes, "name");
  const std::string app = attributeValue(attributes, "app");
  const std::string area = attributeValue(attributes, "area");
  if (OperatorBase* op = currentOperator()) op->setConversion(new Conversion(app, area, name));
}

void RegistrationParseHandler::startAttribute(AttributeList& attributes) {
  const std::string name = attributeValue(attributes, "name");
  const bool required = isTrue(attributeValue(attributes, "required"));
  const std::string altName = attributeValue(attributes, "alt-name");
  const bool writable = isTrue(attributeValue(attributes, "writable"));
  if (classMap_) classMap_->addAttribute(Attribute(required, writable, name, altName));
}

void RegistrationParseHandler::startAssociationClass(AttributeList& attributes) {
  const std::string name = attributeValue(attributes, "name");
  if (classMap_ && !name.empty()) classMap_->addAssociationClass(name);
}

void RegistrationParseHandler::endClass() {
  if (classMap_) sink_(std::move(classMap_));
}

void RegistrationParseHandler::endFileProvider() {
  if (!accessor_) return;
  if (OperatorBase* op = currentOperator()) {
    op->addAccessor(accessor_.release());
  } else {
    accessor_.reset();
  }
}

OperatorBase* RegistrationParseHandler::currentOperator() const {
  if (!classMap_) return nullptr;
  if (operatorWord_ == "Enumerate") return classMap_->enumerateOperator();
  if (operatorWord_ == "Get") return classMap_->getOperator();
  return nullptr;
}

}  // namespace qrv::cim
