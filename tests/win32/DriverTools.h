#pragma once
// Tools for driving the real kelvaro.exe from outside, as a user's other
// programs would: start it, find its window by class, post it messages, put
// text on the clipboard and watch the clipboard's sequence number, which
// never holds the clipboard open against the program's own writes.

#include <windows.h>

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

// Starts a program that stands beside this one; the process is null on failure.
inline PROCESS_INFORMATION LaunchBeside(const wchar_t* name, const std::wstring& arguments) {
  const std::wstring program = BesideThisProgram(name);
  std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
  return process;
}

// The top-level window of a class that belongs to a process.
inline HWND WindowOfProcess(const wchar_t* className, DWORD processId) {
  for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, className, nullptr));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId) return window;
  }
  return nullptr;
}

// Puts text on the clipboard as another program would; answers the
// clipboard's sequence number right after.
inline DWORD CopyText(const char16_t* text) {
  WriteClipboardText(api, text);
  return GetClipboardSequenceNumber();
}

// Puts a raw block in one format on the clipboard, replacing everything, as
// another program might; answers whether the clipboard took it.
inline bool PutRawBlock(UINT format, const void* bytes, size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  if (block != nullptr && size != 0) {
    memcpy(GlobalLock(block), bytes, size);
    GlobalUnlock(block);
  }
  if (!OpenClipboard(nullptr)) {
    if (block != nullptr) GlobalFree(block);
    return false;
  }
  EmptyClipboard();
  const bool taken = SetClipboardData(format, block) != nullptr;
  CloseClipboard();
  if (!taken && block != nullptr) GlobalFree(block);
  return taken;
}

// Another process that opens the clipboard for a window of its own and keeps
// it open until released (or until this object goes).
class HeldClipboard {
 public:
  HeldClipboard() {
    ready_ = CreateEventW(nullptr, TRUE, FALSE, L"KelvaroTestHolderReady");
    release_ = CreateEventW(nullptr, TRUE, FALSE, L"KelvaroTestHolderRelease");
    holder_ = LaunchBeside(L"clipboard_holder.exe", L"KelvaroTestHolderReady KelvaroTestHolderRelease");
    held_ = holder_.hProcess != nullptr && WaitForSingleObject(ready_, 30000) == WAIT_OBJECT_0;
  }
  ~HeldClipboard() {
    Release();
    CloseHandle(ready_);
    CloseHandle(release_);
  }
  bool Held() const { return held_; }
  // Lets the clipboard go; answers the holder's exit code.
  DWORD Release() {
    if (holder_.hProcess == nullptr) return exitCode_;
    SetEvent(release_);
    if (WaitForSingleObject(holder_.hProcess, 30000) == WAIT_TIMEOUT) TerminateProcess(holder_.hProcess, 9);
    GetExitCodeProcess(holder_.hProcess, &exitCode_);
    CloseHandle(holder_.hThread);
    CloseHandle(holder_.hProcess);
    holder_ = {};
    return exitCode_;
  }

 private:
  HANDLE ready_ = nullptr;
  HANDLE release_ = nullptr;
  PROCESS_INFORMATION holder_ = {};
  bool held_ = false;
  DWORD exitCode_ = 1;
};

}  // namespace driver
