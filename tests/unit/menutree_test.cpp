// The in-game menu tree: its layout (every page reachable, lines consistent)
// and the actions of FollowLink on the real ship.
#include "app/menutree.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/gameobjects.h"
#include "app/shop.h"
#include "platform/globals.h"
#include "render/glwrapper.h"
#include "sim/spaceship.h"
#include "sim/weapon.h"
#include "ui/menu.h"

namespace {

std::string WeaponName(int id) {
  Weapon w;
  w.InitMe(&Utility);
  w.MakeMeWeapon(id);
  return w.name;
}

std::string LastMessage() {
  auto log = MessagesSnapshot();
  return log.empty() ? "" : log.back();
}

// A fresh game: empty tree, page 0, a fresh ship with the start-up values.
class MenuTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GameSeed(1234);
    Menus.clear();
    onmenu = 0;
    {
      std::lock_guard<std::mutex> lock(textMutex);
      Messages.clear();
    }
    Player.InitMe(600, 600, 20.0f, 1500, 12, &Utility, &Level, &Bullets, &Enemies, &Sounds,
                  &Outgoing, 0, myGUID, 9216, 100);
  }

  // Index of the line with this text on a page, or -1.
  static int LineOf(int page, const std::string& text) {
    const auto& items = Menus[page].menu.items;
    for (int i = 0; i < static_cast<int>(items.size()); ++i)
      if (items[i] == text) return i;
    return -1;
  }

  // Clicks the line with this text on the current page as the panel does.
  void Click(const std::string& text) {
    const int i = LineOf(onmenu, text);
    ASSERT_GE(i, 0) << text << " is not on page " << onmenu;
    const menus& page = Menus[onmenu];
    FollowLink(page.costs[i], page.actions[i], page.arguments[i]);
  }
};

TEST_F(MenuTreeTest, TreesHaveTheirPagesAndOnlyModesZeroAndOneBuildOne) {
  CreateMenus(1);
  EXPECT_EQ(Menus.size(), 4u);
  CreateMenus(2);
  EXPECT_EQ(Menus.size(), 4u);
  Menus.clear();
  CreateMenus(0);
  EXPECT_EQ(Menus.size(), 13u);
}

// Every page of both trees: title first and free, all lines visible, the
// per-line vectors aligned, page links inside the tree, priced lines only on
// buying actions.
TEST_F(MenuTreeTest, EveryPageIsConsistent) {
  for (int mode : {0, 1}) {
    Menus.clear();
    CreateMenus(mode);
    std::set<int> linked;
    for (size_t p = 0; p < Menus.size(); ++p) {
      const menus& page = Menus[p];
      const size_t n = page.menu.items.size();
      SCOPED_TRACE("mode " + std::to_string(mode) + " page " + std::to_string(p));
      ASSERT_GE(n, 2u);
      EXPECT_EQ(page.width, 36);
      EXPECT_EQ(page.rows, static_cast<int>(n));
      ASSERT_EQ(page.costs.size(), n);
      ASSERT_EQ(page.actions.size(), n);
      ASSERT_EQ(page.arguments.size(), n);
      ASSERT_EQ(page.helpLines.size(), n);
      EXPECT_EQ(page.menu.items[0].substr(0, 4), "----");
      EXPECT_EQ(page.costs[0], 0);
      EXPECT_EQ(page.actions[0], menuaction::Nothing);
      EXPECT_EQ(page.helpLines[0], "");
      for (size_t i = 0; i < n; ++i) {
        // Titles are drawn whole; the other lines are cut at the width.
        if (i > 0) {
          EXPECT_LE(page.menu.items[i].size(), 36u) << "cut: " << page.menu.items[i];
        }
        if (page.actions[i] == menuaction::ShowPage) {
          EXPECT_LT(page.arguments[i], static_cast<int>(Menus.size()));
          linked.insert(page.arguments[i]);
        }
        if (page.actions[i] == menuaction::ChooseKey) linked.insert(1);
        const int a = page.actions[i];
        if (page.costs[i] != 0) {
          EXPECT_TRUE(a == menuaction::BuyWeapon || a >= menuaction::Engine);
        }
      }
      // Every page but the first ends with its way back.
      if (p > 0) {
        EXPECT_EQ(page.actions[n - 1], menuaction::ShowPage);
      }
    }
    if (mode == 0) {
      EXPECT_EQ(Menus[12].menu.items[0], "----Utility Item Menu (YOU CAN ONLY HAVE ONE!!!)----");
    }
    // Every page is reachable except the shop's active upgrades (page 11).
    for (int p = 1; p < static_cast<int>(Menus.size()); ++p)
      EXPECT_EQ(linked.count(p), (mode == 0 && p == 11) ? 0u : 1u) << "page " << p;
  }
}

