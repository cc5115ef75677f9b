// The real kelvaro.exe under Wine: start-up, wiping, instances, the menu's
// commands, the tray icon's presses and the OS gate.

#include "tests/win32/ProgramDriver.h"

namespace {

using namespace driver;

TEST_F(Program, StartWipesTextCopiedBefore) {
  ActiveWindow active;
  Copy(u"copied before the start");
  Start(L"20");
  EXPECT_EQ(SettledText(), u"");
  EXPECT_TRUE(Running());
}

class Delay : public Program, public testing::WithParamInterface<int> {};

TEST_P(Delay, CopyIsWipedAfterItsDelayAndNotBefore) {
  const int delay = GetParam();
  ActiveWindow active;
  Start(std::to_wstring(delay));
  PumpFor(500);

  const DWORD copied = Copy(u"password");
  const double copiedAt = Now();
  ASSERT_TRUE(ChangesWithin(copied, (delay + 1) * CycleSeconds + 10)) << "never wiped";
  const double elapsed = Now() - copiedAt;

  // Not before the delay: with a window active, no lock wipe comes first.
  EXPECT_GE(elapsed, delay * CycleSeconds);
  EXPECT_LE(elapsed, (delay + 1) * CycleSeconds + 5) << "far later than the delay";
  EXPECT_TRUE(active.IsForeground());
  EXPECT_TRUE(SecretGone());
  EXPECT_TRUE(Running());
}

INSTANTIATE_TEST_SUITE_P(Program, Delay, testing::Values(1, 2, 3));

TEST_F(Program, SecondStartWipesAndExitsWhileTheFirstKeepsWorking) {
  ActiveWindow active;
  Start(L"600");  // the first instance wipes nothing on its own meanwhile
  Copy(u"secret");

  PROCESS_INFORMATION second = Launch(L"600");
  DWORD code = 1;
  const bool exited = ExitsWithin(second.hProcess, 30, &code);
  if (!exited) TerminateProcess(second.hProcess, 9);
  CloseHandle(second.hThread);
  CloseHandle(second.hProcess);
  EXPECT_TRUE(exited) << "the second instance did not exit";
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(SecretGone()) << "the second start did not wipe";

  EXPECT_TRUE(Running());
  const DWORD copied = Copy(u"again");
  PostMessageW(ProgramWindow(), WM_COMMAND, CommandClearNow, 0);
  EXPECT_TRUE(ChangesWithin(copied, 10)) << "the first instance stopped working";
  EXPECT_EQ(SettledText(), u"");
}

TEST_F(Program, OfTwoStartsAtOnceOnlyOneRuns) {
  ActiveWindow active;
  PROCESS_INFORMATION first = Launch(L"600");
  PROCESS_INFORMATION second = Launch(L"600");
  const HANDLE both[2] = {first.hProcess, second.hProcess};
  // One of them leaves at once, with code 0; the other runs on.
  const DWORD which = WaitForMultipleObjects(2, both, FALSE, 30000);
  ASSERT_LT(which - WAIT_OBJECT_0, 2u) << "neither start left";
  const HANDLE left = both[which - WAIT_OBJECT_0];
  const HANDLE stays = both[1 - (which - WAIT_OBJECT_0)];
  DWORD code = 1;
  GetExitCodeProcess(left, &code);
  EXPECT_EQ(code, 0u);
  PumpFor(2000);
  EXPECT_EQ(WaitForSingleObject(stays, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "both left";

  // The fixture ends the one that stays.
  process_ = which == WAIT_OBJECT_0 ? second : first;
  const PROCESS_INFORMATION& other = which == WAIT_OBJECT_0 ? first : second;
  CloseHandle(other.hThread);
  CloseHandle(other.hProcess);
}

TEST_F(Program, MenuCommandsClearShowAndExit) {
  ActiveWindow active;
  Start(L"20");
  const HWND window = ProgramWindow();
  EXPECT_FALSE(IsWindowVisible(window));

  const DWORD copied = Copy(u"secret");
  PostMessageW(window, WM_COMMAND, CommandClearNow, 0);
  EXPECT_TRUE(ChangesWithin(copied, 10)) << "Clear now did not wipe";
  EXPECT_EQ(SettledText(), u"");

  PostMessageW(window, WM_COMMAND, CommandAbout, 0);
  EXPECT_TRUE(WaitUntil([window] { return IsWindowVisible(window) != FALSE; }, 10)) << "About did not show";

  PostMessageW(window, WM_COMMAND, CommandExit, 0);
  DWORD code = 1;
  EXPECT_TRUE(ExitsWithin(process_.hProcess, 30, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(Program, CloseHidesTheWindowAndTheProgramRunsOn) {
  ActiveWindow active;
  Start(L"1");
  const HWND window = ProgramWindow();
  PostMessageW(window, WM_COMMAND, CommandAbout, 0);
  ASSERT_TRUE(WaitUntil([window] { return IsWindowVisible(window) != FALSE; }, 10));

  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitUntil([window] { return IsWindowVisible(window) == FALSE; }, 10)) << "close did not hide";
  EXPECT_TRUE(IsWindow(window));
  EXPECT_TRUE(Running());

  // Still watching the clipboard.
  const DWORD copied = Copy(u"secret");
  EXPECT_TRUE(ChangesWithin(copied, 2 * CycleSeconds + 10));
  EXPECT_TRUE(SecretGone());
}

TEST_F(Program, LeftPressOnTheTrayIconWipesAtOnceAndADoubleClickOnlyOnce) {
  ActiveWindow active;
  Start(L"600");
  const HWND window = ProgramWindow();

  DWORD copied = Copy(u"secret");
  PostMessageW(window, TrayNotify, 0, WM_LBUTTONDOWN);
  EXPECT_TRUE(ChangesWithin(copied, 10)) << "the press did not wipe";
  EXPECT_EQ(SettledText(), u"");
  // How far one wipe moves the sequence number (Wine counts several steps
  // per write).
  const DWORD oneWipe = GetClipboardSequenceNumber() - copied;
  ASSERT_GT(oneWipe, 0u);

  // Windows reports a double click as press, release, double click, release.
  copied = Copy(u"secret");
  for (LPARAM notification : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
    PostMessageW(window, TrayNotify, 0, notification);
  }
  EXPECT_EQ(SettledText(), u"");
  EXPECT_EQ(GetClipboardSequenceNumber() - copied, oneWipe) << "a double click wiped more than once";
  EXPECT_TRUE(Running());
}

TEST_F(Program, RightPressOpensTheMenuAndItsChoiceIsCarriedOut) {
  ActiveWindow active;
  Start(L"600");
  const HWND window = ProgramWindow();

  const DWORD copied = Copy(u"secret");
  PostMessageW(window, TrayNotify, 0, WM_RBUTTONDOWN);
  ASSERT_TRUE(WaitUntil([this] { return ShownMenu() != nullptr; }, 10)) << "no menu appeared";
  PressKeys({VK_DOWN, VK_DOWN, VK_RETURN});  // "About", "Clear now", choose
  EXPECT_TRUE(ChangesWithin(copied, 10)) << "Clear now from the menu did not wipe";
  EXPECT_TRUE(WaitUntil([this] { return ShownMenu() == nullptr; }, 10));
  EXPECT_EQ(SettledText(), u"");
  EXPECT_FALSE(IsWindowVisible(window));

  // Dismissing the menu changes nothing.
  active.Activate();
  const DWORD kept = Copy(u"kept");
  PostMessageW(window, TrayNotify, 0, WM_RBUTTONDOWN);
  ASSERT_TRUE(WaitUntil([this] { return ShownMenu() != nullptr; }, 10));
  PressKeys({VK_ESCAPE});
  EXPECT_TRUE(WaitUntil([this] { return ShownMenu() == nullptr; }, 10)) << "Escape did not close the menu";
  active.Activate();
  EXPECT_FALSE(ChangesWithin(kept, 2));
  EXPECT_EQ(ReadClipboardText(api), u"kept");
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_TRUE(Running());

  // "Exit" from the menu ends the program.
  PostMessageW(window, TrayNotify, 0, WM_RBUTTONDOWN);
  ASSERT_TRUE(WaitUntil([this] { return ShownMenu() != nullptr; }, 10));
  PressKeys({VK_UP, VK_RETURN});  // from no selection, Up reaches the last item
  DWORD code = 1;
  EXPECT_TRUE(ExitsWithin(process_.hProcess, 30, &code));
  EXPECT_EQ(code, 0u);
}

TEST_F(Program, WithNoActiveWindowEveryCycleWipes) {
  // A window of our own that is activated and then destroyed leaves the
  // session with no active window.
  { ActiveWindow passing; }
  ASSERT_TRUE(WaitUntil([] { return GetForegroundWindow() == nullptr; }, 10))
      << "this test needs a session without an active window";
  Start(L"600");
  const DWORD copied = Copy(u"secret");
  EXPECT_TRUE(ChangesWithin(copied, 3 * CycleSeconds + 5)) << "no lock wipe";

  // Count the wipes as bursts of clipboard changes, quiet in between: a cycle
  // lasts 0.9 s, so five seconds hold at least four of them.
  int bursts = 0;
  DWORD last = GetClipboardSequenceNumber();
  double lastChange = Now();
  const double end = Now() + 5;
  while (Now() < end) {
    PumpFor(20);
    const DWORD now = GetClipboardSequenceNumber();
    if (now != last) {
      if (Now() - lastChange > 0.3) ++bursts;
      last = now;
      lastChange = Now();
    }
  }
  EXPECT_GE(bursts, 4) << "the locked session was not wiped in every cycle";
}

TEST_F(Program, OnAnOldWindowsItExitsAndLeavesTheClipboardAlone) {
  // Wine reports the version set for a program under AppDefaults.
  const wchar_t* key = L"Software\\Wine\\AppDefaults\\kelvaro.exe";
  const wchar_t version[] = L"winxp";
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key, L"Version", REG_SZ, version, sizeof version), ERROR_SUCCESS);

  const DWORD copied = Copy(u"secret");
  PROCESS_INFORMATION old = Launch(L"");
  DWORD code = 1;
  const bool exited = ExitsWithin(old.hProcess, 30, &code);
  RegDeleteTreeW(HKEY_CURRENT_USER, key);
  if (!exited) {
    const HWND window = FindWindowW(L"WindowClass_0", nullptr);
    if (window != nullptr) PostMessageW(window, WM_COMMAND, CommandExit, 0);
    if (WaitForSingleObject(old.hProcess, 10000) == WAIT_TIMEOUT) TerminateProcess(old.hProcess, 9);
  }
  CloseHandle(old.hThread);
  CloseHandle(old.hProcess);

  EXPECT_TRUE(exited);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(GetClipboardSequenceNumber(), copied) << "the clipboard was touched";
  EXPECT_EQ(ReadClipboardText(api), u"secret");
}

}  // namespace
