#pragma once
// The service control dispatcher under systemd. A process that systemd
// started as a notify service finds NOTIFY_SOCKET in its environment; then
// ServiceMain runs on a second thread while the calling thread turns each
// SIGTERM (systemctl stop) into the stop control, until ServiceMain returns.

#include <functional>
#include <string>

#include "service/platform/Platform.h"

namespace rulo::posix {

// False, with the last error 1063 (ERROR_FAILED_SERVICE_CONTROLLER_CONNECT),
// when systemd did not start the process; false with errno's value when the
// signal handling cannot be set up.
bool runServiceDispatcher(const std::string& serviceName, ServiceMainFunction serviceMain,
                          const std::function<void()>& onStop);

}  // namespace rulo::posix
