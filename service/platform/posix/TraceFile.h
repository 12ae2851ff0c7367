#pragma once
// The debug trace file: InvLog.txt in /var/log/rulosrv, or in the directory
// named by the environment variable RULOSRV_TRACE_DIR. Lines are appended;
// the file is created when missing. Only a regular file with one name is
// written, opened without waiting: a link or a second name of another file
// planted in the directory cannot redirect the writes of the service, and a
// FIFO cannot hold it.

#include <string>

namespace rulo::posix {

std::string traceDirectory();
std::string traceFilePath();

// Appends text and a newline; false, with errno set, when the file cannot be
// opened (for example when the directory is missing) or written.
bool appendTraceLine(const std::string& text);

}  // namespace rulo::posix
