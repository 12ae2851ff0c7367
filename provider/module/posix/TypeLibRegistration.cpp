// Without Windows there is no type library loader to register the library,
// so the keys it would write are written here from a table:
// TypeLib\{LIBID}\1.0 with the help string, FLAGS, and the module path
// under the locale and the platform.

#include <cstdio>
#include <vector>

#include "common/com/GuidText.h"
#include "provider/module/ComIdentity.h"
#include "provider/module/Registrar.h"
#include "provider/module/TypeLibRegistration.h"

namespace qrv::cim {

using com::guidText;

namespace {

const std::vector<RegistryEntry>& typeLibEntries() {
  static const std::vector<RegistryEntry> entries = {
      {"TypeLib", std::nullopt, {}, KeyRule::kKeep},
      {"TypeLib\\%LIBID%", std::nullopt, {}, KeyRule::kWrite},
      {"TypeLib\\%LIBID%\\%VERSION%", "%HELPSTRING%", {}, KeyRule::kReplaceWhole},
      {"TypeLib\\%LIBID%\\%VERSION%\\FLAGS", "0", {}, KeyRule::kWrite},
      {"TypeLib\\%LIBID%\\%VERSION%\\%LOCALE%", std::nullopt, {}, KeyRule::kWrite},
      {"TypeLib\\%LIBID%\\%VERSION%\\%LOCALE%\\%PLATFORM%", "%MODULE%", {}, KeyRule::kWrite},
  };
  return entries;
}

std::string hexText(unsigned number) {
  char text[16];
  std::snprintf(text, sizeof text, "%x", number);
  return text;
}

Replacements typeLibReplacements(const std::string& modulePath) {
  return {
      {"LIBID", guidText(kLibId)},
      {"VERSION", std::to_string(kTypeLibMajorVersion) + "." + std::to_string(kTypeLibMinorVersion)},
      {"HELPSTRING", kTypeLibHelpString},
      {"LOCALE", hexText(kTypeLibLocale)},
      {"PLATFORM", sizeof(void*) == 8 ? "win64" : "win32"},
      {"MODULE", modulePath},
  };
}

}  // namespace

HRESULT registerTypeLibrary(RegistryKeys& keys, const std::string& modulePath) {
  return writeEntries(keys, typeLibEntries(), typeLibReplacements(modulePath));
}

HRESULT unregisterTypeLibrary(RegistryKeys& keys) {
  return removeEntries(keys, typeLibEntries(), typeLibReplacements(""));
}

}  // namespace qrv::cim
