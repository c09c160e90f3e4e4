// The in-game menu tree shown while the local ship is dead: the hull tree of
// a game against computer players, or the shop tree of a networked game, and
// the actions of its lines.
#pragma once

// Action codes of a menu line.
namespace menuaction {
constexpr int Nothing = 0, Respawn = 1, ChooseKey = 2, ShowPage = 3, BuyWeapon = 4, TakeHull = 5,
              Engine = 6, Armour = 7, Storage = 8, Recharge = 9, ActiveUpgrade = 10, ShiftItem = 11;
}

// Appends the tree for `mode` to the global Menus: 1 the hull tree (4 pages),
// 0 the shop tree (13 pages), any other mode nothing.
void CreateMenus(int mode);

// Performs a clicked line: charges `cost`, then runs `action` with
// `argument`; refused purchases are refunded with a message in the log.
void FollowLink(int cost, int action, int argument);
