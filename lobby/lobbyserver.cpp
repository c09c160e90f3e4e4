#include "lobby/lobbyserver.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>

#include <cstring>

#include "lobby/requestdeadlines.h"

namespace {

// The library's own limit is set this far above the lobby's: the library
// refuses connections beyond its limit, while the lobby makes room by closing
// old ones, which takes the library one pass of its loop to notice.
constexpr unsigned kEvictionMargin = 32;

// The raw request target, kept from before the library decodes it: the
// game's own escapes ("%ffffffe9") are not the usual two-digit ones.
void* KeepTarget(void*, const char* uri, MHD_Connection*) { return new std::string(uri); }

std::string RemoteAddress(MHD_Connection* connection) {
  const MHD_ConnectionInfo* info =
      MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
  if (!info || !info->client_addr || info->client_addr->sa_family != AF_INET) return "";
  char text[INET_ADDRSTRLEN] = {};
  const auto* in = reinterpret_cast<const sockaddr_in*>(info->client_addr);
  return inet_ntop(AF_INET, &in->sin_addr, text, sizeof text) ? text : "";
}

void ReleaseBody(void* body) { delete static_cast<std::shared_ptr<const std::string>*>(body); }

MHD_Result Queue(MHD_Connection* connection, const LobbyReply& reply) {
  // The response borrows the shared body, which stays alive until the library
  // is done with it: the list is never copied per request.
  auto* keep = new std::shared_ptr<const std::string>(reply.body);
  MHD_Response* response = MHD_create_response_from_buffer_with_free_callback_cls(
      reply.body->size(), const_cast<char*>(reply.body->data()), &ReleaseBody, keep);
  if (!response) {
    delete keep;
    return MHD_NO;
  }
  MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, "text/xml");
  const MHD_Result queued =
      MHD_queue_response(connection, static_cast<unsigned>(reply.status), response);
  MHD_destroy_response(response);
  return queued;
}

// Every request is answered on its first call, once the head is in: the
// lobby takes no bodies, and the library discards what a client sends after
// the head (closing the connection).
MHD_Result Answer(void* cls, MHD_Connection* connection, const char* url, const char* method,
                  const char*, const char*, size_t*, void** context) {
  auto* server = static_cast<LobbyServer*>(cls);
  if (std::strcmp(method, MHD_HTTP_METHOD_GET) != 0 &&
      std::strcmp(method, MHD_HTTP_METHOD_HEAD) != 0)
    return Queue(connection, LobbyResult(405, "method not allowed"));
  if (std::strcmp(url, kLobbyPath) != 0) return Queue(connection, LobbyResult(404, "not found"));
  const std::string* target = static_cast<const std::string*>(*context);
  const size_t mark = target ? target->find('?') : std::string::npos;
  const std::string_view query =
      mark == std::string::npos ? std::string_view() : std::string_view(*target).substr(mark + 1);
  return Queue(connection,
               server->service().Handle(query, RemoteAddress(connection), LobbyClock::now()));
}

void RequestDone(void* cls, MHD_Connection* connection, void** context,
                 MHD_RequestTerminationCode code) {
  delete static_cast<std::string*>(*context);
  *context = nullptr;
  if (code != MHD_REQUEST_TERMINATED_COMPLETED_OK) return;
  const MHD_ConnectionInfo* info =
      MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
  if (info && info->socket_context)
    static_cast<LobbyServer*>(cls)->deadlines().Renew(
        *static_cast<RequestDeadlines::Handle*>(info->socket_context));
}

void ConnectionEvent(void* cls, MHD_Connection* connection, void** socketContext,
                     MHD_ConnectionNotificationCode code) {
  RequestDeadlines& deadlines = static_cast<LobbyServer*>(cls)->deadlines();
  if (code == MHD_CONNECTION_NOTIFY_STARTED) {
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
    if (info) *socketContext = new RequestDeadlines::Handle(deadlines.Track(info->connect_fd));
  } else if (code == MHD_CONNECTION_NOTIFY_CLOSED && *socketContext) {
    auto* handle = static_cast<RequestDeadlines::Handle*>(*socketContext);
    deadlines.Forget(*handle);
    delete handle;
    *socketContext = nullptr;
  }
}

}  // namespace

LobbyServer::LobbyServer(LobbyService& service, LobbyServerOptions options)
    : service_(service), options_(std::move(options)) {}

LobbyServer::~LobbyServer() { Stop(); }

bool LobbyServer::Start(std::string* error) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(options_.port));
  if (options_.port < 0 || options_.port > 65535 ||
      inet_pton(AF_INET, options_.bind.c_str(), &address.sin_addr) != 1) {
    if (error)
      *error =
          "not an IPv4 address and port: " + options_.bind + ":" + std::to_string(options_.port);
    return false;
  }
  deadlines_ = std::make_unique<RequestDeadlines>(options_.deadline, options_.maxConnections);
  const unsigned idleSeconds =
      static_cast<unsigned>(std::max<long>(1, (options_.deadline.count() + 999) / 1000));
  daemon_ = MHD_start_daemon(
      MHD_USE_EPOLL_INTERNAL_THREAD | MHD_USE_TURBO, 0, nullptr, nullptr, &Answer, this,
      MHD_OPTION_SOCK_ADDR, &address, MHD_OPTION_CONNECTION_LIMIT,
      options_.maxConnections + kEvictionMargin, MHD_OPTION_PER_IP_CONNECTION_LIMIT,
      options_.connectionsPerAddress, MHD_OPTION_CONNECTION_TIMEOUT, idleSeconds,
      MHD_OPTION_CONNECTION_MEMORY_LIMIT, options_.connectionMemory, MHD_OPTION_LISTEN_BACKLOG_SIZE,
      4096u, MHD_OPTION_URI_LOG_CALLBACK, &KeepTarget, this, MHD_OPTION_NOTIFY_COMPLETED,
      &RequestDone, this, MHD_OPTION_NOTIFY_CONNECTION, &ConnectionEvent, this, MHD_OPTION_END);
  if (!daemon_) {
    if (error) *error = "cannot listen on " + options_.bind + ":" + std::to_string(options_.port);
    deadlines_.reset();
    return false;
  }
  const MHD_DaemonInfo* info = MHD_get_daemon_info(daemon_, MHD_DAEMON_INFO_BIND_PORT);
  port_ = info ? info->port : options_.port;
  return true;
}

void LobbyServer::Stop() {
  if (daemon_) MHD_stop_daemon(daemon_);
  daemon_ = nullptr;
  deadlines_.reset();  // after the library: its last closes still Forget
}
