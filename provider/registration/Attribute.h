#pragma once

#include <string>

namespace qrv::cim {

// One registered property of a class. A required attribute is a key that a
// get must supply; altName, when set, is the name under which the key is
// written into the request document.
class Attribute {
 public:
  Attribute(bool required, bool writable, std::string name, std::string altName)
      : writable_(writable), required_(required), name_(std::move(name)), altName_(std::move(altName)) {}
  virtual ~Attribute() = default;
  Attribute(const Attribute&) = default;
  Attribute& operator=(const Attribute&) = default;

  bool writable() const { return writable_; }
  bool required() const { return required_; }
  const std::string& name() const { return name_; }
  const std::string& altName() const { return altName_; }

 private:
  bool writable_;
  bool required_;
  std::string name_;
  std::string altName_;
};

}  // namespace qrv::cim
