#pragma once
// The service's systemd unit: "<name>.service" in /etc/systemd/system, or in
// the directory named by the environment variable RULOSRV_UNIT_DIR. An
// automatic-start service is enabled through its link in
// multi-user.target.wants, as `systemctl enable` makes it.

#include <string>

#include "service/platform/Platform.h"

namespace rulo::posix {

std::string unitDirectory();
std::string unitPath(const std::string& serviceName);

// The unit file: a notify service that runs the configured command line,
// with the registry file and trace directory of this process
// (KORVEX_REGISTRY_FILE, RULOSRV_TRACE_DIR) when they are set.
std::string unitFileText(const ServiceConfig& config);

// Writes a new unit file and enables it when it starts automatically; false,
// with errno set, when it exists already or cannot be written.
bool installUnit(const ServiceConfig& config);

// Disables and deletes the unit file; false, with errno set, when it cannot
// be deleted.
bool removeUnit(const std::string& serviceName);

}  // namespace rulo::posix
