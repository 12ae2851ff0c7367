#pragma once

#include <xercesc/util/XercesDefs.hpp>

#include <string>

namespace qrv::cim {

// A Xerces-C string as text in the local code page; empty for none.
std::string transcode(const XMLCh* text);

}  // namespace qrv::cim
