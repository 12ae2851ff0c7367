// rulosrv: installs the OS's platform and runs the program.

#ifdef _WIN32
#include "service/platform/win32/Win32Platform.h"
using OsPlatform = rulo::Win32Platform;
#else
#include "service/platform/posix/PosixPlatform.h"
using OsPlatform = rulo::PosixPlatform;
#endif

#include "service/CommandLine.h"

int main(int argc, char** argv) {
  OsPlatform platform;
  const rulo::PlatformScope installed(platform);
  return rulo::RunRulosrv(argc, argv);
}
