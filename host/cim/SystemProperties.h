#pragma once
// The system properties that the stand-in's objects answer, in WMI's order.
// WMI has more (__PATH, __SERVER, __DYNASTY, ...); these are the ones that
// identify an object without a server.

#include <array>
#include <optional>
#include <string_view>

#include "common/com/TextConversion.h"
#include "common/com/WmiSdk.h"

namespace wmihost {

inline constexpr std::array<std::string_view, 5> kSystemProperties{"__GENUS", "__CLASS", "__SUPERCLASS", "__RELPATH",
                                                                   "__NAMESPACE"};

// The system property's canonical name, found ignoring case.
std::optional<std::string_view> systemPropertyName(qrv::com::WideTextView name);

// __GENUS is a sint32, the others strings.
CIMTYPE systemPropertyType(std::string_view canonicalName);

}  // namespace wmihost
