#include "provider/registration/ModuleRoots.h"

#include <algorithm>
#include <iterator>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <vector>
#endif

namespace qrv::cim {

namespace {

#ifdef _WIN32

bool isSeparator(char c) { return c == '\\'; }

// The file name of the module "wexi"; empty when it is not loaded.
std::string fileNameOfModule() {
  HMODULE module = GetModuleHandleA("wexi");
  if (!module) return "";
  char buffer[260];
  const DWORD length = GetModuleFileNameA(module, buffer, sizeof buffer);
  return std::string(buffer, length);
}

#else

bool isSeparator(char c) { return c == '/' || c == '\\'; }

std::string currentDirectory() {
  std::vector<char> buffer(256);
  while (!getcwd(buffer.data(), buffer.size())) {
    if (errno != ERANGE) return "";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

// The file name of the module holding this code: the shared library it is
// linked into, or the program itself, whose name the loader reports as it
// was started. A relative name is made absolute against the current
// directory, without resolving symbolic links, so that the module's
// directory stays the one it was started from.
std::string fileNameOfModule() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&moduleRoot), &info) || !info.dli_fname || !*info.dli_fname) return "";
  const std::string name = info.dli_fname;
  if (name.front() == '/') return name;
  const std::string directory = currentDirectory();
  return directory.empty() ? "" : directory + "/" + name;
}

#endif

}  // namespace

std::string moduleRootOf(const std::string& moduleFileName) {
  const auto last = std::find_if(moduleFileName.rbegin(), moduleFileName.rend(), isSeparator);
  if (last == moduleFileName.rend()) return "";
  const auto secondToLast = std::find_if(std::next(last), moduleFileName.rend(), isSeparator);
  if (secondToLast == moduleFileName.rend()) return "";
  return std::string(moduleFileName.begin(), std::prev(secondToLast.base()));
}

std::string moduleFileName() { return fileNameOfModule(); }

std::string moduleRoot() { return moduleRootOf(moduleFileName()); }

std::string xmlRegRoot() { return moduleRoot() + "/xmlreg"; }

std::string xslRoot() { return moduleRoot() + "/xslroot"; }

std::string nativePath(const std::string& path) {
#ifdef _WIN32
  return path;
#else
  std::string native = path;
  std::replace(native.begin(), native.end(), '\\', '/');
  return native;
#endif
}

}  // namespace qrv::cim
