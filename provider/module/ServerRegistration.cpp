#include "provider/module/ServerRegistration.h"

#include <vector>

#include "common/com/GuidText.h"
#include "provider/module/ComIdentity.h"
#include "provider/module/Registrar.h"
#include "provider/module/RegistrySession.h"
#include "provider/module/TypeLibRegistration.h"

namespace qrv::cim {

using com::guidText;

namespace {

const std::vector<RegistryEntry>& appIdEntries() {
  static const std::vector<RegistryEntry> entries = {
      {"AppID", std::nullopt, {}, KeyRule::kKeep},
      {"AppID\\%APPID%", kServerName, {}, KeyRule::kWrite},
      {"AppID\\qrvcim.DLL", std::nullopt, {{"AppID", "%APPID%"}}, KeyRule::kWrite},
  };
  return entries;
}

const std::vector<RegistryEntry>& classEntries() {
  static const std::vector<RegistryEntry> entries = {
      {"%PROGID%", "%FriendlyName%", {}, KeyRule::kWrite},
      {"%PROGID%\\CLSID", "%CLSID%", {}, KeyRule::kWrite},
      {"%VIPROGID%", "%FriendlyName%", {}, KeyRule::kWrite},
      {"%VIPROGID%\\CLSID", "%CLSID%", {}, KeyRule::kWrite},
      {"%VIPROGID%\\CurVer", "%PROGID%", {}, KeyRule::kWrite},
      {"CLSID", std::nullopt, {}, KeyRule::kKeep},
      {"CLSID\\%CLSID%", "%FriendlyName%", {{"AppID", "%APPID%"}}, KeyRule::kReplaceWhole},
      {"CLSID\\%CLSID%\\ProgID", "%PROGID%", {}, KeyRule::kWrite},
      {"CLSID\\%CLSID%\\VersionIndependentProgID", "%VIPROGID%", {}, KeyRule::kWrite},
      {"CLSID\\%CLSID%\\Programmable", std::nullopt, {}, KeyRule::kReplaceWhole},
      {"CLSID\\%CLSID%\\%MODULETYPE%", "%MODULE%", {{"ThreadingModel", kThreadingModel}}, KeyRule::kWrite},
      {"CLSID\\%CLSID%\\TypeLib", "%MODULEGUID%", {}, KeyRule::kWrite},
  };
  return entries;
}

Replacements classReplacements(const std::string& modulePath, const Replacements& common) {
  Replacements replacements = common;
  replacements["FriendlyName"] = kFriendlyName;
  replacements["MODULE"] = modulePath;
  replacements["MODULETYPE"] = kModuleType;
  replacements["MODULEGUID"] = guidText(kLibId);
  replacements["CLSID"] = guidText(kClsidQVProvider);
  replacements["PROGID"] = kProgId;
  replacements["VIPROGID"] = kVersionIndependentProgId;
  return replacements;
}

}  // namespace

HRESULT registerServer(const std::string& modulePath, const Replacements& common) {
  const Replacements classes = classReplacements(modulePath, common);
  return inRegistrySession([&](RegistryKeys& keys) {
    HRESULT hr = writeEntries(keys, appIdEntries(), common);
    if (SUCCEEDED(hr)) hr = writeEntries(keys, classEntries(), classes);
    if (SUCCEEDED(hr)) hr = registerTypeLibrary(keys, modulePath);
    return hr;
  });
}

HRESULT unregisterServer(const Replacements& common) {
  const Replacements classes = classReplacements("", common);
  return inRegistrySession([&](RegistryKeys& keys) {
    HRESULT hr = removeEntries(keys, classEntries(), classes);
    if (SUCCEEDED(hr)) hr = unregisterTypeLibrary(keys);
    if (SUCCEEDED(hr)) hr = removeEntries(keys, appIdEntries(), common);
    return hr;
  });
}

}  // namespace qrv::cim
