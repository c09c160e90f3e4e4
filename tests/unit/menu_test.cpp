// Menu rows and hit areas, and the menu-tree records (no drawing).
#include "ui/menu.h"

#include <gtest/gtest.h>

#include <climits>

#include "app/gameobjects.h"

namespace {

Menu Items(int n) {
  Menu m;
  for (int i = 0; i < n; ++i) m.AddItem("item " + std::to_string(i));
  return m;
}

TEST(MenuTest, RowsMapToItemsWrappingWithScroll) {
  Menu m = Items(5);
  // 30 rows of a 5-item menu at (0, 96): row 7 shows item 2.
  EXPECT_EQ(m.ItemAt(10, 96 + 7 * 16 + 3, 0, 96, 36, 30, 0), 2);
  EXPECT_EQ(m.ItemAt(10, 96, 0, 96, 36, 30, 0), 0);
  EXPECT_EQ(m.ItemAt(10, 96 + 15, 0, 96, 36, 30, 0), 0);
  EXPECT_EQ(m.ItemAt(10, 96 + 16, 0, 96, 36, 30, 0), 1);
  // Scroll of either sign counts by its size.
  EXPECT_EQ(m.ItemAt(10, 96, 0, 96, 36, 30, 3), 3);
  EXPECT_EQ(m.ItemAt(10, 96, 0, 96, 36, 30, -3), 3);
  EXPECT_EQ(m.ItemAt(10, 96 + 16 * 4, 0, 96, 36, 30, 3), 2);
  EXPECT_GE(m.ItemAt(10, 96, 0, 96, 36, 30, INT_MIN), 0);
  // The bottom edge y + 16 * rows still hits: row `rows`, wrapped.
  EXPECT_EQ(m.ItemAt(10, 96 + 16 * 4, 0, 96, 36, 4, 0), 4 % 5);
  EXPECT_EQ(m.ItemAt(10, 96 + 16 * 4 + 1, 0, 96, 36, 4, 0), -1);
  EXPECT_EQ(m.ItemAt(10, 95, 0, 96, 36, 4, 0), -1);
}

TEST(MenuTest, HitWidthIsTheNarrowerOfTwelvePerCharPlus32AndSixteenPerChar) {
  Menu m = Items(3);
  const struct { int width, last; } cases[] = {{36, 464}, {18, 248}, {1, 16}};
  for (const auto& c : cases) {
    EXPECT_EQ(m.ItemAt(100 + c.last, 10, 100, 0, c.width, 3, 0), 0) << c.width;
    EXPECT_EQ(m.ItemAt(100 + c.last + 1, 10, 100, 0, c.width, 3, 0), -1) << c.width;
    EXPECT_EQ(m.ItemAt(100, 10, 100, 0, c.width, 3, 0), 0) << c.width;
    EXPECT_EQ(m.ItemAt(99, 10, 100, 0, c.width, 3, 0), -1) << c.width;
  }
}

TEST(MenuTest, EmptyMenuReportsNoClick) {
  Menu m;
  EXPECT_EQ(m.ItemAt(10, 10, 0, 0, 36, 5, 0), -1);
  EXPECT_EQ(m.ItemClicked(0, 0, 36, 5, 0), -1);
  m = Items(2);
  m.ResetMenu();
  EXPECT_TRUE(m.items.empty());
  EXPECT_EQ(m.ItemAt(10, 10, 0, 0, 36, 5, 0), -1);
}

TEST(MenuTest, MenuRecordsKeepTheirLinesAndDataTogether) {
  const auto saved = Menus;
  Menus.clear();
  AddMenuItem("orphan", 1, 2, 3, "nowhere");  // no page yet: ignored
  EXPECT_TRUE(Menus.empty());
  AddMenu(36, 12);
  AddMenuItem("Respawn", 0, 1, 0, "");
  AddMenuItem("Gauss", 500, 4, 7, "A fast gun");
  AddMenu(18, 4);
  AddMenuItem("Back", 0, 3, 0, "Go back");
  ASSERT_EQ(Menus.size(), 2u);
  const menus& first = Menus[0];
  EXPECT_EQ(first.width, 36);
  EXPECT_EQ(first.rows, 12);
  EXPECT_EQ(first.menu.items, (std::vector<std::string>{"Respawn", "Gauss"}));
  EXPECT_EQ(first.costs, (std::vector<int>{0, 500}));
  EXPECT_EQ(first.actions, (std::vector<int>{1, 4}));
  EXPECT_EQ(first.arguments, (std::vector<int>{0, 7}));
  EXPECT_EQ(first.helpLines, (std::vector<std::string>{"", "A fast gun"}));
  EXPECT_EQ(first.menu.textures, &Textures);
  EXPECT_EQ(Menus[1].menu.items.size(), 1u);
  Menus = saved;
}

}  // namespace
