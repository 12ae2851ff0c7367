#pragma once
// The service status record as it travels through systemd. The service sends
// it with sd_notify: READY=1 when running, STOPPING=1 when stop pending or
// stopped, STATUS= with the state, check point and wait hint in words, and
// the whole record in fields of its own (RULO_SERVICE_TYPE, RULO_STATE,
// RULO_CONTROLS_ACCEPTED, RULO_WIN32_EXIT_CODE, RULO_SERVICE_EXIT_CODE,
// RULO_CHECK_POINT, RULO_WAIT_HINT). A query reads it back from
// `systemctl show`: the state from ActiveState, the check point and wait hint
// from the STATUS text, the exit code from the main process's status.

#include <string>

#include "service/platform/Platform.h"

namespace rulo::posix {

// The properties queryStatus asks systemctl show for.
constexpr const char* kShownProperties = "ActiveState,StatusText,ExecMainStatus";

std::string notifyMessage(const ServiceStatus& status);

// The record from `systemctl show -p <kShownProperties>` output.
ServiceStatus statusFromShow(const std::string& output);

}  // namespace rulo::posix
