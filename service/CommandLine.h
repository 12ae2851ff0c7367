#pragma once
// The program's entry: the command line decides between the console commands
// and running as the service.

namespace rulo {

// Runs the program for its arguments; the process exit code.
int RunRulosrv(int argc, char** argv);

}  // namespace rulo
