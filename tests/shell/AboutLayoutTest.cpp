// The About window's description, centring and font heights.

#include <gtest/gtest.h>

#include "shell/AboutLayout.h"

namespace {

TEST(AboutLayout, DescriptionNamesTheDelayInTwoLines) {
  EXPECT_EQ(DescriptionText(1), u"Securely clears clipboard text after 1 seconds,\r\nor upon locking the user session");
  EXPECT_EQ(DescriptionText(20), u"Securely clears clipboard text after 20 seconds,\r\nor upon locking the user session");
  EXPECT_EQ(DescriptionText(600),
            u"Securely clears clipboard text after 600 seconds,\r\nor upon locking the user session");
}

TEST(AboutLayout, CentringOnTheScreen) {
  struct Row {
    int size;
    int screen;
    int origin;
  };
  const Row rows[] = {
      {337, 1024, 343},   // smaller: halves rounded down
      {338, 1024, 343},
      {1024, 1024, 0},    // as large as the screen
      {1500, 1024, 0},    // larger: at the edge, never negative
      {0, 1024, 512},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.size);
    EXPECT_EQ(CentredOrigin(row.size, row.screen), row.origin);
  }
}

TEST(AboutLayout, FontHeightsFollowTheDisplayResolution) {
  struct Row {
    int points;
    int pixelsPerInch;
    int height;
  };
  const Row rows[] = {
      {16, 96, -21}, {8, 96, -11}, {16, 120, -27}, {8, 120, -13}, {16, 144, -32}, {8, 72, -8},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.points) + " pt at " + std::to_string(row.pixelsPerInch));
    EXPECT_EQ(FontHeight(row.points, row.pixelsPerInch), row.height);
  }
}

TEST(HomepageLink, HoverAreaIncludesTheRightAndBottomEdges) {
  struct Row {
    int x, y;
    bool parentEnabled;
    bool over;
  };
  // A link of 70 x 25: its client rectangle is (0, 0, 70, 25).
  const Row rows[] = {
      {0, 0, true, true},    {69, 24, true, true},  {70, 25, true, true},  // the band counts
      {71, 10, true, false}, {10, 26, true, false}, {-1, 10, true, false},
      {10, -1, true, false}, {10, 10, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.x) + "," + std::to_string(row.y));
    EXPECT_EQ(PointerStillOver(row.x, row.y, 70, 25, row.parentEnabled), row.over);
  }
}

TEST(HomepageLink, MessagePositionHalvesAreSigned) {
  EXPECT_EQ(MessagePosX(0x00C80064u), 100);
  EXPECT_EQ(MessagePosY(0x00C80064u), 200);
  EXPECT_EQ(MessagePosX(0x0005FFFEu), -2);  // left of a screen at the origin
  EXPECT_EQ(MessagePosY(0xFFF60005u), -10);
}

}  // namespace
