#include "collector/win32/WholeFile.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "collector/win32/UniqueHandle.h"
#include "collector/win32/WideText.h"

namespace collector {

namespace {

[[noreturn]] void fail(const std::string& what) { throw std::runtime_error(what + ": " + errorText(GetLastError())); }

std::wstring folderOf(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  std::vector<wchar_t> full(size + 1);
  wchar_t* name = nullptr;
  if (size == 0 || GetFullPathNameW(path.c_str(), size + 1, full.data(), &name) == 0 || name == nullptr) {
    fail("no folder in " + utf8(path));
  }
  return std::wstring(full.data(), name);
}

void writeAll(const std::wstring& path, const std::string& bytes) {
  const UniqueHandle file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) fail("cannot open " + utf8(path));
  for (std::size_t at = 0; at < bytes.size();) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - at, 1 << 20));
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data() + at, chunk, &written, nullptr) || written == 0) {
      fail("cannot write " + utf8(path));
    }
    at += written;
  }
  if (!FlushFileBuffers(file.get())) fail("cannot flush " + utf8(path));
}

}  // namespace

void writeWholeFile(const std::wstring& path, const std::string& bytes) {
  wchar_t temporary[MAX_PATH];
  if (GetTempFileNameW(folderOf(path).c_str(), L"kvx", 0, temporary) == 0) {
    fail("no temporary file beside " + utf8(path));
  }
  try {
    writeAll(temporary, bytes);
    if (!MoveFileExW(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      fail("cannot replace " + utf8(path));
    }
  } catch (...) {
    DeleteFileW(temporary);
    throw;
  }
}

}  // namespace collector
