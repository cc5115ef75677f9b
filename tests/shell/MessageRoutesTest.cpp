// Tray notifications and window commands turned into events.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/EventLoop.h"
#include "shell/MessageRoutes.h"

namespace {

int postedNulls = 0;
void CountNull(void*) { ++postedNulls; }

std::vector<std::string> focusMoves;
void RecordFocus(bool backwards) { focusMoves.push_back(backwards ? "previous" : "next"); }

int32_t NoMessage() { return -1; }

// Takes every waiting event out of the queue.
std::vector<Event> TakeEvents() {
  loopActions.dispatchOneMessage = NoMessage;
  std::vector<Event> events;
  while (WaitEvent() != -1) events.push_back(currentEvent);
  return events;
}

TEST(TrayNotification, FourClickKindsMakeEventsAndEveryNotificationPostsANull) {
  struct Row {
    const char* name;
    intptr_t mouseMessage;
    int32_t detail;  // -1: no event
  };
  const Row rows[] = {
      {"left press", 0x0201, LeftDown},
      {"left double click", 0x0203, LeftDoubleClick},
      {"right press", 0x0204, RightDown},
      {"right double click", 0x0206, RightDoubleClick},
      {"mouse move", 0x0200, -1},
      {"left release", 0x0202, -1},
      {"right release", 0x0205, -1},
      {"middle press", 0x0207, -1},
      {"middle double click", 0x0209, -1},
      {"balloon shown", 0x0402, -1},
  };
  TakeEvents();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    postedNulls = 0;
    EXPECT_EQ(RouteTrayNotification(nullptr, TrayIconId, row.mouseMessage, CountNull), 0);
    EXPECT_EQ(postedNulls, 1);
    const std::vector<Event> events = TakeEvents();
    if (row.detail < 0) {
      EXPECT_TRUE(events.empty());
    } else {
      ASSERT_EQ(events.size(), 1u);
      EXPECT_EQ(events[0].kind, TrayEvent);
      EXPECT_EQ(events[0].object, TrayIconId);
      EXPECT_EQ(events[0].window, AboutWindowNumber);
      EXPECT_EQ(events[0].detail, row.detail);
    }
  }
}

TEST(Command, MenuChoicesBecomeEventsAndTabMovesTheFocus) {
  struct Row {
    const char* name;
    uintptr_t wParam;
    intptr_t lParam;
    bool handled;
    int32_t menuObject;  // -1: no event
    std::vector<std::string> focus;
  };
  const Row rows[] = {
      {"About", 5, 0, true, 5, {}},
      {"Clear now", 6, 0, true, 6, {}},
      {"Exit", 7, 0, true, 7, {}},
      {"unknown item", 99, 0, true, 99, {}},
      {"64001 without a high word is a menu identifier", 64001, 0, true, 64001, {}},
      {"Tab accelerator", (1u << 16) | 64001, 0, true, -1, {"next"}},
      {"Shift+Tab accelerator", (1u << 16) | 64002, 0, true, -1, {"previous"}},
      {"other accelerator: its low word", (1u << 16) | 6, 0, true, 6, {}},
      {"from a control", 5, 0x1234, false, -1, {}},
  };
  TakeEvents();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    focusMoves.clear();
    EXPECT_EQ(RouteCommand(row.wParam, row.lParam, RecordFocus), row.handled);
    const std::vector<Event> events = TakeEvents();
    if (row.menuObject < 0) {
      EXPECT_TRUE(events.empty());
    } else {
      ASSERT_EQ(events.size(), 1u);
      EXPECT_EQ(events[0].kind, MenuEvent);
      EXPECT_EQ(events[0].object, row.menuObject);
      EXPECT_EQ(events[0].detail, 0);
    }
    EXPECT_EQ(focusMoves, row.focus);
  }
}

TEST(Tooltip, CutAt63UnitsAndAlwaysTerminated) {
  struct Row {
    std::u16string text;
    std::u16string shown;
  };
  const Row rows[] = {
      {u"Kelvaro", u"Kelvaro"},
      {u"", u""},
      {std::u16string(63, u'a'), std::u16string(63, u'a')},
      {std::u16string(64, u'b'), std::u16string(63, u'b')},
      {std::u16string(300, u'c'), std::u16string(63, u'c')},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text.size());
    char16_t field[128];
    std::fill(std::begin(field), std::end(field), u'x');
    CopyTooltip(row.text.c_str(), field, 128);
    EXPECT_EQ(std::u16string(field), row.shown);
    for (size_t i = row.shown.size(); i < 128; ++i) EXPECT_EQ(field[i], 0) << "unit " << i;
  }
}

}  // namespace