TEST_F(MenuTreeTest, ShopSellsEveryWeaponButTheHomingRocketOnce) {
  CreateMenus(0);
  std::multiset<int> sold;
  for (const menus& page : Menus)
    for (size_t i = 0; i < page.actions.size(); ++i)
      if (page.actions[i] == menuaction::BuyWeapon) sold.insert(page.arguments[i]);
  for (int id = 0; id < 22; ++id) EXPECT_EQ(sold.count(id), id == 13 ? 0u : 1u) << id;
}

TEST_F(MenuTreeTest, HullTreeOffersEveryHullOnceAndForFree) {
  CreateMenus(1);
  std::multiset<int> hulls;
  for (const menus& page : Menus)
    for (size_t i = 0; i < page.actions.size(); ++i) {
      EXPECT_EQ(page.costs[i], 0);
      if (page.actions[i] == menuaction::TakeHull) hulls.insert(page.arguments[i]);
    }
  for (int n = 0; n < 15; ++n) EXPECT_EQ(hulls.count(n), 1u) << n;
}

TEST_F(MenuTreeTest, TitleLineChargesNothingAndChangesNothing) {
  CreateMenus(0);
  Player.credits = 0;
  Click("----Respawn Menu----");
  EXPECT_EQ(Player.credits, 0);
  EXPECT_EQ(onmenu, 0);
  EXPECT_FALSE(Player.respawnRequested);
  EXPECT_EQ(LastMessage(), "");
}

TEST_F(MenuTreeTest, BuyingForKeyCInstallsIntoSlotTwoAndReturnsToPageZero) {
  CreateMenus(0);
  Player.credits = 1000;
  Click("Buy a weapon for key C");
  EXPECT_EQ(Player.shopSlot, 2);
  EXPECT_EQ(onmenu, 1);
  Click("Buy Mounted Guns");
  EXPECT_EQ(onmenu, 3);
  Click("Buy a Gauss Cannon");
  EXPECT_EQ(Player.GetWeaponName(2), WeaponName(16));
  EXPECT_EQ(Player.GetWeaponName(1), WeaponName(1));
  EXPECT_EQ(Player.credits, 900);
  EXPECT_EQ(onmenu, 0);
  EXPECT_EQ(Weapons.items.at(3), WeaponName(16));
}

TEST_F(MenuTreeTest, SameWeaponTwiceIsRefundedWithItsMessage) {
  CreateMenus(0);
  Player.credits = 100;
  FollowLink(0, menuaction::ChooseKey, 0);
  FollowLink(15, menuaction::BuyWeapon, 0);
  EXPECT_EQ(Player.credits, 85);
  FollowLink(0, menuaction::ChooseKey, 1);
  FollowLink(15, menuaction::BuyWeapon, 0);
  EXPECT_EQ(Player.credits, 85);
  EXPECT_EQ(LastMessage(), "You already have a copy of this weapon!");
  EXPECT_EQ(Player.GetWeaponName(1), WeaponName(1));
  // A fresh ship carries lasers: the free laser is refused the same way.
  FollowLink(0, menuaction::BuyWeapon, 1);
  EXPECT_EQ(LastMessage(), "You already have a copy of this weapon!");
}

TEST_F(MenuTreeTest, InfernoEngineSetsSpeedAndLevelAndShowsInPayload) {
  CreateMenus(0);
  Player.credits = 200;
  onmenu = 7;
  Click("Inferno Engine");
  EXPECT_EQ(Player.credits, 75);
  EXPECT_FLOAT_EQ(Player.maxSpeed, 35.0f);
  EXPECT_EQ(Player.engineLevel, 2);
  UpdateWeaponMenu();
  EXPECT_EQ(Weapons.items.back(), "Inferno Engine");
}

