#pragma once
// The COM, OLE automation and WMI declarations a provider is written
// against: the Windows SDK on Windows, the compat/com shapes elsewhere.

#ifdef _WIN32

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#include <ocidl.h>
#include <wbemcli.h>
#include <wbemprov.h>
#include <wmiutils.h>

// wmiutils.h declares the object-path parser's class identifier, but no
// import library defines it.
EXTERN_C const CLSID DECLSPEC_SELECTANY CLSID_WbemDefPath = {
    0xcf4cc405, 0xe2c5, 0x4ddd, {0xb3, 0xce, 0x5e, 0x75, 0x82, 0xd8, 0xc9, 0xfa}};

#else

#include "compat/com/Activation.h"
#include "compat/com/BaseTypes.h"
#include "compat/com/BstrApi.h"
#include "compat/com/CodePage.h"
#include "compat/com/DebugOutputApi.h"
#include "compat/com/Errors.h"
#include "compat/com/Guid.h"
#include "compat/com/SafeArrayApi.h"
#include "compat/com/Security.h"
#include "compat/com/Threads.h"
#include "compat/com/TypeInfo.h"
#include "compat/com/Unknown.h"
#include "compat/com/VariantApi.h"
#include "compat/com/WbemClient.h"
#include "compat/com/WbemProvider.h"
#include "compat/com/WbemTypes.h"

#endif
