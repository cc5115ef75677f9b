// The engine in virtual time: fake clipboard, scripted foreground window and
// a clock that only sleep advances. A worker cycle sleeps 400 + 250 + 250 ms,
// so cycle k runs from 900k to 900(k+1) virtual milliseconds, and its two
// foreground samples are taken at 900k + 650 and 900k + 900.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/ExpiryEngine.h"
#include "tests/core/FakeEngineOps.h"

namespace {

constexpr uint64_t CycleMs = 900;
constexpr uintptr_t SomeWindow = 0x10;

using Foreground = std::function<uintptr_t(uint64_t nowMs)>;

uintptr_t WindowAlways(uint64_t) { return SomeWindow; }
uintptr_t NoWindowEver(uint64_t) { return 0; }
uintptr_t FirstSampleOfCycleEmpty(uint64_t nowMs) {
  return nowMs % CycleMs == 650 ? 0 : SomeWindow;
}
// Two real windows whose handle values wrap around to a sum of zero.
uintptr_t HandlesSummingToZero(uint64_t nowMs) {
  return nowMs % CycleMs == 650 ? uintptr_t{1} : ~uintptr_t{0};
}
Foreground NoWindowDuringCycle(int cycle) {
  return [cycle](uint64_t nowMs) {
    return nowMs > cycle * CycleMs && nowMs <= (cycle + 1) * CycleMs ? 0 : SomeWindow;
  };
}

enum class Action {
  CopyText,
  CopySpaces,
  CopyEmpty,
  CopyNonText,
  ClearNow,  // a wipe from the main thread: tray click or "Clear now"
  HoldClipboard,
  ReleaseClipboard,
  FailWrites,
  AcceptWrites,
};

struct Step {
  int beforeCycle;
  Action action;
};

struct CountdownCase {
  const char* name;
  int32_t delay;
  std::vector<Step> steps;
  int cycles;
  Foreground foreground;
  std::vector<int> wipeCycles;  // the cycle of every wipe, in order
  std::function<void()> alsoCheck;
};

void Apply(Action action) {
  switch (action) {
    case Action::CopyText: fake::CopyText(u"secret"); break;
    case Action::CopySpaces: fake::CopyText(u"   "); break;
    case Action::CopyEmpty: fake::CopyText(u""); break;
    case Action::CopyNonText: fake::CopyNonText(); break;
    case Action::ClearNow: SecureWipe(); break;
    case Action::HoldClipboard: fake::platform.heldElsewhere = true; break;
    case Action::ReleaseClipboard: fake::platform.heldElsewhere = false; break;
    case Action::FailWrites: fake::platform.writesFail = true; break;
    case Action::AcceptWrites: fake::platform.writesFail = false; break;
  }
}

std::vector<std::string> Names(const std::vector<fake::Call>& calls) {
  std::vector<std::string> names;
  for (const fake::Call& call : calls) names.push_back(call.what);
  return names;
}

std::string LastIcon() {
  const auto icons = fake::CallsStartingWith("icon:");
  return icons.empty() ? "none" : icons.back().what;
}

std::vector<int> WipeCycles() {
  std::vector<int> cycles;
  for (const fake::Call& call : fake::CallsStartingWith("write:spaces2142")) cycles.push_back(call.cycle);
  return cycles;
}

const CountdownCase countdownCases[] = {
    {"no timed wipe before the first copy", 1, {}, 6, WindowAlways, {}, nullptr},
    {"delay 1 wipes in the cycle after the taking one", 1, {{0, Action::CopyText}}, 6, WindowAlways, {1},
     [] { EXPECT_EQ(LastIcon(), "icon:idle"); }},
    {"delay 20 wipes 20 cycles after the taking one, and once", 20, {{0, Action::CopyText}}, 45,
     WindowAlways, {20}, nullptr},
    {"a second copy restarts the countdown", 20, {{0, Action::CopyText}, {10, Action::CopyText}}, 45,
     WindowAlways, {30}, nullptr},
    {"copies between two cycles make one request", 2,
     {{3, Action::CopyText}, {3, Action::CopyText}, {3, Action::CopyText}}, 12, WindowAlways, {5}, nullptr},
    {"text of spaces only arms", 2, {{0, Action::CopySpaces}}, 6, WindowAlways, {2}, nullptr},
    {"empty text arms nothing and leaves the icon", 2, {{0, Action::CopyEmpty}}, 6, WindowAlways, {},
     [] { EXPECT_EQ(LastIcon(), "none"); }},
    {"an item without text arms nothing and leaves the icon", 2, {{0, Action::CopyNonText}}, 6,
     WindowAlways, {}, [] { EXPECT_EQ(LastIcon(), "none"); }},
    {"a running countdown wipes an item without text too", 3,
     {{0, Action::CopyText}, {1, Action::CopyNonText}}, 6, WindowAlways, {3},
     [] {
       EXPECT_FALSE(fake::platform.hasOtherFormat);
       EXPECT_TRUE(fake::platform.hasText);
       EXPECT_EQ(fake::platform.clipboardText, u"");
     }},
    {"a copy seen while the clipboard is held elsewhere arms nothing", 2,
     {{0, Action::HoldClipboard}, {0, Action::CopyText}, {1, Action::ReleaseClipboard}}, 8, WindowAlways,
     {}, nullptr},
    {"a wipe from the main thread leaves the countdown running", 10,
     {{0, Action::CopyText}, {5, Action::ClearNow}}, 15, WindowAlways, {5, 10}, nullptr},
    {"a locked session wipes in every cycle", 20, {}, 4, NoWindowEver, {0, 1, 2, 3}, nullptr},
    {"one empty sample is no lock", 20, {}, 6, FirstSampleOfCycleEmpty, {}, nullptr},
    {"two windows whose handles add up to zero are no lock", 20, {}, 6, HandlesSummingToZero, {}, nullptr},
    {"countdown end and lock in one cycle wipe twice", 2, {{0, Action::CopyText}}, 5,
     NoWindowDuringCycle(2), {2, 2}, nullptr},
    {"a negative delay never wipes on time and keeps the armed icon", -5, {{0, Action::CopyText}}, 30,
     WindowAlways, {}, [] { EXPECT_EQ(LastIcon(), "icon:armed"); }},
    // A wipe that could not write must not look done: the icon stays armed and
    // the timed wipe is tried again in every cycle until a write goes through.
    {"a timed wipe whose writes fail keeps the armed icon and is retried", 1,
     {{0, Action::CopyText}, {1, Action::FailWrites}, {4, Action::AcceptWrites}}, 8, WindowAlways,
     {1, 2, 3, 4},
     [] {
       EXPECT_EQ(Names(fake::CallsStartingWith("icon:")), (std::vector<std::string>{"icon:armed", "icon:idle"}));
       EXPECT_EQ(fake::CallsStartingWith("icon:idle")[0].cycle, 4);
       EXPECT_EQ(fake::platform.clipboardText, u"");
     }},
    {"writes failing for good leave the text and the armed icon", 1,
     {{0, Action::CopyText}, {1, Action::FailWrites}}, 6, WindowAlways, {1, 2, 3, 4, 5},
     [] {
       EXPECT_EQ(LastIcon(), "icon:armed");
       EXPECT_EQ(fake::platform.clipboardText, u"secret");
     }},
};

void PrintTo(const CountdownCase& row, std::ostream* os) { *os << row.name; }

class Countdown : public testing::TestWithParam<CountdownCase> {};

TEST_P(Countdown, WipesInTheExpectedCycles) {
  const CountdownCase& row = GetParam();
  fake::Install(row.delay);
  fake::platform.foreground = row.foreground;

  WorkerState state;
  for (int cycle = 0; cycle < row.cycles; ++cycle) {
    fake::platform.cycle = cycle;
    for (const Step& step : row.steps) {
      if (step.beforeCycle == cycle) Apply(step.action);
    }
    RunWorkerCycle(state);
  }

  EXPECT_EQ(WipeCycles(), row.wipeCycles);
  // Every wipe writes the empty text right after its spaces.
  EXPECT_EQ(fake::CallsStartingWith("write:empty").size(), row.wipeCycles.size());
  if (row.alsoCheck) row.alsoCheck();
}

INSTANTIATE_TEST_SUITE_P(Engine, Countdown, testing::ValuesIn(countdownCases),
                         [](const testing::TestParamInfo<CountdownCase>& info) {
                           std::string name = info.param.name;
                           std::replace_if(name.begin(), name.end(),
                                           [](char c) { return !isalnum(static_cast<unsigned char>(c)); }, '_');
                           return name;
                         });

TEST(Wipes, SecureWipeWritesSpacesThenEmptyThenShowsIdle) {
  fake::Install(20);
  EXPECT_TRUE(SecureWipe());
  EXPECT_EQ(Names(fake::platform.calls),
            (std::vector<std::string>{"write:spaces2142", "write:empty", "icon:idle"}));
  EXPECT_EQ(armRequest.load(), 0);
}

TEST(Wipes, AWipeThatCannotWriteKeepsTheIcon) {
  fake::Install(20);
  fake::platform.writesFail = true;
  EXPECT_FALSE(SecureWipe());
  EXPECT_EQ(Names(fake::platform.calls), (std::vector<std::string>{"write:spaces2142", "write:empty"}));
}

TEST(Wipes, StartupWipeWritesShorterSpacesThenEmptyAndNoIcon) {
  fake::Install(20);
  StartupWipe();
  EXPECT_EQ(Names(fake::platform.calls), (std::vector<std::string>{"write:spaces512", "write:empty"}));
}

TEST(Wipes, WipeWithoutIdleIconChangesNoIcon) {
  fake::Install(20);
  idleIcon = nullptr;
  SecureWipe();
  EXPECT_EQ(Names(fake::platform.calls), (std::vector<std::string>{"write:spaces2142", "write:empty"}));
}

TEST(Hook, AnswersContinueForEveryMessageAndReadsOnlyOnClipboardUpdate) {
  struct Row {
    uint32_t message;
    bool textOnClipboard;
    int32_t armRequestAfter;
    std::vector<std::string> calls;
  };
  const Row rows[] = {
      {ClipboardUpdateMessage, true, 1, {"read", "icon:armed"}},
      {ClipboardUpdateMessage, false, 0, {"read"}},
      {0x0010 /* WM_CLOSE */, true, 0, {}},
      {0x0111 /* WM_COMMAND */, true, 0, {}},
      {0x30D5 /* tray notification */, true, 0, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.message);
    fake::Install(20);
    fake::platform.hasText = row.textOnClipboard;
    fake::platform.clipboardText = u"abc";
    EXPECT_EQ(ClipboardUpdateHandler(nullptr, row.message, 1, 2), HookContinue);
    EXPECT_EQ(armRequest.load(), row.armRequestAfter);
    EXPECT_EQ(Names(fake::platform.calls), row.calls);
  }
}

TEST(Hook, ArmsWithoutAnyIconWhenTheArmedIconIsMissing) {
  fake::Install(20);
  armedIcon = nullptr;
  fake::CopyText(u"abc");
  EXPECT_EQ(armRequest.load(), 1);
  EXPECT_EQ(LastIcon(), "none");
}

TEST(Worker, CycleSleeps400Then250Then250AndSamplesAfterEachShortSleep) {
  fake::Install(20);
  WorkerState state;
  fake::RunCycles(state, 2);
  EXPECT_EQ(Names(fake::platform.calls),
            (std::vector<std::string>{"period:1", "sleep:400", "sleep:250", "foreground", "sleep:250",
                                      "foreground", "sleep:400", "sleep:250", "foreground", "sleep:250",
                                      "foreground"}));
  EXPECT_EQ(fake::platform.nowMs, 2 * CycleMs);
}

TEST(Worker, RaisesTheTimerResolutionOnceBeforeTheFirstPause) {
  fake::Install(20);
  WorkerState state;
  fake::RunCycles(state, 5);
  const auto periods = fake::CallsStartingWith("period:");
  ASSERT_EQ(periods.size(), 1u);
  EXPECT_EQ(periods[0].what, "period:1");
  EXPECT_EQ(fake::platform.calls.front().what, "period:1");
}

TEST(Worker, DefaultDelayWipesAbout18SecondsAfterTheCopy) {
  fake::Install(20);
  WorkerState state;
  fake::platform.cycle = 0;
  fake::CopyText(u"password");
  fake::RunCycles(state, 1);  // takes the request
  fake::RunCycles(state, 25);
  const auto wipes = fake::CallsStartingWith("write:spaces2142");
  ASSERT_EQ(wipes.size(), 1u);
  EXPECT_EQ(wipes[0].atMs, 20 * CycleMs);  // 18.0 s of virtual time
}

TEST(Worker, TakesTheRequestAndClearsIt) {
  fake::Install(3);
  WorkerState state;
  fake::CopyText(u"x");
  ASSERT_EQ(armRequest.load(), 1);
  fake::RunCycles(state, 1);
  EXPECT_EQ(armRequest.load(), 0);
  EXPECT_TRUE(state.countdownLoaded);
  EXPECT_EQ(state.countdown, 2);  // loaded with 3, counted once
}

}  // namespace
