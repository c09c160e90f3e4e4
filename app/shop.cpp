#include "app/shop.h"

#include "app/gameobjects.h"
#include "platform/globals.h"
#include "platform/soundmanager.h"
#include "render/glwrapper.h"
#include "render/text.h"
#include "sim/spaceship.h"
#include "ui/menu.h"

// Hull pages, weapon pages and prices are fixed by game design; the tree in
// app/menutree.cpp lays these rows out on its pages.
const std::array<WeaponOffer, 21> kWeaponOffers = {{
    {2, "Buy a Laser", 0, 1, "Basic weapon, think upgrade ASAP."},
    {2, "Buy a Lightning Gun", 15, 0,
     "Reduces an enemy's energy and does slight damage.  Good range and decent speed."},
    {2, "Buy Dual High Energy Lasers", 35, 2,
     "Medium range, medium damage, high energy drain on enemy."},
    {2, "Buy High Frequency Laser", 45, 4,
     "Long range sniper weapon, travels through walls, high damage and medium energy drain."},
    {2, "Buy an Energy Bomb Launcher", 55, 10,
     "Very slow, medium range, high damage and high energy drain.  Nasty."},
    {2, "Buy an Energy Freeze Bomb", 65, 11,
     "Korvath's favorite weapon!  Long range, medium speed weapon that deals 100% energy drain "
     "on enemy!"},
    {2, "Buy an Energy Reflex Bomb", 95, 17,
     "Boomerang weapon!  Medium speed, medium energy drain, high health damage, turns around "
     "and flies back."},
    {2, "Buy a Planet Destroyer!", 1750, 9,
     "When your enemy positively must go!  Hold down fire key to power it up, full damage.  "
     "Bang."},
    {3, "Buy Twin Automatic Gauss Rifles", 10, 15,
     "Short range, rapid fire, low damage weapon.  Did I say rapid fire?  It fires rapidly."},
    {3, "Buy a Firestorm Projector", 15, 7,
     "High damage weapon that travels the direction you are going, not where you are facing. "},
    {3, "Buy Quad Automatic Gauss Rifles", 25, 12,
     "If you can't aim, buy this one!  Rapid fire in a short range spray pattern. "},
    {3, "Buy a Gauss Cannon", 100, 16,
     "Long range sniper weapon that travels through walls.  Very high damage."},
    {3, "Buy Tri Gauss Penetrators", 150, 20,
     "Rapid fire but uses lots of your energy.  Ignores enemy energy and deals high damage. "},
    {4, "Buy Fast Firing Projector", 10, 5,
     "Long range, rapid fire weapon that deals little damage."},
    {4, "Buy High Explosive Missles", 45, 3, "Long range, high damage and medium enery drain."},
    {4, "Buy Cluster Missles", 50, 18,
     "Short range missile.  Deadly if enemy is hit before cluster breaks up.  Clusters have low "
     "damage each"},
    {4, "Buy Weaving Missles", 65, 6,
     "Long range, dual firing high damage missiles, that, um, well, weave."},
    {4, "Buy Small Nuke", 225, 21, "It's a nuke.  Nuff said."},
    {5, "Buy Space Mines", 5, 8,
     "These drift slightly in the direction you are moving.  Very high damage."},
    {5, "Buy Mine Storm", 25, 14,
     "These crawl along walls, if you leave them near one.  Extremely high damage."},
    {5, "Buy Cluster Mines", 30, 19,
     "Most powerful mines in Voidrake.  Two are dropped, but each will ruin an enemy's day."},
}};

