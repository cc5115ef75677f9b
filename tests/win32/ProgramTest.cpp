// The real kelvaro.exe under Wine, driven from outside as a user's other
// programs would: this test sets clipboard text, finds the program's window
// by its class, posts it messages, watches the clipboard and collects the
// exit code. Wipes are seen through the clipboard's sequence number, so that
// watching never holds the clipboard open against the program's own writes.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>

#include "core/ClipboardText.h"

namespace {

const ClipboardApi& api = Win32ClipboardApi();
constexpr UINT CommandAbout = 5;
constexpr UINT CommandClearNow = 6;
constexpr UINT CommandExit = 7;
constexpr UINT TrayNotify = 12501;
constexpr double CycleSeconds = 0.9;

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Handles this thread's messages (its own window needs them) while waiting.
void PumpFor(DWORD milliseconds) {
  const double end = Now() + milliseconds / 1000.0;
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  } while (Now() < end);
}

bool WaitUntil(const std::function<bool()>& condition, double seconds) {
  const double end = Now() + seconds;
  while (!condition()) {
    if (Now() > end) return false;
    PumpFor(5);
  }
  return true;
}

std::wstring BesideThisProgram(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L'\\') + 1) + name;
}

// A window of the test's own, shown and active for as long as it lives, so
// that the program does not take the session for locked.
class ActiveWindow {
 public:
  ActiveWindow() {
    window_ = CreateWindowExW(0, L"STATIC", L"test window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 200, 100,
                              nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(window_);
    WaitUntil([this] { return GetForegroundWindow() == window_; }, 10);
  }
  ~ActiveWindow() { DestroyWindow(window_); }
  bool IsForeground() const { return GetForegroundWindow() == window_; }
  void Activate() {
    SetForegroundWindow(window_);
    WaitUntil([this] { return IsForeground(); }, 10);
  }

 private:
  HWND window_;
};

class Program : public testing::Test {
 protected:
  void TearDown() override {
    if (process_.hProcess == nullptr) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      if (HWND window = ProgramWindow()) PostMessageW(window, WM_COMMAND, CommandExit, 0);
      if (WaitForSingleObject(process_.hProcess, 10000) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 9);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }

  static PROCESS_INFORMATION Launch(const std::wstring& arguments) {
    const std::wstring program = BesideThisProgram(L"kelvaro.exe");
    std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    EXPECT_TRUE(CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    return process;
  }

  // Starts the program and waits until it idles in its message loop, which
  // it reaches only after registering as a clipboard listener.
  void Start(const std::wstring& arguments) {
    process_ = Launch(arguments);
    ASSERT_NE(process_.hProcess, nullptr);
    ASSERT_EQ(WaitForInputIdle(process_.hProcess, 30000), 0u) << "the program never reached its loop";
    ASSERT_TRUE(WaitUntil([this] { return ProgramWindow() != nullptr; }, 10));
  }

  HWND ProgramWindow() const {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, L"WindowClass_0", nullptr));) {
      DWORD owner = 0;
      GetWindowThreadProcessId(window, &owner);
      if (owner == process_.dwProcessId) return window;
    }
    return nullptr;
  }

  // The program's popup menu, while one is shown.
  HWND ShownMenu() const {
    for (HWND menu = nullptr; (menu = FindWindowExW(nullptr, menu, L"#32768", nullptr));) {
      DWORD owner = 0;
      GetWindowThreadProcessId(menu, &owner);
      if (owner == process_.dwProcessId && IsWindowVisible(menu)) return menu;
    }
    return nullptr;
  }

  static void PressKeys(std::initializer_list<WORD> keys) {
    for (WORD key : keys) {
      INPUT press[2] = {};
      press[0].type = INPUT_KEYBOARD;
      press[0].ki.wVk = key;
      press[1] = press[0];
      press[1].ki.dwFlags = KEYEVENTF_KEYUP;
      SendInput(2, press, sizeof(INPUT));
      PumpFor(100);
    }
  }

  bool Running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

  static bool ExitsWithin(HANDLE process, double seconds, DWORD* code) {
    if (WaitForSingleObject(process, static_cast<DWORD>(seconds * 1000)) != WAIT_OBJECT_0) return false;
    return GetExitCodeProcess(process, code) != FALSE;
  }

  // Puts text on the clipboard as another program would; answers the
  // clipboard's sequence number right after.
  static DWORD Copy(const char16_t* text) {
    EXPECT_NE(WriteClipboardText(api, text), nullptr);
    return GetClipboardSequenceNumber();
  }

  static bool ChangesWithin(DWORD sequence, double seconds) {
    return WaitUntil([sequence] { return GetClipboardSequenceNumber() != sequence; }, seconds);
  }

  // Waits until the clipboard has not changed for a while, then reads it.
  static Text SettledText() {
    DWORD sequence = GetClipboardSequenceNumber();
    for (int i = 0; i < 100; ++i) {
      PumpFor(300);
      const DWORD now = GetClipboardSequenceNumber();
      if (now == sequence) break;
      sequence = now;
    }
    return ReadClipboardText(api);
  }

  // After a wipe by the worker the clipboard holds empty text, or, when the
  // program's own read of the first write fell between the two writes, the
  // run of spaces (that read then arms one more wipe, by design).
  static bool SecretGone() {
    const Text text = SettledText();
    return text.find_first_not_of(u' ') == Text::npos;
  }

  PROCESS_INFORMATION process_ = {};
};

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
  Start(L"1");
  Copy(u"secret");

  PROCESS_INFORMATION second = Launch(L"1");
  DWORD code = 1;
  EXPECT_TRUE(ExitsWithin(second.hProcess, 30, &code)) << "the second instance did not exit";
  EXPECT_EQ(code, 0u);
  CloseHandle(second.hThread);
  CloseHandle(second.hProcess);
  EXPECT_TRUE(SecretGone());
  PumpFor(3000);  // a wipe that the second start's spaces may have armed

  EXPECT_TRUE(Running());
  const DWORD copied = Copy(u"again");
  EXPECT_TRUE(ChangesWithin(copied, 2 * CycleSeconds + 10)) << "the first instance stopped wiping";
  EXPECT_TRUE(SecretGone());
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
  ASSERT_EQ(GetForegroundWindow(), nullptr) << "this test needs a session without an active window";
  Start(L"600");
  const DWORD copied = Copy(u"secret");
  EXPECT_TRUE(ChangesWithin(copied, 3 * CycleSeconds + 5)) << "no lock wipe";

  // Each wipe is two writes; over four seconds several cycles wipe.
  const DWORD from = GetClipboardSequenceNumber();
  PumpFor(4000);
  EXPECT_GE(GetClipboardSequenceNumber() - from, 4u);
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
