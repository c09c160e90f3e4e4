// The screens of joining someone else's game: the LAN search and the
// internet server list. What the joining copy sends lives in the protocol
// (protocol/gameprotocol.*); these screens only choose and connect.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/gameobjects.h"
#include "app/gamestates.h"
#include "app/gamestates_internal.h"
#include "app/protocolhooks.h"
#include "net/networkhandler.h"
#include "net/serverlistcache.h"
#include "platform/globals.h"
#include "platform/platform.h"
#include "protocol/gameprotocol.h"
#include "render/defaultsprite.h"
#include "render/text.h"

using namespace screens;

ServerMenuSet ServerList;
std::string screens::joiningName;

namespace {
constexpr int kLanJoinWait = 30000;
constexpr int kInternetJoinWait = 350;
constexpr int kListRows = 30;
bool listFetched = true;
}  // namespace

void screens::InstallProtocolCallbacks() {
  GameProtocol& protocol = GlobalProtocol();
  protocol.hostLeft = [](const std::string& notice) { ShowNotice(notice, kEndedNoticeFrames); };
  protocol.giveUp = [] {
    ShowNotice(Networking.TurnedAway() ? "Could not join " + joiningName + ": the game is full."
                                       : "Could not reach " + joiningName + ".",
               kFailedNoticeFrames);
  };
}

void screens::JoiningFrame() {
  platform::SetCursorVisible(false);
  UpdateNetwork();
  GlobalProtocol().Flush();
  if (inloop == ScreenState::Playing) DrawCentredText("Joining " + joiningName + "...");
}

void LanSearchFrame() {
  platform::SetCursorVisible(true);
  DrawCentredText("Searching for games on the LAN...");
  if (Networking.ReceivePacket() == netid::LanPong) {
    foundpong = true;
    framestilownage = kLanJoinWait;
    // The pong comes from the game's own port (several games may share an
    // address; older hosts all answer from the default port).
    const PlayerID host = Networking.GetLastID();
    std::string address = Networking.GetIP(host);
    joiningName = address;
    Networking.ConnectMe(address.c_str(), host.port);
    PrepareGameMenus();
  }
  if (--framestilquit == 0 && !foundpong) {
    Networking.QuitClient();
    ShowNotice("No games found on the LAN.", kFailedNoticeFrames);
  }
  if (foundpong) {
    inloop = ScreenState::GameStart;
    GlobalProtocol().SendJoin();
  }
}

void FetchServersFrame() {
  bool fetched = false;
  ServerList.Fill(Networking.GetServers2(&fetched));
  listFetched = fetched;
  inloop = ScreenState::ServerList;
}

void ServerListFrame() {
  platform::SetCursorVisible(true);
  ClearScreen();
  FullscreenFX.ChangeSize(platform::kFrameWidth, 512);
  FullscreenFX.ChangeCenter(512, 256);
  DrawPicture(kServerListScreenTexture);
  FullscreenFX.ChangeSize(platform::kFrameWidth, platform::kFrameHeight);
  FullscreenFX.ChangeCenter(platform::kFrameWidth / 2, platform::kFrameHeight / 2);
  // Each game once: the menus wrap around, so only as many rows as games.
  const int rows = std::min(kListRows, static_cast<int>(ServerList.names.items.size()));
  ServerList.names.RenderMe(66, 200, 18, rows, 0, false);
  ServerList.games.RenderMe(276, 200, 14, rows, 0, false);
  ServerList.maps.RenderMe(429, 200, 26, rows, 0, false);
  ServerList.playerCounts.RenderMe(699, 200, 11, rows, 0, false);
  if (!listFetched && Networking.savedListAge >= 0) {
    // Rows that may have gone: told apart from a fresh list, below its
    // last row so that it covers none.
    const std::string line = "Saved list from " +
                             ServerListCache::AgeText(Networking.savedListAge) +
                             ": no lobby answered.";
    PrintTextColor(66, 40, line.c_str(), 1, 0.8f, 0.3f);
  } else if (!listFetched) {
    PrintTextColor(66, platform::kFrameHeight - 200 - 24, "The game list could not be fetched.", 1,
                   1, 1);
  }
  platform::SwapBuffers();
  if (!lclick) return;
  int row = ServerList.names.ItemClicked(66, 200, 18, rows, 0);
  if (row < 0 || row >= static_cast<int>(ServerList.ips.items.size()) ||
      row >= static_cast<int>(ServerList.ports.items.size()))
    return;
  joiningName = ServerList.names.items[row];
  // The lobby lists a game only once it answered on this port: one address
  // may host several games.
  JoinDirectly(ServerList.ips.items[row], std::atoi(ServerList.ports.items[row].c_str()));
}

void JoinDirectly(const std::string& host, unsigned short port) {
  if (inloop != ScreenState::ServerList)
    joiningName = host + ":" + std::to_string(port);  // not chosen from the list
  InstallProtocolCallbacks();
  multiplayer = true;
  gotin = false;
  Networking.InitMe(false);
  if (!Networking.ConnectMe(host.c_str(), port)) {
    std::fprintf(stderr, "voidrake2: could not reach %s:%u\n", host.c_str(), port);
    ShowNotice("Could not reach " + joiningName + ".", kFailedNoticeFrames);
    return;
  }
  PrepareGameMenus();
  inloop = ScreenState::GameStart;
  framestilownage = kInternetJoinWait;
}
