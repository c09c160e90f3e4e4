#include "tests/support/childprocess.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/gameprocess.h"
#include "tests/support/testenv.h"

namespace testsupport {

ChildProcess::~ChildProcess() { Stop(SIGKILL); }

bool ChildProcess::Start(const std::vector<std::string>& args, const std::string& outFile) {
  out_ = outFile;
  std::vector<std::string> all = args;
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_ = fork();
  if (pid_ < 0) return false;
  if (pid_ == 0) {
    const int fd = open(out_.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd >= 0) dup2(fd, 1), dup2(fd, 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return true;
}

std::string ChildProcess::Output() const { return ReadFile(out_); }

bool ChildProcess::WaitForOutput(const std::string& text, std::chrono::milliseconds timeout) const {
  return WaitFor([&] { return Output().find(text) != std::string::npos; }, timeout);
}

void ChildProcess::Stop(int signal) {
  if (pid_ <= 0) return;
  kill(pid_, signal);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

int FreeTcpPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t length = sizeof a;
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length);
  close(fd);
  return ntohs(a.sin_port);
}

}  // namespace testsupport
