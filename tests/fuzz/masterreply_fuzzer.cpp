// libFuzzer target for the master server's reply: the body taken from a
// whole HTTP answer, and the server list read from it (and from the raw
// bytes, as a body of their own). The list never outgrows its cap.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/masterserverquery.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string body = masterServerQuery::BodyOfReply(bytes);
  if (body.size() > bytes.size()) std::abort();
  for (const std::string* text : {&bytes, &body}) {
    const auto list = masterServerQuery::ParseServerList(*text);
    if (list.size() > masterServerQuery::kMaxListedServers) std::abort();
  }
  return 0;
}