TEST_F(MenuTreeTest, LowerUpgradesAreRefundedWithTheLadderMessage) {
  CreateMenus(0);
  Player.credits = 2000;
  FollowLink(235, menuaction::Engine, 3);
  FollowLink(25, menuaction::Engine, 1);
  EXPECT_EQ(LastMessage(), "You already have this engine, or a better one!");
  EXPECT_EQ(Player.engineLevel, 3);
  EXPECT_EQ(Player.credits, 1765);
  // The start-up ship already has 1500 energy and 100 hull: storage level 1
  // (2000) is accepted, armour 1 (125) too, but recharge 1 (17) twice is not.
  FollowLink(25, menuaction::Storage, 1);
  EXPECT_EQ(Player.storageLevel, 1);
  FollowLink(25, menuaction::Recharge, 1);
  FollowLink(25, menuaction::Recharge, 1);
  EXPECT_EQ(LastMessage(), "You already have this recharger, or a better one!");
  FollowLink(500, menuaction::Armour, 4);
  FollowLink(125, menuaction::Armour, 2);
  EXPECT_EQ(LastMessage(), "You already have these shields, or better!");
  FollowLink(500, menuaction::Storage, 4);
  FollowLink(25, menuaction::Storage, 1);
  EXPECT_EQ(LastMessage(), "You already have this storage unit, or a better one!");
  EXPECT_EQ(Player.credits, 2000 - 235 - 25 - 25 - 500 - 500);
}

TEST_F(MenuTreeTest, CloakingTwiceRefundsAndKeepsTheFlag) {
  CreateMenus(0);
  Player.credits = 1000;
  FollowLink(500, menuaction::ActiveUpgrade, 1);
  EXPECT_TRUE(Player.utility.cloaking);
  EXPECT_EQ(Player.credits, 500);
  FollowLink(500, menuaction::ActiveUpgrade, 1);
  EXPECT_TRUE(Player.utility.cloaking);
  EXPECT_EQ(Player.credits, 500);
  EXPECT_EQ(LastMessage(), "You already have cloaking!");
}

TEST_F(MenuTreeTest, UtilityItemsReplaceEachOtherAndRefuseTheSameKind) {
  CreateMenus(0);
  Player.credits = 1000;
  onmenu = 12;
  Click("Afterburners");
  EXPECT_EQ(Player.utility.GetShift(), 3);
  Click("Afterburners");
  EXPECT_EQ(LastMessage(), "You already have afterburners!");
  EXPECT_EQ(Player.utility.GetShift(), 3);
  EXPECT_EQ(Player.credits, 965);
  Click("Energy to Health Converter");
  EXPECT_EQ(Player.utility.GetShift(), 2);
  Click("Health to Energy Converter");
  EXPECT_EQ(Player.utility.GetShift(), 1);
  EXPECT_EQ(Player.credits, 1000 - 35 - 100 - 10);
}

TEST_F(MenuTreeTest, TooFewCreditsChangesNothing) {
  CreateMenus(0);
  Player.credits = 1749;
  Player.shopSlot = 0;
  FollowLink(1750, menuaction::BuyWeapon, 9);
  EXPECT_EQ(LastMessage(), "Get more cash!!!");
  EXPECT_EQ(Player.credits, 1749);
  EXPECT_EQ(Player.GetWeaponName(0), WeaponName(1));
}

TEST_F(MenuTreeTest, HullPickResetsWalletRequestsRespawnAndListsItsWeapons) {
  CreateMenus(1);
  Player.credits = 7;
  Player.engineLevel = 2;
  Click("Respawn as Fighter");
  EXPECT_EQ(onmenu, 1);
  Click("Respawn as Space Superiority Fighter");
  EXPECT_TRUE(Player.respawnRequested);
  EXPECT_FALSE(Player.alive);
  EXPECT_EQ(Player.credits, 50);
  EXPECT_FLOAT_EQ(Player.maxSpeed, 40.0f);
  EXPECT_EQ(Player.maxEnergy, 2500);
  EXPECT_EQ(Player.maxHp, 85);
  ASSERT_GE(Weapons.items.size(), 5u);
  EXPECT_EQ(Weapons.items[0], "Current Payload is:");
  const int ids[] = {15, 4, 2, 3};
  for (int slot = 0; slot < 4; ++slot) EXPECT_EQ(Weapons.items[1 + slot], WeaponName(ids[slot]));
}

TEST_F(MenuTreeTest, RespawnLineRequestsRespawn) {
  CreateMenus(0);
  Click("Respawn");
  EXPECT_TRUE(Player.respawnRequested);
}

}  // namespace
