// The bounds both roles of the game protocol put on what a peer may make a
// copy hold or do. Every host and every client reads them here.
#pragma once

#include <cstddef>

#include "protocol/chatbudget.h"
#include "protocol/extrapolation.h"
#include "sim/bounty.h"
#include "sim/bulletmanager.h"
#include "sim/computerplayers.h"

struct ProtocolLimits {
  static constexpr int kMaxCorrectionFrames = ::kMaxCorrectionFrames;
  static constexpr size_t kMaxNameLength = 64;  // a full roster stays far below the packet limit
  static constexpr size_t kMaxChatLength = 256;
  // Chat budget of each sender at the host: a burst, then lines a second.
  static constexpr float kChatBurst = ChatBudget::kBurst;
  static constexpr float kChatLinesPerSecond = ChatBudget::kLinesPerSecond;
  // An admitted connection's repeated join is answered at most this often.
  static constexpr int kRosterReplyFrames = 20;
  static constexpr int kMaxExplosionsPerFrame = 64;
  static constexpr int kMaxExplosionFrames = 120;  // the longest real one is 30
  static constexpr int kMaxFreezeFrames =
      BulletManager::kFreezeFrames;  // no longer than a real one
  static constexpr int kMaxBounty = ::kMaxBounty;
  static constexpr int kMaxBots = ComputerPlayers::kMaxBots;
};
