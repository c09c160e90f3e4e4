#include "app/menutree.h"

#include <string>
#include <vector>

#include "app/gameobjects.h"
#include "app/shop.h"
#include "platform/globals.h"
#include "sim/spaceship.h"
#include "ui/menu.h"

namespace {

using namespace menuaction;

// One line of a page before it is added to the tree.
struct Line {
  std::string text;
  int cost;
  int action;
  int argument;
  std::string help;
};

// Every page is 36 characters wide and shows all its lines; its first line is
// the free title.
void AddPage(const std::string& title, const std::vector<Line>& lines) {
  AddMenu(36, static_cast<int>(lines.size()) + 1);
  AddMenuItem(title, 0, Nothing, 0, "");
  for (const Line& l : lines) AddMenuItem(l.text, l.cost, l.action, l.argument, l.help);
}

const Line kBackToMain{"Go back to main menu", 0, ShowPage, 0, ""};

void CreateHullTree() {
  AddPage("----Respawn Menu----",
          {{"Respawn as Fighter", 0, ShowPage, 1, "Medium speed, medium health."},
           {"Respawn as Bomber", 0, ShowPage, 2, "Low Speed, high health. "},
           {"Respawn as Scout", 0, ShowPage, 3, "High Speed, low health"}});
  const char* titles[] = {"----Fighter Respawn Menu----", "----Bomber Respawn Menu----",
                          "----Scout Respawn----"};
  for (int page = 1; page <= 3; ++page) {
    std::vector<Line> lines;
    for (int n = 0; n < static_cast<int>(kHulls.size()); ++n)
      if (kHulls[n].page == page) lines.push_back({kHulls[n].text, 0, TakeHull, n, kHulls[n].help});
    lines.push_back(page == 1 ? Line{"Go Back To Main", 0, ShowPage, 0, ""} : kBackToMain);
    AddPage(titles[page - 1], lines);
  }
}

void AddWeaponPage(int page, const std::string& title) {
  std::vector<Line> lines;
  for (const WeaponOffer& w : kWeaponOffers)
    if (w.page == page) lines.push_back({w.text, w.price, BuyWeapon, w.weaponId, w.help});
  lines.push_back(kBackToMain);
  AddPage(title, lines);
}

void AddLadderPage(Ladder ladder, const std::string& title) {
  std::vector<Line> lines;
  const int action = kFirstLadderAction + static_cast<int>(ladder);
  for (int level = 1; level <= 4; ++level) {
    const UpgradeOffer& u = kUpgrades[static_cast<int>(ladder)][level - 1];
    lines.push_back({u.text, u.price, action, level, u.help});
  }
  lines.push_back(kBackToMain);
  AddPage(title, lines);
}

void CreateShopTree() {
  AddPage(
      "----Respawn Menu----",
      {{"Respawn", 0, Respawn, 0, "Get back into the game!"},
       {"Buy a weapon for key Z", 0, ChooseKey, 0, "Buy a new weapon that fires by pressing z."},
       {"Buy a weapon for key X", 0, ChooseKey, 1, "Buy a new weapon that fires by pressing x."},
       {"Buy a weapon for key C", 0, ChooseKey, 2, "Buy a new weapon that fires by pressing c."},
       {"Buy a weapon for key V", 0, ChooseKey, 3, "Buy a new weapon that fires by pressing v."},
       {"Upgrade your ship!", 0, ShowPage, 6,
        "Buy a utility item or an upgrade to your engine, health, energy or recharge rate."}});
  AddPage("----Weapons Menu----",
          {{"Buy An Energy Weapon", 0, ShowPage, 2,
            "Buy a weapon that uses a lot of energy to fire but deals the most energy damage."},
           {"Buy Mounted Guns", 0, ShowPage, 3,
            "Buy a weapon that uses some energy and deals mostly health damage."},
           {"Buy Missles", 0, ShowPage, 4,
            "Buy one of several missile launchers that take no energy but generally fire slower."},
           {"Buy Mines", 0, ShowPage, 5, "Buy one of several mine layers."},
           {"Go Back To Main", 0, ShowPage, 0, ""}});
  AddWeaponPage(2, "----Energy Weapons Menu----");
  AddWeaponPage(3, "----Mounted Guns Menu----");
  AddWeaponPage(4, "----Missles Menu----");
  AddWeaponPage(5, "----Mines Menu----");
  AddPage("----Upgrade Menu----",
          {{"Upgrade Engines", 0, ShowPage, 7, "Speed.  Speed is good."},
           {"Upgrade Health", 0, ShowPage, 8, "Ability to sustain more damage."},
           {"Upgrade Energy Storage", 0, ShowPage, 9,
            "Higher energy = stronger SHIELDS!!! ..and sustains more weapons firing"},
           {"Upgrade Energy Recharge", 0, ShowPage, 10,
            "Speeds up the rate you gain energy back.  This is helpful if you want to live much."},
           {"Add a Utility Item!", 0, ShowPage, 12, "Goodies!"},
           kBackToMain});
  AddLadderPage(Ladder::Engine, "----Engines Menu----");
  AddLadderPage(Ladder::Armour, "----Health Menu----");
  AddLadderPage(Ladder::Storage, "----Energy Storage Menu----");
  AddLadderPage(Ladder::Recharge, "----Energy Recharge Menu----");
  // Built for completeness of the numbering; no line leads here.
  std::vector<Line> active;
  for (int i = 0; i < static_cast<int>(kActiveUpgrades.size()); ++i)
    active.push_back({kActiveUpgrades[i].text, kActiveUpgrades[i].price, ActiveUpgrade, i + 1, ""});
  active.push_back(kBackToMain);
  AddPage("----Active Upgrade Menu----", active);
  std::vector<Line> utility;
  for (int i = 0; i < static_cast<int>(kUtilityOffers.size()); ++i)
    utility.push_back({kUtilityOffers[i].text, kUtilityOffers[i].price, ShiftItem, i + 1,
                       kUtilityOffers[i].help});
  utility.push_back(kBackToMain);
  // Longer than the page's 36 characters: the in-game panel draws titles whole.
  AddPage("----Utility Item Menu (YOU CAN ONLY HAVE ONE!!!)----", utility);
}

// The flag an active upgrade sets; nullptr for an argument outside 1..3.
bool* ActiveFlag(int argument) {
  switch (argument) {
    case 1: return &Player.utility.cloaking;
    case 2: return &Player.utility.regeneration;
    case 3: return &Player.utility.sensors;
    default: return nullptr;
  }
}

void Refuse(int cost, const std::string& message) {
  Player.Refund(cost);
  AddMessage(message);
}

void BuyActiveUpgrade(int cost, int argument) {
  bool* flag = ActiveFlag(argument);
  if (flag == nullptr) return;
  if (*flag) Refuse(cost, kActiveUpgrades[argument - 1].refusal);
  *flag = true;
}

void BuyUtilityItem(int cost, int argument) {
  if (argument < 1 || argument > static_cast<int>(kUtilityOffers.size())) return;
  const UtilityOffer& offer = kUtilityOffers[argument - 1];
  if (Player.utility.GetShift() == offer.shiftKind) Refuse(cost, offer.refusal);
  Player.utility.SetShift(offer.shiftKind);
}

}  // namespace

