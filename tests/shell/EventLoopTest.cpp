// The event queue, WaitEvent and MainLoop against a scripted message source:
// each scripted message may queue events while it is "dispatched", as the
// window procedures do.

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "shell/EventLoop.h"

namespace {

constexpr int32_t NullMessage = 0;      // WM_NULL
constexpr int32_t MouseMove = 0x0200;   // any message that makes no event
constexpr int32_t TrayNotify = 12501;

struct ScriptedMessage {
  int32_t number;
  std::vector<Event> queued;  // events its dispatch appends
};

std::deque<ScriptedMessage> script;
std::vector<std::string> actions;
bool endLoopWhenExhausted = true;

int32_t DispatchScripted() {
  if (script.empty()) {
    if (!endLoopWhenExhausted) return -1;
    // Nothing more scripted: end the loop so that a test cannot hang.
    actions.push_back("script exhausted");
    QueueEvent(MenuEvent, MenuExit, AboutWindowNumber, 0);
    return -1;
  }
  const ScriptedMessage message = script.front();
  script.pop_front();
  for (const Event& e : message.queued) QueueEvent(e.kind, e.object, e.window, e.detail);
  return message.number;
}

void Wipe() { actions.push_back("wipe"); }
void Menu() { actions.push_back("menu"); }
void Show() { actions.push_back("show about"); }
void Hide() { actions.push_back("hide about"); }
void Homepage() { actions.push_back("homepage"); }

const Event leftDown = {TrayEvent, TrayIconId, AboutWindowNumber, LeftDown};
const Event rightDown = {TrayEvent, TrayIconId, AboutWindowNumber, RightDown};
const Event leftDouble = {TrayEvent, TrayIconId, AboutWindowNumber, LeftDoubleClick};
const Event rightDouble = {TrayEvent, TrayIconId, AboutWindowNumber, RightDoubleClick};
const Event about = {MenuEvent, MenuAbout, AboutWindowNumber, 0};
const Event clearNow = {MenuEvent, MenuClearNow, AboutWindowNumber, 0};
const Event exitChoice = {MenuEvent, MenuExit, AboutWindowNumber, 0};
const Event otherMenu = {MenuEvent, 64001, AboutWindowNumber, 0};
const Event close = {CloseEvent, 0, AboutWindowNumber, 0};
const Event linkClick = {ControlEvent, HomepageLink, AboutWindowNumber, 0};
const Event labelClick = {ControlEvent, TitleLabel, AboutWindowNumber, 0};

class Loop : public testing::Test {
 protected:
  void SetUp() override {
    loopActions = {DispatchScripted, Wipe, Menu, Show, Hide, Homepage};
    // Drain whatever an earlier test left waiting.
    script.clear();
    endLoopWhenExhausted = false;
    while (WaitEvent() != -1) {
    }
    endLoopWhenExhausted = true;
    actions.clear();
  }
  static std::vector<int32_t> Items(int count) {
    std::vector<int32_t> items;
    for (int i = 0; i < count; ++i) items.push_back(WaitEvent());
    return items;
  }
};

TEST_F(Loop, EventsComeBeforeMessagesAndAfterTheMessageThatMadeThem) {
  QueueEvent(close.kind, close.object, close.window, close.detail);
  script = {{MouseMove, {}}, {TrayNotify, {leftDown}}, {NullMessage, {}}};
  EXPECT_EQ(Items(4), (std::vector<int32_t>{CloseEvent, MouseMove, TrayNotify, TrayEvent}));
  EXPECT_EQ(currentEvent.detail, LeftDown);
  EXPECT_EQ(WaitEvent(), NullMessage);
}

TEST_F(Loop, ARepeatOfTheNewestWaitingEventIsDropped) {
  struct Row {
    const char* name;
    std::vector<Event> queued;
    std::vector<int32_t> details;  // the TrayEvent details that come out, in order
  };
  const Row rows[] = {
      {"equal to the newest: dropped", {leftDown, leftDown}, {LeftDown}},
      {"different detail: kept", {leftDown, rightDown}, {LeftDown, RightDown}},
      {"equal only to an older one: kept", {leftDown, rightDown, leftDown}, {LeftDown, RightDown, LeftDown}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    script = {{TrayNotify, row.queued}};
    EXPECT_EQ(WaitEvent(), TrayNotify);
    std::vector<int32_t> details;
    for (size_t i = 0; i < row.details.size(); ++i) {
      EXPECT_EQ(WaitEvent(), TrayEvent);
      details.push_back(currentEvent.detail);
    }
    EXPECT_EQ(details, row.details);
    script = {{NullMessage, {}}};
    EXPECT_EQ(WaitEvent(), NullMessage) << "more events were waiting";
  }
}

TEST_F(Loop, AnEventEqualToOneAlreadyTakenIsAccepted) {
  script = {{TrayNotify, {leftDown}}, {TrayNotify, {leftDown}}, {NullMessage, {}}};
  EXPECT_EQ(Items(5), (std::vector<int32_t>{TrayNotify, TrayEvent, TrayNotify, TrayEvent, NullMessage}));
}

TEST_F(Loop, ActsOnEachEventAndLeavesOnlyOnExit) {
  struct Row {
    const char* name;
    std::vector<ScriptedMessage> messages;
    std::vector<std::string> actions;
  };
  const Row rows[] = {
      {"left press wipes", {{TrayNotify, {leftDown}}}, {"wipe"}},
      {"left double click after its press wipes once",
       {{TrayNotify, {leftDown}}, {NullMessage, {}}, {TrayNotify, {leftDouble}}},
       {"wipe"}},
      {"right double click does nothing", {{TrayNotify, {rightDouble}}}, {}},
      {"right press opens the menu after one more item",
       {{TrayNotify, {rightDown}}, {NullMessage, {}}, {TrayNotify, {}}},
       {"menu"}},
      {"an event waiting at the right press is consumed",
       {{TrayNotify, {rightDown, about}}},
       {"menu"}},
      {"Clear now wipes", {{0x0111, {clearNow}}}, {"wipe"}},
      {"About shows the window", {{0x0111, {about}}}, {"show about"}},
      {"another menu identifier does nothing", {{0x0111, {otherMenu}}}, {}},
      {"close hides the window", {{0x0010, {close}}}, {"hide about"}},
      {"the link opens the homepage", {{0x0202, {linkClick}}}, {"homepage"}},
      {"a label does nothing", {{0x0202, {labelClick}}}, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    actions.clear();
    script.assign(row.messages.begin(), row.messages.end());
    script.push_back({0x0111, {exitChoice}});
    MainLoop();
    EXPECT_EQ(actions, row.actions);
    EXPECT_TRUE(script.empty()) << "the loop left before Exit";
  }
}

TEST_F(Loop, KeepsGoingThroughEveryOtherItem) {
  for (int i = 0; i < 50; ++i) {
    script.push_back({MouseMove, {}});
    script.push_back({0x0010, {close}});
    script.push_back({TrayNotify, {leftDouble}});
  }
  script.push_back({0x0111, {exitChoice}});
  MainLoop();
  EXPECT_TRUE(script.empty());
  EXPECT_EQ(actions, std::vector<std::string>(50, "hide about"));
}

}  // namespace
