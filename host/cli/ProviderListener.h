#pragma once
// The provider's diagnostic lines, read from the debugger's output channel
// (OutputDebugStringA) the way a debugger reads them, while the listener
// lives. Only one listener is installed at a time in a process.

#include <functional>
#include <string>

namespace wmihost {

class ProviderListener {
 public:
  // Receives each line without its line end.
  using Receiver = std::function<void(const std::string& line)>;

  explicit ProviderListener(Receiver receiver);
  ~ProviderListener();
  ProviderListener(const ProviderListener&) = delete;
  ProviderListener& operator=(const ProviderListener&) = delete;

 private:
  static void receive(const char* text, void* context);

  Receiver receiver_;
};

}  // namespace wmihost