const std::array<std::array<UpgradeOffer, 4>, 4> kUpgrades = {{
    {{{"Extreme Rocket Engine", 25, 30.0f, "Less slow engine.  Runs on compressed methane."},
      {"Inferno Engine", 125, 35.0f, "Fast engine.  Runs on a pact you sign with evil spirits."},
      {"Fireball Engine", 235, 50.0f,
       "Very fast engine.  Runs on an actual piece of the sun. Wear SPF200000 to work on this "
       "engine. "},
      {"Plasma Engine", 500, 75.0f,
       "Absurdly, wastefully fast engine.  Runs on the dreams of bored (drunk) engineers"}}},
    {{{"Enhanced Metal Armor", 25, 125.0f, ""},
      {"Energy Infused Armor", 125, 175.0f, "It's pretty and shiny."},
      {"Reactive Plasma Armor", 235, 250.0f, "Great health for the money."},
      {"Full ForceFields", 500, 500.0f, ""}}},
    {{{"Powered Coils", 25, 2000.0f, "Developed in ancient Egypt.  (Tip: Energy=SHIELDS!)"},
      {"Energy Cube", 125, 2750.0f, "Surprisingly pointy.  (Tip: Energy=SHIELDS!)"},
      {"Powered Sphere", 235, 3250.0f,
       "Who knew that spheres were better than cubes?  (Tip: Energy=SHIELDS!)"},
      {"Dimensional Rift", 500, 5000.0f,
       "Do you know how hard these are to store in a warehouse?  (Tip: Energy=SHIELDS!)"}}},
    {{{"Base Converter", 25, 17.0f, "Better than nothing."},
      {"Energy Turbines", 125, 23.0f, "Turbines are Old School!"},
      {"Matter Converter", 235, 35.0f,
       "Matter goes in, but it doesn't come out!  (best when used with dense metals, small "
       "animals and siblings.)"},
      {"Antimatter Core", 500, 60.0f, "Antimatter does too exist!"}}},
}};

const std::array<const char*, 4> kLadderRefusals = {
    "You already have this engine, or a better one!",
    "You already have these shields, or better!",
    "You already have this storage unit, or a better one!",
    "You already have this recharger, or a better one!",
};

const std::array<ActiveUpgradeOffer, 3> kActiveUpgrades = {{
    {"Cloaking", 500, "You already have cloaking!"},
    {"Health Regeneration", 650, "You already have regeneration!"},
    {"Enhaced Sensors", 650, "You already have upgraded sensors!"},
}};

const std::array<UtilityOffer, 3> kUtilityOffers = {{
    {"Health to Energy Converter", 10, 1,
     "Your shift item is already the health to energy converter, dude!",
     "Press shift key to get full energy, but your health goes down somewhat."},
    {"Afterburners", 35, 3, "You already have afterburners!",
     "Hold shift to go faster - and watch your energy drop."},
    {"Energy to Health Converter", 100, 2,
     "You already have the health to energy converter!  Too bad they don't stack :-p",
     "Very nice way to regain health if you can afford the energy."},
}};

const std::array<HullSpec, 15> kHulls = {{
    {1,
     "Respawn as Space Superiority Fighter",
     "Good against other fighters",
     40,
     2500,
     20,
     85,
     128,
     0,
     {15, 4, 2, 3}},
    {1,
     "Respawn as Suppressive Fire",
     "Good when enemy is close and, hopefully, a scout.",
     25,
     2000,
     25,
     85,
     128,
     0,
     {15, 12, 12, 5}},
    {1,
     "Respawn as Fighter-Bomber",
     "Good anti-bomber fighter.",
     25,
     2250,
     20,
     135,
     144,
     0,
     {15, 10, 18, 6}},
    {1,
     "Respawn as Energy Warrior",
     "Remove an enemy's energy and splat them.  Also has sniper capability",
     35,
     3000,
     30,
     55,
     128,
     0,
     {2, 4, 10, 11}},
    {1,
     "Respawn as Disruptor",
     "Also an enemy freeze then splat combo.  Works nice with heat seeking missile",
     30,
     2000,
     15,
     110,
     128,
     0,
     {11, 4, 16, 13}},
    {2,
     "Respawn as Assault Bomber",
     "General purpose bomber.  Works well against fighters.",
     20,
     2250,
     15,
     145,
     144,
     20,
     {15, 17, 16, 8}},
    {2,
     "Respawn as Missle Boat",
     "It shoots missiles.  Duh.",
     20,
     2000,
     10,
     225,
     196,
     20,
     {6, 3, 18, 13}},
    {2,
     "Respawn as Energy Bomber",
     "Very tough, evil machine.  Uses the freeze and splat strategy.",
     10,
     4000,
     30,
     165,
     196,
     20,
     {17, 10, 11, 0}},
    {2,
     "Respawn as Immortal Tanker",
     "Ultimate health meets poor weapons.",
     10,
     4000,
     30,
     565,
     256,
     20,
     {0, 1, 5, 14}},
    {2,
     "Respawn as Mine Layer",
     "Lay a bunch of mines and hide behind them.  Works pretty well.",
     25,
     4000,
     30,
     125,
     196,
     20,
     {12, 19, 8, 14}},
    {3,
     "Respawn as Gauss Fighter",
     "Great short range weapons.  Fun to use with this scout's speed.",
     40,
     1800,
     25,
     85,
     96,
     42,
     {15, 12, 16, 8}},
    {3,
     "Respawn as Assassin",
     "Fast sniper that uses the freeze and splat strategy.",
     45,
     1800,
     20,
     65,
     96,
     42,
     {11, 4, 16, 19}},
    {3,
     "Respawn as Dart",
     "Fastest ship in the game.  Kinda fun to create a wave of weapons fire and lead them in.",
     75,
     1250,
     25,
     75,
     80,
     42,
     {15, 5, 8, 19}},
    {3,
     "Respawn as Assualt Scout",
     "Strong all-purpose scout.",
     35,
     2000,
     16,
     85,
     112,
     42,
     {12, 4, 18, 6}},
    {3,
     "Respawn as Cluster Fighter",
     "Three cluster missiles for ultimate short range mayhem!",
     40,
     1000,
     16,
     75,
     96,
     42,
     {18, 18, 18, 19}},
}};

