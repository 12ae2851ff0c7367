#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "provider/registration/Attribute.h"
#include "provider/registration/Operator.h"

namespace qrv::cim {

// The registration of one CIM class. Once handed to the class cache it is
// never modified, so any number of requests may read it at once.
class ClassMap {
 public:
  ClassMap(std::string nameSpace, std::string className)
      : nameSpace_(std::move(nameSpace)), className_(std::move(className)) {}
  virtual ~ClassMap() = default;
  ClassMap(const ClassMap&) = delete;
  ClassMap& operator=(const ClassMap&) = delete;

  const std::string& nameSpace() const { return nameSpace_; }
  const std::string& className() const { return className_; }
  const Enumerate* enumerateOperator() const { return enumerateOperator_.get(); }
  const Get* getOperator() const { return getOperator_.get(); }
  Enumerate* enumerateOperator() { return enumerateOperator_.get(); }
  Get* getOperator() { return getOperator_.get(); }
  const std::vector<Attribute>& attributes() const { return attributes_; }
  const std::vector<std::string>& associationClasses() const { return associationClasses_; }

  void addAttribute(const Attribute& attribute) { attributes_.push_back(attribute); }
  void addAssociationClass(const std::string& name) { associationClasses_.push_back(name); }
  // Both take ownership and replace (and destroy) an earlier operator.
  void setEnumerateOperator(Enumerate* op) { enumerateOperator_.reset(op); }
  void setGetOperator(Get* op) { getOperator_.reset(op); }

 private:
  std::string nameSpace_;
  std::string className_;
  std::unique_ptr<Enumerate> enumerateOperator_;
  std::unique_ptr<Get> getOperator_;
  std::vector<Attribute> attributes_;
  std::vector<std::string> associationClasses_;
};

// Receives each class map a registration file completes.
using ClassMapSink = std::function<void(std::unique_ptr<ClassMap>)>;

}  // namespace qrv::cim
