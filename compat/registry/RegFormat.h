#pragma once
// The .reg text format: the header line "Windows Registry Editor Version
// 5.00", [key] sections and value lines:
//   "name"="text"        REG_SZ, with \\ and \" escaped
//   @="text"             the key's default value
//   "name"=dword:0000001e
//   "name"=hex(2):41,00,00,00   REG_EXPAND_SZ as UTF-16LE bytes
//   "name"=hex:01,02     REG_BINARY; hex(N): any other type
// Hex lists may continue on the next line after a trailing backslash; lines
// starting with ';' are comments. Text may be UTF-8 (with or without a byte
// order mark) or UTF-16LE with its byte order mark, as regedit exports it.

#include <string>

#include "compat/registry/Registry.h"

namespace qrv::regfile {

// Reads .reg text; origin names the text in error messages. Throws
// RegistryError naming the line of the first fault.
Registry parseRegText(const std::string& text, const std::string& origin);

// Writes the registry as UTF-8 .reg text, keys sorted, parents first.
std::string formatRegText(const Registry& registry);

}  // namespace qrv::regfile
