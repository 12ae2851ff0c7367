#include <atomic>
#include <mutex>

#include "compat/com/DebugOutputApi.h"

namespace {

std::mutex listenerLock;
DebugOutputListener listener = nullptr;
void* listenerContext = nullptr;
// Read without the lock, so that a writer with nobody listening pays one load.
std::atomic<bool> listening{false};

}  // namespace

void OutputDebugStringA(LPCSTR lpOutputString) {
  if (!lpOutputString || !listening.load(std::memory_order_acquire)) return;
  std::lock_guard<std::mutex> guard(listenerLock);
  if (listener) listener(lpOutputString, listenerContext);
}

BOOL IsDebuggerPresent() { return listening.load(std::memory_order_acquire) ? TRUE : FALSE; }

void SetDebugOutputListener(DebugOutputListener newListener, void* context) {
  std::lock_guard<std::mutex> guard(listenerLock);
  listener = newListener;
  listenerContext = context;
  listening.store(newListener != nullptr, std::memory_order_release);
}
