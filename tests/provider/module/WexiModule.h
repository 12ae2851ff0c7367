#pragma once
// The entry points of the built wexi module, loaded once per test program
// the way WMI loads it.

#include "common/com/WmiSdk.h"

namespace qrv::test {

struct WexiModule {
  HRESULT (*canUnloadNow)();
  HRESULT (*getClassObject)(REFCLSID, REFIID, void**);
  HRESULT (*registerServer)();
  HRESULT (*unregisterServer)();
};

// The loaded module; the test fails at once when it cannot be loaded.
const WexiModule& wexi();

// The module's file name, as it was loaded.
const char* wexiPath();

// The address of a symbol the module exports; null when it exports none.
void* wexiSymbol(const char* name);

}  // namespace qrv::test
