# Cross-compiles for 64-bit Windows with mingw-w64 (posix threads variant),
# linking the C and C++ runtimes statically so the programs need no DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Xerces-C and Xalan-C for Windows are not in Debian: scripts/build-xml-windows.sh
# builds them and scripts/build-windows.sh passes their prefix here.
set(QRV_XML_WINDOWS_PREFIX "" CACHE PATH "Where Xerces-C and Xalan-C for Windows are installed")
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${QRV_XML_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
