#include "lobby/requestdeadlines.h"

#include <sys/socket.h>

RequestDeadlines::RequestDeadlines(Clock::duration limit, size_t maxConnections)
    : limit_(limit), maxConnections_(maxConnections), thread_([this] { Run(); }) {}

RequestDeadlines::~RequestDeadlines() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

RequestDeadlines::Handle RequestDeadlines::Track(int fd) {
  std::lock_guard<std::mutex> lock(mutex_);
  while (running_.size() >= maxConnections_) ShutDownOldestLocked();
  running_.push_back(Entry{fd, Clock::now() + limit_});
  const bool first = running_.size() == 1;
  const Handle handle = std::prev(running_.end());
  if (first) changed_.notify_all();
  return handle;
}

void RequestDeadlines::Renew(Handle handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (handle->expired) return;
  handle->due = Clock::now() + limit_;
  running_.splice(running_.end(), running_, handle);  // now the latest
}

void RequestDeadlines::Forget(Handle handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  (handle->expired ? expired_ : running_).erase(handle);
}

void RequestDeadlines::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stop_) {
    if (running_.empty()) {
      changed_.wait(lock);
      continue;
    }
    if (Clock::now() < running_.front().due) {
      changed_.wait_until(lock, running_.front().due);
      continue;
    }
    ShutDownOldestLocked();
  }
}

void RequestDeadlines::ShutDownOldestLocked() {
  // The library still owns the socket (Forget has not run, and it runs
  // before the socket is closed, under this lock): shutting it down makes
  // the library see the end of the connection and close it itself.
  const Handle oldest = running_.begin();
  shutdown(oldest->fd, SHUT_RDWR);
  oldest->expired = true;
  expired_.splice(expired_.end(), running_, oldest);
}
