#include <cstring>
#include <map>
#include <mutex>

#include "compat/com/CallState.h"
#include "compat/com/Threads.h"

namespace {

// The open token handles of the process and the level each one carries.
struct TokenTable {
  std::mutex mutex;
  std::map<uintptr_t, SECURITY_IMPERSONATION_LEVEL> levels;
  uintptr_t nextHandle = 0x1000;
};

TokenTable& tokens() {
  static TokenTable table;
  return table;
}

HANDLE openToken(SECURITY_IMPERSONATION_LEVEL level) {
  TokenTable& table = tokens();
  std::lock_guard<std::mutex> lock(table.mutex);
  const uintptr_t handle = table.nextHandle;
  table.nextHandle += 4;
  table.levels[handle] = level;
  return reinterpret_cast<HANDLE>(handle);
}

bool findToken(HANDLE handle, SECURITY_IMPERSONATION_LEVEL* level) {
  TokenTable& table = tokens();
  std::lock_guard<std::mutex> lock(table.mutex);
  const auto found = table.levels.find(reinterpret_cast<uintptr_t>(handle));
  if (found == table.levels.end()) return false;
  *level = found->second;
  return true;
}

bool closeToken(HANDLE handle) {
  TokenTable& table = tokens();
  std::lock_guard<std::mutex> lock(table.mutex);
  return table.levels.erase(reinterpret_cast<uintptr_t>(handle)) == 1;
}

BOOL fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

}  // namespace

namespace compat {

std::size_t openTokenCount() {
  TokenTable& table = tokens();
  std::lock_guard<std::mutex> lock(table.mutex);
  return table.levels.size();
}

}  // namespace compat

BOOL OpenThreadToken(HANDLE ThreadHandle, DWORD, BOOL, PHANDLE TokenHandle) {
  if (!TokenHandle) return fail(ERROR_INVALID_PARAMETER);
  *TokenHandle = nullptr;
  if (ThreadHandle != GetCurrentThread()) return fail(ERROR_INVALID_HANDLE);
  const compat::CallState& state = compat::threadCallState();
  if (!state.impersonating) return fail(ERROR_NO_TOKEN);
  if (state.call.openTokenError != ERROR_SUCCESS) return fail(state.call.openTokenError);
  if (state.call.level == SecurityAnonymous) return fail(ERROR_CANT_OPEN_ANONYMOUS);
  *TokenHandle = openToken(state.call.level);
  return TRUE;
}

BOOL GetTokenInformation(HANDLE TokenHandle, TOKEN_INFORMATION_CLASS TokenInformationClass,
                         LPVOID TokenInformation, DWORD TokenInformationLength, PDWORD ReturnLength) {
  SECURITY_IMPERSONATION_LEVEL level = SecurityAnonymous;
  if (!findToken(TokenHandle, &level)) return fail(ERROR_INVALID_HANDLE);
  const DWORD injected = compat::threadCallState().call.tokenInformationError;
  if (injected != ERROR_SUCCESS) return fail(injected);
  if (TokenInformationClass != TokenImpersonationLevel) return fail(ERROR_NOT_SUPPORTED);
  if (ReturnLength) *ReturnLength = sizeof(level);
  if (TokenInformationLength < sizeof(level)) return fail(ERROR_INSUFFICIENT_BUFFER);
  if (!TokenInformation) return fail(ERROR_INVALID_PARAMETER);
  std::memcpy(TokenInformation, &level, sizeof(level));
  return TRUE;
}

BOOL CloseHandle(HANDLE hObject) {
  if (hObject == GetCurrentThread()) return TRUE;
  return closeToken(hObject) ? TRUE : fail(ERROR_INVALID_HANDLE);
}
