#pragma once

#include <string>

namespace qrv::cim {

// This machine's host name, looked up once per process and cached. While the
// look-up fails the result is empty and the next call tries again.
std::string hostName();

}  // namespace qrv::cim
