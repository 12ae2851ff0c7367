#pragma once
// The system properties of every class and instance, in WMI's order, and
// their values for the stand-in's objects:
//   __GENUS           1 for a class, 2 for an instance (sint32)
//   __CLASS           the class's name
//   __SUPERCLASS      its base class; NULL without one
//   __DYNASTY         the top of its derivation, the class itself without a base
//   __RELPATH         see ObjectPath.h; NULL while a key is unset
//   __PROPERTY_COUNT  the number of its non-system properties (sint32)
//   __DERIVATION      its base classes, nearest first (an array of strings)
//   __SERVER          this machine's name (see ComputerName.h)
//   __NAMESPACE       the class's namespace, such as root\cimv2
//   __PATH            \\__SERVER\__NAMESPACE:__RELPATH; NULL without __RELPATH
// All are read-only.

#include <array>
#include <optional>
#include <string_view>

#include "common/com/TextConversion.h"
#include "common/com/Variant.h"
#include "common/com/WmiSdk.h"

namespace wmihost {

class WbemObject;

inline constexpr std::array<std::string_view, 10> kSystemProperties{
    "__GENUS",          "__CLASS",      "__SUPERCLASS", "__DYNASTY",   "__RELPATH",
    "__PROPERTY_COUNT", "__DERIVATION", "__SERVER",     "__NAMESPACE", "__PATH"};

// The system property's canonical name, found ignoring case.
std::optional<std::string_view> systemPropertyName(qrv::com::WideTextView name);
std::optional<std::string_view> systemPropertyName(std::string_view name);

CIMTYPE systemPropertyType(std::string_view canonicalName);

// The value of the system property of that canonical name.
qrv::com::Variant systemPropertyValue(const WbemObject& object, std::string_view canonicalName);

}  // namespace wmihost
