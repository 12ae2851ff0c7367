#pragma once
// The volume names Windows lists (FindFirstVolumeW, FindNextVolumeW).

#include <optional>
#include <string>
#include <string_view>

namespace collector {

// The GUID of a volume name \\?\Volume{GUID}\ without its braces, as the
// partition's uuid; nullopt for a name of any other form.
std::optional<std::string> volumeGuid(std::string_view volumeName);

}  // namespace collector
