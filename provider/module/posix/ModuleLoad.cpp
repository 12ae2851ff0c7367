// Without Windows there is no DllMain: the module initialises itself when
// the loader maps it. A module that failed to initialise refuses to hand
// out its class object.

#include "provider/module/CqrvcimModule.h"

namespace {

__attribute__((constructor)) void initializeModule() { qrv::cim::theModule().initialize(); }

}  // namespace
