#include "app/heartbeat.h"

#include <atomic>

#include "platform/globals.h"

namespace {
std::atomic<HostingQuery> hostingHook{nullptr};
std::atomic<HeartbeatSender> senderHook{nullptr};
}  // namespace

bool HeartbeatTick(bool hosting, int game) {
  if (!hosting) return false;
  if (--timetilheartbeat >= 1) return false;
  timetilheartbeat = kHeartbeatTicks;
  return game != 1;
}

void SetHeartbeatHooks(HostingQuery hosting, HeartbeatSender send) {
  hostingHook = hosting;
  senderHook = send;
}

void OnHeartbeatTick() {
  HostingQuery hosting = hostingHook;
  HeartbeatSender send = senderHook;
  if (!hosting || !send) return;
  if (HeartbeatTick(hosting(), Game)) send();
}
