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

#include "compat/com/activation.h"
#include "compat/com/base_types.h"
#include "compat/com/bstr.h"
#include "compat/com/codepage.h"
#include "compat/com/errors.h"
#include "compat/com/guid.h"
#include "compat/com/safearray.h"
#include "compat/com/security.h"
#include "compat/com/threads.h"
#include "compat/com/typeinfo.h"
#include "compat/com/unknown.h"
#include "compat/com/variant.h"
#include "compat/com/wbem_client.h"
#include "compat/com/wbem_provider.h"
#include "compat/com/wbem_types.h"

#endif
