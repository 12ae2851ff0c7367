// Test main for programs whose code under test finds its files relative to
// the location of its own module: the program copies itself into
// <fresh temporary root>/bin/, runs the tests from there, and removes the
// root afterwards.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/TempTree.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kRootVariable = "QRV_TEST_RELOCATED_ROOT";

int runRelocatedCopy(char** argv) {
  const std::string root = qrv::test::makeTempDir("qrvtest");
  const fs::path copy = fs::path(root) / "bin" / fs::path(argv[0]).filename();
  fs::create_directories(copy.parent_path());
  fs::copy_file("/proc/self/exe", copy);
  fs::permissions(copy, fs::perms::owner_all);
  setenv(kRootVariable, root.c_str(), 1);

  const pid_t child = fork();
  if (child == 0) {
    const std::string path = copy.string();
    argv[0] = const_cast<char*>(path.c_str());
    execv(path.c_str(), argv);
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  qrv::test::removeTree(root);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv(kRootVariable)) return runRelocatedCopy(argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
