#pragma once
// The registry operations that registration needs, on keys below
// HKEY_CLASSES_ROOT named by their paths ("CLSID\{...}\ProgID").

#include <string>

#include "common/com/WmiSdk.h"

namespace qrv::cim {

class RegistryKeys {
 public:
  virtual ~RegistryKeys() = default;

  // Creates the key and any missing parents; an existing key stays.
  virtual HRESULT createKey(const std::string& key) = 0;
  // Sets a text value of an existing key; "" names the default value.
  virtual HRESULT setText(const std::string& key, const std::string& name, const std::string& text) = 0;
  // Removes a value; a missing key or value is no failure.
  virtual HRESULT deleteValue(const std::string& key, const std::string& name) = 0;
  // Deletes the key with everything below it; a missing key is no failure.
  virtual HRESULT deleteTree(const std::string& key) = 0;
  // Deletes the key when it has neither subkeys nor values.
  virtual HRESULT deleteIfEmpty(const std::string& key) = 0;
};

}  // namespace qrv::cim