bool BuildHull(int n) {
  if (n < 0 || n >= static_cast<int>(kHulls.size())) return false;
  const HullSpec& h = kHulls[n];
  // Start position (0, 0); the ship keeps the sorter start-up gave it.
  Player.InitMe(0, 0, h.speed, h.energy, h.recharge, &Utility, &Level, &Bullets, &Enemies, &Sounds,
                &Outgoing, 0, myGUID, 9216, h.hp);
  // One update stores size and picture in the ship (it is dead, so it does
  // not move or fire).
  float scratchVx = 0.0f, scratchVy = 0.0f;
  Player.UpdateMe(keys, scratchVx, scratchVy, h.size, h.size, h.texture);
  for (int slot = 0; slot < 4; ++slot) Player.ChangeWeaponNoCheck(slot, h.weapons[slot]);
  return true;
}

static int& LadderLevel(Ladder ladder) {
  switch (ladder) {
    case Ladder::Engine: return Player.engineLevel;
    case Ladder::Armour: return Player.armourLevel;
    case Ladder::Storage: return Player.storageLevel;
    case Ladder::Recharge: break;
  }
  return Player.rechargeLevel;
}

bool ApplyUpgrade(Ladder ladder, int level) {
  if (level < 1 || level > 4) return false;
  const float value = kUpgrades[static_cast<int>(ladder)][level - 1].value;
  bool accepted = false;
  switch (ladder) {
    case Ladder::Engine: accepted = Player.UpgradeMaxSpeed(value); break;
    case Ladder::Armour: accepted = Player.UpgradeMaxHp(static_cast<int>(value)); break;
    case Ladder::Storage: accepted = Player.UpgradeMaxEnergy(static_cast<int>(value)); break;
    case Ladder::Recharge: accepted = Player.UpgradeMaxRecharge(static_cast<int>(value)); break;
  }
  if (accepted) LadderLevel(ladder) = level;
  return accepted;
}

std::string InstalledUpgradeText(Ladder ladder, int level) {
  if (level < 1 || level > 4) return "";
  return kUpgrades[static_cast<int>(ladder)][level - 1].text;
}

void UpdateWeaponMenu() {
  Weapons.InitMe(&Textures, static_cast<int>(base));
  Weapons.ResetMenu();
  Weapons.AddItem("Current Payload is:");
  for (int slot = 0; slot < 4; ++slot) Weapons.AddItem(Player.GetWeaponName(slot));
  const Ladder ladders[] = {Ladder::Engine, Ladder::Armour, Ladder::Storage, Ladder::Recharge};
  for (Ladder ladder : ladders) {
    std::string text = InstalledUpgradeText(ladder, LadderLevel(ladder));
    if (!text.empty()) Weapons.AddItem(text);
  }
  for (int i = 0; i < static_cast<int>(kActiveUpgrades.size()); ++i) {
    const bool* flags[] = {&Player.utility.cloaking, &Player.utility.regeneration,
                           &Player.utility.sensors};
    if (*flags[i]) Weapons.AddItem(kActiveUpgrades[i].text);
  }
  const std::string shift = ShiftItemName(Player.utility.GetShift());
  if (!shift.empty()) Weapons.AddItem("Shift: " + shift);
}

std::string ShiftItemName(int kind) {
  for (const UtilityOffer& offer : kUtilityOffers)
    if (offer.shiftKind == kind) return offer.text;
  return "";
}
