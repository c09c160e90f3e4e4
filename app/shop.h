// The shop: what the in-game menu tree offers (weapons, hulls, upgrade
// ladders, active upgrades, utility items) with prices, help lines and
// effects, and the payload panel that lists what the ship carries.
#pragma once

#include <array>
#include <string>

// A weapon for sale: installed into the slot the player chose (shopSlot).
struct WeaponOffer {
  int page;  // page of the shop tree that lists it
  const char* text;
  int price;
  int weaponId;
  const char* help;
};
extern const std::array<WeaponOffer, 21> kWeaponOffers;

// The four upgrade ladders, in the order of their actions 6..9.
enum class Ladder { Engine = 0, Armour = 1, Storage = 2, Recharge = 3 };
constexpr int kFirstLadderAction = 6;

struct UpgradeOffer {
  const char* text;
  int price;
  float value;  // new cap handed to the ship's upgrade call
  const char* help;
};
// kUpgrades[ladder][level - 1]
extern const std::array<std::array<UpgradeOffer, 4>, 4> kUpgrades;
// "You already have this engine, or a better one!" and the like, per ladder.
extern const std::array<const char*, 4> kLadderRefusals;

// Active upgrades (action 10), argument 1..3.
struct ActiveUpgradeOffer {
  const char* text;
  int price;
  const char* refusal;
};
extern const std::array<ActiveUpgradeOffer, 3> kActiveUpgrades;

// Utility (shift) items (action 11), argument 1..3.
struct UtilityOffer {
  const char* text;
  int price;
  int shiftKind;
  const char* refusal;
  const char* help;
};
extern const std::array<UtilityOffer, 3> kUtilityOffers;

// The fifteen hulls of the hull tree (action 5), number 0..14.
struct HullSpec {
  int page;
  const char* text;
  const char* help;
  float speed;
  int energy;
  int recharge;
  int hp;
  float size;  // width = height
  int texture;
  std::array<int, 4> weapons;  // Z, X, C, V
};
extern const std::array<HullSpec, 15> kHulls;

// Re-initialises the local ship (global Player) as hull n: fresh wallet,
// the hull's speed, energy, recharge, hit points, size, picture and weapons.
// Does not request the respawn. Returns false (and changes nothing) for a
// number outside 0..14.
bool BuildHull(int n);

// Applies level `level` (1..4) of a ladder to the local ship. On acceptance
// the ladder's level field is set and true is returned; false when the ship
// already has this value or better, or the level is out of range.
bool ApplyUpgrade(Ladder ladder, int level);

// Text of the installed level of a ladder, or "" when none (level not 1..4).
std::string InstalledUpgradeText(Ladder ladder, int level);

// Rebuilds the payload panel (global Weapons): "Current Payload is:", the
// four weapon names, the installed upgrade of each ladder, the active
// upgrades, then "Shift: " and the utility item.
void UpdateWeaponMenu();

// The shop's name of a utility item kind, "" for none.
std::string ShiftItemName(int kind);
