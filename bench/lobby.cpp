// bench_lobby: load and abuse against a running lobby program on 127.0.0.1,
// for the figures in the README's lobby section. Run inside the private
// network namespace (scripts/with-netns.sh), where every 127.x.y.z address
// is this machine's, so a few hundred "hosts" are a few hundred addresses.
//   bench_lobby PORT fill N          announce N games that answer the probe
//                                    (one address: start the lobby with
//                                    --max-per-address N) and wait until listed
//   bench_lobby PORT latency N       N list requests one after another, as the
//                                    game makes them (HTTP/1.0); p50/p99/max ms
//   bench_lobby PORT slow N          N requests 10 ms apart while 500 slow sockets
//                                    from 127.0.1.1 and 500 from 50 addresses
//                                    (127.0.2.1-50) hold connections open and
//                                    reconnect as soon as the lobby closes them
//   bench_lobby PORT headers MB C    C connections together send MB megabytes
//                                    of short header lines, reconnecting when cut
// Requests per second are measured with wrk (Debian package wrk).
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "net/offlineping.h"

namespace {

using Clock = std::chrono::steady_clock;
int lobbyPort = 0;
const std::string kPath = "/LobbyServer/request.php";

int Connect(const char* from, bool blocking) {
  const int fd = socket(AF_INET, SOCK_STREAM | (blocking ? 0 : SOCK_NONBLOCK), 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  inet_pton(AF_INET, from, &a.sin_addr);
  bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  a.sin_port = htons(static_cast<uint16_t>(lobbyPort));
  inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
  if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 && errno != EINPROGRESS) {
    close(fd);
    return -1;
  }
  return fd;
}

// One HTTP/1.0 exchange from 127.0.0.1; the whole reply.
std::string Get(const std::string& query) {
  const int fd = Connect("127.0.0.1", true);
  if (fd < 0) return "";
  const std::string request = "GET " + kPath + "?" + query + " HTTP/1.0\r\n\r\n";
  send(fd, request.data(), request.size(), MSG_NOSIGNAL);
  std::string reply;
  char buf[65536];
  for (ssize_t n; (n = recv(fd, buf, sizeof buf, 0)) > 0;)
    reply.append(buf, static_cast<size_t>(n));
  close(fd);
  return reply;
}

size_t Rows(const std::string& reply) {
  size_t rows = 0;
  for (size_t at = reply.find("<server "); at != std::string::npos;
       at = reply.find("<server ", at + 1))
    ++rows;
  return rows;
}

int Fill(int n) {
  std::vector<int> games;
  std::vector<pollfd> fds;
  for (int i = 0; i < n; ++i) {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    fds.push_back({fd, POLLIN, 0});
  }
  std::atomic<bool> done{false};
  std::thread answer([&] {
    while (!done) {
      if (poll(fds.data(), fds.size(), 100) <= 0) continue;
      for (pollfd& p : fds) {
        if (!(p.revents & POLLIN)) continue;
        unsigned char b[16];
        sockaddr_in from{};
        socklen_t len = sizeof from;
        if (recvfrom(p.fd, b, sizeof b, 0, reinterpret_cast<sockaddr*>(&from), &len) > 0)
          sendto(p.fd, kOfflinePong, sizeof kOfflinePong, 0, reinterpret_cast<sockaddr*>(&from),
                 len);
      }
    }
  });
  for (int i = 0; i < n; ++i) {
    sockaddr_in a{};
    socklen_t len = sizeof a;
    getsockname(fds[i].fd, reinterpret_cast<sockaddr*>(&a), &len);
    Get("request=heartbeat&port=" + std::to_string(ntohs(a.sin_port)) +
        "&maxplayers=32&game=Carrier+Battle&map=Default+Map&name=Game+number+" + std::to_string(i));
  }
  size_t rows = 0;
  for (int i = 0; i < 50 && (rows = Rows(Get("request=servers"))) < static_cast<size_t>(n); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  done = true;
  answer.join();
  std::printf("listed %zu of %d games; list reply %zu bytes\n", rows, n,
              Get("request=servers").size());
  return rows == static_cast<size_t>(n) ? 0 : 1;
}

void Latency(int n, int pauseMs = 0) {
  std::vector<double> ms;
  int failed = 0;
  for (int i = 0; i < n; ++i) {
    const auto start = Clock::now();
    const std::string reply = Get("request=servers");
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    if (reply.compare(0, 12, "HTTP/1.1 200") != 0 && reply.compare(0, 12, "HTTP/1.0 200") != 0)
      ++failed;
    if (pauseMs) std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
  }
  std::sort(ms.begin(), ms.end());
  std::printf("list requests %d: failed %d, p50 %.2f ms, p99 %.2f ms, max %.2f ms\n", n, failed,
              ms[ms.size() / 2], ms[ms.size() * 99 / 100], ms.back());
}

// Sockets that keep a connection open by sending a head one byte a second,
// reconnecting (at most once a second each) when the lobby closes them.
void Slow(int n) {
  struct Slot {
    std::string from;
    int fd = -1;
    Clock::time_point next{};
  };
  std::vector<Slot> slots;
  for (int i = 0; i < 500; ++i) slots.push_back({"127.0.1.1"});
  for (int a = 1; a <= 50; ++a)
    for (int i = 0; i < 10; ++i) slots.push_back({"127.0.2." + std::to_string(a)});
  std::atomic<bool> done{false};
  std::atomic<long> connects{0}, cut{0};
  std::thread attack([&] {
    const std::string head = "GET " + kPath + "?request=servers HTTP/1.1\r\nHost: x\r\nX-Slow: ";
    std::vector<size_t> sent(slots.size(), 0);
    while (!done) {
      const auto now = Clock::now();
      for (size_t i = 0; i < slots.size(); ++i) {
        Slot& s = slots[i];
        if (now < s.next) continue;
        s.next = now + std::chrono::seconds(1);
        if (s.fd >= 0) {
          char b[256];
          const ssize_t r = recv(s.fd, b, sizeof b, MSG_DONTWAIT);
          const char c = sent[i] < head.size() ? head[sent[i]] : 'a';
          if (r == 0 || (r < 0 && errno != EAGAIN) || send(s.fd, &c, 1, MSG_NOSIGNAL) < 0) {
            close(s.fd);
            s.fd = -1;
            ++cut;
          } else {
            ++sent[i];
            continue;
          }
        }
        s.fd = Connect(s.from.c_str(), false);
        sent[i] = 0;
        ++connects;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    for (Slot& s : slots)
      if (s.fd >= 0) close(s.fd);
  });
  std::this_thread::sleep_for(std::chrono::seconds(3));  // every slow socket in place
  Latency(n, 10);  // spread over several of the lobby's 5 s deadlines
  done = true;
  attack.join();
  std::printf("slow sockets: %zu, connections made %ld, closed by the lobby %ld\n", slots.size(),
              connects.load(), cut.load());
}

void Headers(long megabytes, int connections) {
  std::atomic<long> total{0}, made{0};
  const long goal = megabytes * 1024 * 1024;
  std::vector<std::thread> senders;
  for (int c = 0; c < connections; ++c)
    senders.emplace_back([&] {
      std::string chunk;
      while (chunk.size() < 65536) chunk += "X-Flood: yyyyyyyyyyyyyyyyyyyy\r\n";
      while (total < goal) {
        const int fd = Connect("127.0.3.1", true);
        ++made;
        const std::string start = "GET " + kPath + "?request=servers HTTP/1.1\r\n";
        send(fd, start.data(), start.size(), MSG_NOSIGNAL);
        for (ssize_t n;
             total < goal && (n = send(fd, chunk.data(), chunk.size(), MSG_NOSIGNAL)) > 0;)
          total += n;
        close(fd);
      }
    });
  for (std::thread& t : senders) t.join();
  std::printf("header flood: %ld bytes sent on %ld connections\n", total.load(), made.load());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fputs("usage: bench_lobby PORT fill|latency|slow N | headers MB CONNECTIONS\n", stderr);
    return 2;
  }
  lobbyPort = std::atoi(argv[1]);
  const std::string mode = argv[2];
  const int n = std::atoi(argv[3]);
  if (mode == "fill") return Fill(n);
  if (mode == "latency") Latency(n);
  if (mode == "slow") Slow(n);
  if (mode == "headers") Headers(n, argc > 4 ? std::atoi(argv[4]) : 1);
  return 0;
}
