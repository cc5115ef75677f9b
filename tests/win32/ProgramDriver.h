#pragma once
// Drives the real kelvaro.exe from outside, as a user's other programs would:
// sets clipboard text, finds the program's window by its class, posts it
// messages, watches the clipboard and collects the exit code. Wipes are seen
// through the clipboard's sequence number, so that watching never holds the
// clipboard open against the program's own writes.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>

#include "core/ClipboardText.h"

namespace driver {

inline const ClipboardApi& api = Win32ClipboardApi();
constexpr UINT CommandAbout = 5;
constexpr UINT CommandClearNow = 6;
constexpr UINT CommandExit = 7;
constexpr UINT TrayNotify = 12501;
constexpr double CycleSeconds = 0.9;

inline double Now() {
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
inline void PumpFor(DWORD milliseconds) {
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

inline bool WaitUntil(const std::function<bool()>& condition, double seconds) {
  const double end = Now() + seconds;
  while (!condition()) {
    if (Now() > end) return false;
    PumpFor(5);
  }
  return true;
}

inline std::wstring BesideThisProgram(const wchar_t* name) {
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

}  // namespace driver
