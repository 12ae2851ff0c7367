// Linked into wmihost.exe alone: standard input, output and error in binary
// mode from before main, so that the host writes exactly the bytes it writes
// on Linux (no CR before each LF) and reads its batches as they are. It does
// what the C runtime's binmode.o is meant to do, which mingw-w64's fails to.

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <initializer_list>

namespace {

struct BinaryStreams {
  BinaryStreams() {
    for (FILE* stream : {stdin, stdout, stderr}) _setmode(_fileno(stream), _O_BINARY);
  }
};

const BinaryStreams binaryStreams;

}  // namespace
