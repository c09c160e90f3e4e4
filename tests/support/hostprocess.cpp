#include "tests/support/hostprocess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/gameprocess.h"
#include "tests/support/testenv.h"

namespace testsupport {

HostProcess::~HostProcess() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
}

bool HostProcess::Start(const std::string& outFile, const std::vector<std::string>& args) {
  out_ = outFile;
  const std::string binary = std::string(VOIDRAKE_BUILD_DIR) + "/voidrake2-dedicated";
  std::vector<std::string> all = {binary};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_ = fork();
  if (pid_ < 0) return false;
  if (pid_ == 0) {
    const int fd = open(out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) dup2(fd, 1);
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  return true;
}

std::string HostProcess::Output() const { return ReadFile(out_); }

bool HostProcess::WaitForOutput(const std::string& text, std::chrono::milliseconds timeout) const {
  return WaitFor([&] { return Output().find(text) != std::string::npos; }, timeout);
}

void HostProcess::Signal(int signal) {
  if (pid_ > 0) kill(pid_, signal);
}

std::optional<int> HostProcess::WaitForExit(std::chrono::milliseconds timeout) {
  int status = 0;
  const bool ended =
      WaitFor([&] { return pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_; }, timeout);
  if (!ended) return std::nullopt;
  pid_ = -1;
  if (!WIFEXITED(status)) return std::nullopt;
  return WEXITSTATUS(status);
}

}  // namespace testsupport
