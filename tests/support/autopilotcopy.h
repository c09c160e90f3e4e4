// One copy of the game on autopilot for benchmarks: the combat objects of
// CombatRig with the real protocol, flying, firing, hitting, dying and
// coming back with the timedemo's pilot, a frame in the in-game order.
// Header only, like CombatRig.
#pragma once

#include <cstdlib>
#include <string>

#include "app/autopilot.h"
#include "protocol/gameprotocol.h"
#include "tests/support/combat_rig.h"

struct AutopilotCopy {
  CombatRig rig;
  GameProtocol protocol;
  bool ready = false;
  int wait = 30000;
  float guid;

  // A client of the host at 127.0.0.1:port (hosting = false), or the hosting
  // copy listening on port.
  AutopilotCopy(int i, unsigned short port, bool hosting = false, bool rangeCoding = true)
      : guid(100.5f + i) {
    rig.ship.name = "Bot" + std::to_string(i);
    protocol.InitMe(&rig.network, &rig.outbox, &rig.enemies, &rig.ship, &rig.explosions, &ready,
                    &wait, &guid);
    rig.network.rangeCoding = rangeCoding;
    rig.network.InitMe(hosting);
    if (hosting) {
      // Every copy connects from 127.0.0.1, as a LAN party behind one address.
      rig.network.connectionsPerAddress = NetworkHandler::kMaxPlayers;
      ready = rig.network.Listen(port, NetworkHandler::kMaxPlayers);  // admitted at once
    } else {
      rig.network.ConnectMe("127.0.0.1", port);
    }
    rig.Spawn(1000 + 300 * i, 1500 + 200 * (i % 3));
  }

  // The in-game frame's order, the keys from the timedemo's autopilot.
  void Frame() {
    if (!rig.ship.alive) rig.Spawn(1000 + std::rand() % 4000, 1500 + std::rand() % 3000);
    AutopilotKeys(rig.ship, rig.enemies, rig.keys);
    rig.enemies.MainLoop(guid);
    protocol.UpdateNetwork();
    rig.bullets.UpdateMe(rig.ship.x, rig.ship.y, rig.ship.hp, rig.ship.energy, rig.ship.team, guid);
    rig.bullets.PostProjectiles(guid);
    float e = 0, h = 0;
    rig.enemies.MyDamage(e, h);
    rig.ship.UpdateMe(rig.keys, rig.outVx, rig.outVy, rig.ship.width, rig.ship.height,
                      rig.ship.shipTexture);
    rig.ship.PostState();
    protocol.Flush();
  }
};
