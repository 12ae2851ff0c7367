#pragma once
// The identities of the COM server wexi: its one class, its AppID and its
// type library.

#include "common/com/WmiSdk.h"

namespace qrv::cim {

// The class CQVProvider.
inline constexpr CLSID kClsidQVProvider = {
    0x5a1e7c3d, 0x0b94, 0x4f2a, {0x9c, 0x61, 0x7d, 0x28, 0xe4, 0xb0, 0xa9, 0x13}};
// The server's AppID. The type library's LIBID has the same value.
inline constexpr GUID kAppId = {0xb3d90e42, 0x6c1f, 0x4a75, {0x8e, 0x2b, 0x1f, 0x0c, 0x9a, 0x6d, 0x5e, 0x87}};
inline constexpr GUID kLibId = kAppId;

inline constexpr char kServerName[] = "wexi";
inline constexpr char kProgId[] = "qrvcim.QVProvider.1";
inline constexpr char kVersionIndependentProgId[] = "qrvcim.QVProvider";
inline constexpr char kFriendlyName[] = "CQVProvider Object";
inline constexpr char kThreadingModel[] = "apartment";
inline constexpr char kModuleType[] = "InprocServer32";

// The type library: version, locale and help string, and the names of its
// one coclass.
inline constexpr WORD kTypeLibMajorVersion = 1;
inline constexpr WORD kTypeLibMinorVersion = 0;
inline constexpr LCID kTypeLibLocale = 1033;
inline constexpr char kTypeLibHelpString[] = "qrvcim 1.0 Type Library";
inline constexpr char kCoclassName[] = "CQVProvider";
inline constexpr char kCoclassHelpString[] = "QVProvider Class";

}  // namespace qrv::cim
