#include "provider/registration/Operator.h"

namespace qrv::cim {

// The conversion goes first, then the accessors in vector order.
OperatorBase::~OperatorBase() {
  conversion_.reset();
  for (auto& accessor : accessors_) accessor.reset();
}

}  // namespace qrv::cim
