// The lobby's HTTP front: GNU libmicrohttpd in its epoll mode on one thread,
// bounded against hostile clients: connections per address and in total, a
// deadline for every request, and a memory cap per connection that bounds
// the request head. When every connection is taken a new one closes the
// oldest whose request is unfinished (slow sockets age first, an ordinary
// request is answered within moments of its connection), so a full lobby
// still answers. Requests go to a LobbyService.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

#include "lobby/lobbyservice.h"

struct MHD_Daemon;
class RequestDeadlines;

struct LobbyServerOptions {
  std::string bind = "127.0.0.1";  // IPv4 address to listen on
  int port = 80;                   // 0 picks a free one
  // Idle sockets cost the event loop nothing: the bound is memory (a few
  // KB each) and the process's open-file limit (main.cpp fits it to that).
  unsigned maxConnections = 60000;
  unsigned connectionsPerAddress = 8;
  std::chrono::milliseconds deadline{5000};  // the whole request, first byte to reply
  size_t connectionMemory = 16 * 1024;       // request head and reply header of one connection
};

class LobbyServer {
 public:
  LobbyServer(LobbyService& service, LobbyServerOptions options);
  ~LobbyServer();
  LobbyServer(const LobbyServer&) = delete;
  LobbyServer& operator=(const LobbyServer&) = delete;

  // Listens and serves on a thread of the library's; false with a reason.
  bool Start(std::string* error);
  void Stop();
  int port() const { return port_; }

  // The library's callbacks (internal).
  LobbyService& service() { return service_; }
  RequestDeadlines& deadlines() { return *deadlines_; }

 private:
  LobbyService& service_;
  LobbyServerOptions options_;
  std::unique_ptr<RequestDeadlines> deadlines_;
  MHD_Daemon* daemon_ = nullptr;
  int port_ = 0;
};
