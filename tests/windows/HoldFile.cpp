// Holds a file open for reading with writers refused (FILE_SHARE_READ only),
// as a reader of the inventory data file does, until a file named
// "<path>.release" appears. Prints "holding" once the file is open.
// Usage: hold_file <path>

#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: hold_file <path>\n");
    return 2;
  }
  const HANDLE file =
      CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "cannot open %s: error %lu\n", argv[1], GetLastError());
    return 1;
  }
  std::printf("holding\n");
  std::fflush(stdout);
  const std::string release = std::string(argv[1]) + ".release";
  while (GetFileAttributesA(release.c_str()) == INVALID_FILE_ATTRIBUTES) Sleep(100);
  CloseHandle(file);
  return 0;
}
