// bench_lobby: load and abuse against a running lobby program on 127.0.0.1,
// for the figures in the README's lobby section. Run inside the private
// network namespace (scripts/with-netns.sh), where every 127.x.y.z address
// is this machine's, so a few hundred "hosts" are a few hundred addresses.
//   bench_lobby PORT fill N          announce N games that answer the probe
//                                    (one address: start the lobby with
//                                    --max-per-address N) and wait until listed
//   bench_lobby PORT latency N       N list requests one after another, as the
//                                    game makes them (HTTP/1.0); p50/p99/max ms
//   bench_lobby PORT slow N [S]      N requests 10 ms apart while S slow sockets
//                                    (default 1000), 4 per address over
//                                    127.1.x.y, send a request head a byte a
//                                    second and reconnect as soon as the lobby
//                                    closes them
//   bench_lobby PORT spread OTHER N  N new games, each announced to the lobby
//                                    at PORT: how long until the lobby at OTHER
//                                    (sharing its store) lists it
//   bench_lobby PORT headers MB C    C connections together send MB megabytes
//                                    of short header lines, reconnecting when cut
// Requests per second are measured with wrk (Debian package wrk).
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
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

// UDP sockets on 127.0.0.1 that answer the lobby's probe, as games do, on
// a thread of their own while they live.
class Games {
 public:
  explicit Games(int n) {
    for (int i = 0; i < n; ++i) {
      const int fd = socket(AF_INET, SOCK_DGRAM, 0);
      sockaddr_in a{};
      a.sin_family = AF_INET;
      a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
      fds_.push_back({fd, POLLIN, 0});
    }
    thread_ = std::thread([this] {
      while (!done_)
        if (poll(fds_.data(), fds_.size(), 100) > 0) Answer();
    });
  }
  ~Games() {
    done_ = true;
    thread_.join();
    for (pollfd& p : fds_) close(p.fd);
  }
  int Port(int i) const {
    sockaddr_in a{};
    socklen_t len = sizeof a;
    getsockname(fds_[i].fd, reinterpret_cast<sockaddr*>(&a), &len);
    return ntohs(a.sin_port);
  }

 private:
  void Answer() {
    for (pollfd& p : fds_) {
      if (!(p.revents & POLLIN)) continue;
      unsigned char b[16];
      sockaddr_in from{};
      socklen_t len = sizeof from;
      if (recvfrom(p.fd, b, sizeof b, 0, reinterpret_cast<sockaddr*>(&from), &len) > 0)
        sendto(p.fd, kOfflinePong, sizeof kOfflinePong, 0, reinterpret_cast<sockaddr*>(&from), len);
    }
  }
  std::vector<pollfd> fds_;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

std::string HeartbeatQuery(int port, int i) {
  return "request=heartbeat&port=" + std::to_string(port) +
         "&maxplayers=32&game=Carrier+Battle&map=Default+Map&name=Game+number+" +
         std::to_string(i) + "&players=5&bots=2";
}

int Fill(int n) {
  Games games(n);
  for (int i = 0; i < n; ++i) Get(HeartbeatQuery(games.Port(i), i));
  size_t rows = 0;
  for (int i = 0; i < 50 && (rows = Rows(Get("request=servers"))) < static_cast<size_t>(n); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  std::printf("listed %zu of %d games; list reply %zu bytes\n", rows, n,
              Get("request=servers").size());
  return rows == static_cast<size_t>(n) ? 0 : 1;
}

// Milliseconds from a game's first heartbeat to the lobby at `other`
// listing it, for `n` games one after another.
void Spread(int other, int n) {
  Games games(n);
  std::vector<double> ms;
  for (int i = 0; i < n; ++i) {
    const std::string mark = "port=\"" + std::to_string(games.Port(i)) + "\"";
    const auto start = Clock::now();
    Get(HeartbeatQuery(games.Port(i), 100000 + i));
    std::swap(lobbyPort, other);
    while (Get("request=servers").find(mark) == std::string::npos &&
           Clock::now() - start < std::chrono::seconds(5))
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::swap(lobbyPort, other);
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf("first heartbeat to listed by the other lobby, %d games: p50 %.1f ms, max %.1f ms\n",
              n, ms[ms.size() / 2], ms.back());
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
void Slow(int n, int sockets) {
  struct Slot {
    std::string from;
    int fd = -1;
    Clock::time_point next{};
  };
  std::vector<Slot> slots;
  for (int i = 0; i < sockets; ++i) {
    const int address = i / 4;
    slots.push_back(
        {"127.1." + std::to_string(address / 250) + "." + std::to_string(address % 250 + 1)});
  }
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
  std::this_thread::sleep_for(std::chrono::seconds(4));  // every slow socket in place
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
    std::fputs(
        "usage: bench_lobby PORT fill|latency N | slow N [SOCKETS] | spread OTHER N |"
        " headers MB CONNECTIONS\n",
        stderr);
    return 2;
  }
  lobbyPort = std::atoi(argv[1]);
  rlimit files{};  // thousands of slow sockets
  getrlimit(RLIMIT_NOFILE, &files);
  files.rlim_cur = files.rlim_max;
  setrlimit(RLIMIT_NOFILE, &files);
  const std::string mode = argv[2];
  const int n = std::atoi(argv[3]);
  if (mode == "fill") return Fill(n);
  if (mode == "latency") Latency(n);
  if (mode == "slow") Slow(n, argc > 4 ? std::atoi(argv[4]) : 1000);
  if (mode == "spread" && argc > 4) Spread(n, std::atoi(argv[4]));
  if (mode == "headers") Headers(n, argc > 4 ? std::atoi(argv[4]) : 1);
  return 0;
}
