#pragma once
// A test fixture that drives the real kelvaro.exe: it starts the program,
// finds its window and always ends it again.

#include <gtest/gtest.h>

#include "tests/win32/DriverTools.h"

namespace driver {

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
    const PROCESS_INFORMATION process = LaunchBeside(L"kelvaro.exe", arguments);
    EXPECT_NE(process.hProcess, nullptr) << "kelvaro.exe did not start";
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

  HWND ProgramWindow() const { return WindowOfProcess(L"WindowClass_0", process_.dwProcessId); }

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
    const DWORD before = GetClipboardSequenceNumber();
    const DWORD after = CopyText(text);
    EXPECT_NE(after, before) << "the copy did not reach the clipboard";
    return after;
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

  // The same, waited for: for use while the program may still be busy with
  // clipboard notifications, whose reads can cross this process's own writes.
  static bool SecretGoneWithin(double seconds) {
    return WaitUntil(
        [] {
          PumpFor(300);
          return ReadClipboardText(api).find_first_not_of(u' ') == Text::npos;
        },
        seconds);
  }

  PROCESS_INFORMATION process_ = {};
};

}  // namespace driver
