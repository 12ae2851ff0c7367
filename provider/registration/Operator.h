#pragma once

#include <memory>
#include <vector>

#include "provider/registration/Accessor.h"
#include "provider/registration/Conversion.h"

namespace qrv::cim {

// One operation of a class: its data sources in document order and its
// stylesheet. The operator's kind is its dynamic type (Enumerate or Get).
class OperatorBase {
 public:
  OperatorBase() = default;
  virtual ~OperatorBase();
  OperatorBase(const OperatorBase&) = delete;
  OperatorBase& operator=(const OperatorBase&) = delete;

  // Takes ownership.
  void addAccessor(Accessor* accessor) { accessors_.emplace_back(accessor); }
  // Takes ownership; replaces (and destroys) an earlier conversion.
  void setConversion(Conversion* conversion) { conversion_.reset(conversion); }

  const std::vector<std::unique_ptr<Accessor>>& accessors() const { return accessors_; }
  const Conversion* conversion() const { return conversion_.get(); }

 private:
  std::vector<std::unique_ptr<Accessor>> accessors_;
  std::unique_ptr<Conversion> conversion_;
};

class Enumerate : public OperatorBase {};

class Get : public OperatorBase {};

}  // namespace qrv::cim
