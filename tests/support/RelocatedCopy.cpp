#include "tests/support/RelocatedCopy.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/TempTree.h"

namespace fs = std::filesystem;

namespace qrv::test {

int runRelocatedCopy(char** argv, const std::function<void(const std::string& root)>& prepare) {
  const std::string root = makeTempDir("qrvtest");
  const fs::path copy = fs::path(root) / "bin" / fs::path(argv[0]).filename();
  fs::create_directories(copy.parent_path());
  fs::copy_file("/proc/self/exe", copy);
  fs::permissions(copy, fs::perms::owner_all);
  if (prepare) prepare(root);
  setenv(kRelocatedRootVariable, root.c_str(), 1);

  const pid_t child = fork();
  if (child == 0) {
    const std::string path = copy.string();
    argv[0] = const_cast<char*>(path.c_str());
    execv(path.c_str(), argv);
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  removeTree(root);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace qrv::test
