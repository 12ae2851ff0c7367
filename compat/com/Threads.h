#pragma once
// Threads, handles, sleeping and interlocked counters.

#include "compat/com/Errors.h"

extern "C" {
// The pseudo handle of the calling thread; it needs no closing.
HANDLE GetCurrentThread();
// Closes a token handle; pseudo handles are accepted and left alone.
BOOL CloseHandle(HANDLE hObject);
void Sleep(DWORD dwMilliseconds);
}

inline LONG InterlockedIncrement(LONG volatile* addend) {
  return __atomic_add_fetch(addend, 1, __ATOMIC_SEQ_CST);
}

inline LONG InterlockedDecrement(LONG volatile* addend) {
  return __atomic_sub_fetch(addend, 1, __ATOMIC_SEQ_CST);
}
