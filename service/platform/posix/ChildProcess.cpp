#include "service/platform/posix/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

extern char** environ;

namespace rulo::posix {

namespace {

constexpr DWORD kInfinite = 0xFFFFFFFF;
constexpr auto kPollInterval = std::chrono::milliseconds(10);

// posix_spawn's file actions and attributes, released when out of scope.
class SpawnSetup {
 public:
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
  ~SpawnSetup() {
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
  }

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
};

// The child's output descriptor target is fd, or /dev/null without one.
void redirectOutput(SpawnSetup& setup, int target, int fd) {
  if (fd >= 0) {
    posix_spawn_file_actions_adddup2(&setup.actions, fd, target);
  } else {
    posix_spawn_file_actions_addopen(&setup.actions, target, "/dev/null", O_WRONLY, 0);
  }
}

void prepare(SpawnSetup& setup, const Command& command) {
  if (!command.show) {
    posix_spawn_file_actions_addopen(&setup.actions, 0, "/dev/null", O_RDONLY, 0);
    redirectOutput(setup, 1, command.outputFd);
    redirectOutput(setup, 2, command.errorFd);
  }
  if (!command.workingDirectory.empty()) {
    posix_spawn_file_actions_addchdir_np(&setup.actions, command.workingDirectory.c_str());
  }
  posix_spawn_file_actions_addclosefrom_np(&setup.actions, 3);

  sigset_t none;
  sigset_t all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&setup.attributes, &none);
  posix_spawnattr_setsigdefault(&setup.attributes, &all);
  posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
}

}  // namespace

std::shared_ptr<ChildProcess> ChildProcess::start(const Command& command) {
  SpawnSetup setup;
  prepare(setup, command);
  std::vector<char*> argv;
  for (const std::string& argument : command.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  pid_t pid = 0;
  const auto spawn = command.searchPath ? posix_spawnp : posix_spawn;
  const int error = spawn(&pid, command.program.c_str(), &setup.actions, &setup.attributes, argv.data(), environ);
  if (error != 0) {
    errno = error;
    return nullptr;
  }
  return std::make_shared<ChildProcess>(pid);
}

ChildProcess::~ChildProcess() {
  std::lock_guard<std::mutex> guard(mutex_);
  reap(false);
}

void ChildProcess::reap(bool block) {
  if (status_) return;
  int status = 0;
  pid_t result;
  do {
    result = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
  } while (result < 0 && errno == EINTR);
  if (result == pid_) status_ = status;
}

void ChildProcess::wait(DWORD timeoutMs) {
  std::lock_guard<std::mutex> guard(mutex_);
  if (timeoutMs == kInfinite) return reap(true);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (reap(false); !status_ && std::chrono::steady_clock::now() < deadline; reap(false)) {
    std::this_thread::sleep_for(kPollInterval);
  }
}

DWORD ChildProcess::exitCode() {
  std::lock_guard<std::mutex> guard(mutex_);
  reap(false);
  if (!status_) return kStillActive;
  if (WIFSIGNALED(*status_)) return 128 + static_cast<DWORD>(WTERMSIG(*status_));
  return static_cast<DWORD>(WEXITSTATUS(*status_));
}

}  // namespace rulo::posix
