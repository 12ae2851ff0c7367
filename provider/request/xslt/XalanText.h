#pragma once

#include <xalanc/XalanDOM/XalanDOMString.hpp>

#include <string>

namespace qrv::cim {

// A Xalan-C string as text for a message, in the local code page, with '?'
// for what it cannot show.
std::string narrow(const xalanc::XalanDOMString& text);

}  // namespace qrv::cim
