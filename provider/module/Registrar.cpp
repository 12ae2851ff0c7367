#include "provider/module/Registrar.h"

namespace qrv::cim {

namespace {

HRESULT writeValues(RegistryKeys& keys, const std::string& key, const RegistryEntry& entry,
                    const Replacements& replacements) {
  if (entry.defaultValue) {
    const HRESULT hr = keys.setText(key, "", expandReplacements(*entry.defaultValue, replacements));
    if (FAILED(hr)) return hr;
  }
  for (const auto& [name, text] : entry.namedValues) {
    const HRESULT hr = keys.setText(key, name, expandReplacements(text, replacements));
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT writeEntry(RegistryKeys& keys, const RegistryEntry& entry, const Replacements& replacements) {
  const std::string key = expandReplacements(entry.key, replacements);
  if (entry.rule == KeyRule::kReplaceWhole) {
    const HRESULT hr = keys.deleteTree(key);
    if (FAILED(hr)) return hr;
  }
  const HRESULT hr = keys.createKey(key);
  if (FAILED(hr) || entry.rule == KeyRule::kKeep) return hr;
  return writeValues(keys, key, entry, replacements);
}

HRESULT removeWrittenEntry(RegistryKeys& keys, const std::string& key, const RegistryEntry& entry) {
  if (entry.defaultValue) {
    const HRESULT hr = keys.deleteValue(key, "");
    if (FAILED(hr)) return hr;
  }
  for (const auto& named : entry.namedValues) {
    const HRESULT hr = keys.deleteValue(key, named.first);
    if (FAILED(hr)) return hr;
  }
  return keys.deleteIfEmpty(key);
}

HRESULT removeEntry(RegistryKeys& keys, const RegistryEntry& entry, const Replacements& replacements) {
  const std::string key = expandReplacements(entry.key, replacements);
  switch (entry.rule) {
    case KeyRule::kKeep:
      return S_OK;
    case KeyRule::kWrite:
      return removeWrittenEntry(keys, key, entry);
    case KeyRule::kReplaceWhole:
      return keys.deleteTree(key);
  }
  return E_UNEXPECTED;
}

}  // namespace

std::string expandReplacements(const std::string& text, const Replacements& replacements) {
  std::string expanded;
  std::string::size_type position = 0;
  while (position < text.size()) {
    const auto open = text.find('%', position);
    const auto close = open == std::string::npos ? std::string::npos : text.find('%', open + 1);
    if (close == std::string::npos) break;
    const auto found = replacements.find(text.substr(open + 1, close - open - 1));
    expanded.append(text, position, open - position);
    if (found == replacements.end()) {
      expanded.append(text, open, close - open);
      position = close;
    } else {
      expanded += found->second;
      position = close + 1;
    }
  }
  if (position < text.size()) expanded.append(text, position, std::string::npos);
  return expanded;
}

HRESULT writeEntries(RegistryKeys& keys, const std::vector<RegistryEntry>& entries,
                     const Replacements& replacements) {
  for (const RegistryEntry& entry : entries) {
    const HRESULT hr = writeEntry(keys, entry, replacements);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT removeEntries(RegistryKeys& keys, const std::vector<RegistryEntry>& entries,
                      const Replacements& replacements) {
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    const HRESULT hr = removeEntry(keys, *entry, replacements);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

}  // namespace qrv::cim
