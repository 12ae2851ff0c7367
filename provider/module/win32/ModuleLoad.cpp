// The DLL's entry point: the module initialises itself when the process
// attaches it, and the load fails when it cannot.

#include "provider/module/CqrvcimModule.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  return qrv::cim::theModule().initialize() ? TRUE : FALSE;
}