void CreateMenus(int mode) {
  if (mode == 1) CreateHullTree();
  if (mode == 0) CreateShopTree();
}

void FollowLink(int cost, int action, int argument) {
  if (!Player.BuySomething(cost)) {
    AddMessage("Get more cash!!!");
    return;
  }
  switch (action) {
    case Respawn: Player.respawnRequested = true; break;
    case ChooseKey:
      Player.shopSlot = argument;
      onmenu = 1;
      break;
    case ShowPage: onmenu = argument; break;
    case BuyWeapon:
      if (!Player.ChangeWeapon(Player.shopSlot, argument))
        Refuse(cost, "You already have a copy of this weapon!");
      UpdateWeaponMenu();
      onmenu = 0;
      break;
    case TakeHull:
      BuildHull(argument);
      Player.respawnRequested = true;
      UpdateWeaponMenu();
      break;
    case Engine:
    case Armour:
    case Storage:
    case Recharge: {
      const Ladder ladder = static_cast<Ladder>(action - kFirstLadderAction);
      if (!ApplyUpgrade(ladder, argument)) Refuse(cost, kLadderRefusals[static_cast<int>(ladder)]);
      // Every purchase shows in the payload panel at once, refused or not.
      UpdateWeaponMenu();
      break;
    }
    case ActiveUpgrade:
      BuyActiveUpgrade(cost, argument);
      UpdateWeaponMenu();
      break;
    case ShiftItem:
      BuyUtilityItem(cost, argument);
      UpdateWeaponMenu();
      break;
    default: break;
  }
}
