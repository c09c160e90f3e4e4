// A deadline for every request on the lobby's connections. The HTTP
// library's own time-out only counts silence, so a client that sends one
// byte every few seconds could hold a connection for hours; here each
// connection gets a fixed time from its start (and again after each answered
// request) and is shut down when that runs out, whatever it is doing.
// The same order makes room when every connection is taken: a new one shuts
// down the connection whose request has been running longest.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <list>
#include <mutex>
#include <thread>

class RequestDeadlines {
 public:
  using Clock = std::chrono::steady_clock;
  struct Entry;
  using Handle = std::list<Entry>::iterator;
  struct Entry {
    int fd;
    Clock::time_point due;
    bool expired = false;
  };

  RequestDeadlines(Clock::duration limit, size_t maxConnections);
  ~RequestDeadlines();
  RequestDeadlines(const RequestDeadlines&) = delete;
  RequestDeadlines& operator=(const RequestDeadlines&) = delete;

  // Starts the clock of a new connection's socket; when `maxConnections`
  // are running, the oldest of them is shut down first.
  Handle Track(int fd);
  // The connection answered a request: its next one gets the full time.
  void Renew(Handle handle);
  // The connection is closing: its socket must not be touched any more.
  void Forget(Handle handle);

 private:
  void Run();
  void ShutDownOldestLocked();

  const Clock::duration limit_;
  const size_t maxConnections_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::list<Entry> running_;  // earliest deadline first (every new one is the latest)
  std::list<Entry> expired_;  // shut down, waiting for the library to close them
  bool stop_ = false;
  std::thread thread_;
};
