#pragma once

#include <cstddef>

namespace qrv::cim {

// The positive decimal number in the environment variable `name`, or
// `fallback` when it is unset or holds anything else.
std::size_t numberFromEnvironment(const char* name, std::size_t fallback);

}  // namespace qrv::cim
