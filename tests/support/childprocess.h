// A server program run by a test (the lobby, redis-server): standard output
// and error to one file the test reads, signals, and SIGKILL at the end if
// it still runs.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace testsupport {

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Runs argv[0] (a path) with the rest as its arguments.
  bool Start(const std::vector<std::string>& argv, const std::string& outFile);
  std::string Output() const;
  bool WaitForOutput(const std::string& text, std::chrono::milliseconds timeout) const;
  // Sends `signal` and waits for the end.
  void Stop(int signal);

 private:
  pid_t pid_ = -1;
  std::string out_;
};

// A TCP port of 127.0.0.1 that was free a moment ago.
int FreeTcpPort();

}  // namespace testsupport
