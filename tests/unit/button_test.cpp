// Button hit test: the rectangle around the centre, border included.
#include "ui/button.h"

#include <gtest/gtest.h>

#include "platform/platform.h"

namespace {

TEST(ButtonTest, RectangleAroundTheCentreBorderIncluded) {
  Button b;
  b.InitMe(755, 125, 90, 35, nullptr);
  EXPECT_TRUE(b.Contains(755, 125));
  EXPECT_TRUE(b.Contains(710, 125));  // left edge
  EXPECT_TRUE(b.Contains(800, 125));  // right edge
  EXPECT_FALSE(b.Contains(709, 125));
  EXPECT_FALSE(b.Contains(801, 125));
  // Height 35: the half-height 17.5 keeps 108 and 142 outside.
  EXPECT_TRUE(b.Contains(755, 108 + 1));
  EXPECT_TRUE(b.Contains(755, 142));
  EXPECT_FALSE(b.Contains(755, 107));
  EXPECT_FALSE(b.Contains(755, 143));
}

TEST(ButtonTest, IsClickedFollowsTheCursorNotTheMouseButton) {
  Button b;
  b.InitMe(950, 29, 90, 35, nullptr);
  platform::StoreCursorPosition(905, 46);  // bottom-left corner
  EXPECT_TRUE(b.IsClicked());
  platform::StoreCursorPosition(904, 46);
  EXPECT_FALSE(b.IsClicked());
  platform::StoreCursorPosition(0, 0);
}

}  // namespace
