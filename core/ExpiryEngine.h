#pragma once
// The expiry engine: new clipboard text arms a countdown, the worker thread
// counts it down in cycles of about 0.9 s and wipes the clipboard when it runs
// out, and it also wipes whenever the session looks locked. The engine reaches
// the platform only through engineOps. Two threads use it without any lock:
// they share expirySeconds, the two icons (written before the worker starts)
// and armRequest (single atomic loads and stores).

#include <atomic>
#include <cstdint>

#include "core/Text.h"

using IconHandle = void*;

#if defined(_WIN32)
#define KELVARO_THREAD_ENTRY __stdcall
#else
#define KELVARO_THREAD_ENTRY
#endif

// The platform operations the engine needs, and nothing else.
struct EngineOps {
  Text (*readClipboardText)();
  void* (*writeClipboardText)(const char16_t* text);  // result ignored by the engine
  uintptr_t (*getForegroundWindow)();                 // 0 when no window is in front
  void (*sleep)(uint32_t milliseconds);
  void (*timeBeginPeriod)(uint32_t milliseconds);
  int (*setTrayIcon)(IconHandle icon);  // does nothing for a null icon
};

extern EngineOps engineOps;
extern int32_t expirySeconds;
extern std::atomic<int32_t> armRequest;
extern IconHandle idleIcon;
extern IconHandle armedIcon;

constexpr uint32_t ClipboardUpdateMessage = 0x031D;  // WM_CLIPBOARDUPDATE
constexpr intptr_t HookContinue = static_cast<intptr_t>(uintptr_t{0xE0E0E0E1});

constexpr int SecureWipeSpaces = 2142;
constexpr int StartupWipeSpaces = 512;
constexpr uint32_t WorkerPauseMs = 400;
constexpr uint32_t LockSampleMs = 250;

// 512 spaces, then the empty text. Run once at start-up; changes no icon.
void StartupWipe();

// 2142 spaces, then the empty text (the second write runs whatever the first
// gave). Answers whether the clipboard was overwritten, that is whether either
// write was accepted; only then does the icon turn idle, so that a wipe that
// could not write never looks done. Leaves armRequest and any running
// countdown alone.
bool SecureWipe();

// The message hook: for WM_CLIPBOARDUPDATE with non-empty text on the
// clipboard it raises armRequest and shows the armed icon. Never consumes a
// message: answers HookContinue for every one.
intptr_t ClipboardUpdateHandler(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Two foreground samples 250 ms apart; locked when both found no window.
bool SessionLockProbe();

// What the worker keeps between its cycles.
struct WorkerState {
  int32_t countdown = 0;         // cycles left before the timed wipe; negative: none due
  bool countdownLoaded = false;  // false until the first request is taken
  bool timerRaised = false;      // timeBeginPeriod(1) has been called
};

// One cycle: take a request, count (and wipe at 0), pause 400 ms, probe. A
// timed wipe that could not write stays due and is tried in the next cycle.
void RunWorkerCycle(WorkerState& state);

// The worker thread's body: cycles for as long as the process lives.
unsigned long KELVARO_THREAD_ENTRY ExpiryWorker(void* parameter);

#ifdef _WIN32
// The operations filled with the real Windows calls and the shell's tray icon.
EngineOps Win32EngineOps(int (*setTrayIcon)(IconHandle icon));
#endif
