// The dedicated host program (voidrake2-dedicated) run by a test: standard
// output to a file the test reads, signals, exit status.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

class HostProcess {
 public:
  HostProcess() = default;
  ~HostProcess();  // kills the program if it still runs
  HostProcess(const HostProcess&) = delete;
  HostProcess& operator=(const HostProcess&) = delete;

  // Starts the program with `args`; its standard output goes to `outFile`.
  bool Start(const std::string& outFile, const std::vector<std::string>& args);
  std::string Output() const;
  bool WaitForOutput(const std::string& text, std::chrono::milliseconds timeout) const;
  void Signal(int signal);
  // The exit status, or nullopt on time-out or death by a signal.
  std::optional<int> WaitForExit(std::chrono::milliseconds timeout);

 private:
  pid_t pid_ = -1;
  std::string out_;
};

}  // namespace testsupport
