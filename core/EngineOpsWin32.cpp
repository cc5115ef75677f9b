#include <windows.h>

#include "core/ClipboardText.h"
#include "core/ExpiryEngine.h"

namespace {

Text ReadText() { return ReadClipboardText(Win32ClipboardApi()); }
void* WriteText(const char16_t* text) { return WriteClipboardText(Win32ClipboardApi(), text); }
uintptr_t ForegroundWindow() { return reinterpret_cast<uintptr_t>(GetForegroundWindow()); }
void SleepFor(uint32_t milliseconds) { Sleep(milliseconds); }
void RaiseTimerResolution(uint32_t milliseconds) { timeBeginPeriod(milliseconds); }

}  // namespace

EngineOps Win32EngineOps(int (*setTrayIcon)(IconHandle icon)) {
  return {ReadText, WriteText, ForegroundWindow, SleepFor, RaiseTimerResolution, setTrayIcon};
}
