#include "core/ExpiryEngine.h"

EngineOps engineOps = {};
int32_t expirySeconds = 0;
std::atomic<int32_t> armRequest{0};
IconHandle idleIcon = nullptr;
IconHandle armedIcon = nullptr;

namespace {

// Both threads may wipe at once, so each run of spaces is the caller's own.
// Answers whether either write was accepted.
bool WriteSpacesThenEmpty(int spaces) {
  const Text run(static_cast<size_t>(spaces), u' ');
  const bool spacesWritten = engineOps.writeClipboardText(run.c_str()) != nullptr;
  const bool emptyWritten = engineOps.writeClipboardText(u"") != nullptr;
  return spacesWritten || emptyWritten;
}

}  // namespace

void StartupWipe() {
  WriteSpacesThenEmpty(StartupWipeSpaces);
}

bool SecureWipe() {
  if (!WriteSpacesThenEmpty(SecureWipeSpaces)) return false;
  engineOps.setTrayIcon(idleIcon);
  return true;
}

intptr_t ClipboardUpdateHandler(void* /*window*/, uint32_t message, uintptr_t /*wParam*/,
                                intptr_t /*lParam*/) {
  if (message != ClipboardUpdateMessage) return HookContinue;
  if (engineOps.readClipboardText().empty()) return HookContinue;
  armRequest.store(1);
  engineOps.setTrayIcon(armedIcon);
  return HookContinue;
}

bool SessionLockProbe() {
  // Two null samples, not a zero sum: two real windows whose handle values
  // happen to add up to zero are no locked session.
  engineOps.sleep(LockSampleMs);
  const bool firstEmpty = engineOps.getForegroundWindow() == 0;
  engineOps.sleep(LockSampleMs);
  const bool secondEmpty = engineOps.getForegroundWindow() == 0;
  return firstEmpty && secondEmpty;
}

void RunWorkerCycle(WorkerState& state) {
  // Test and reset are separate: a request raised between them merges with
  // this one, whose countdown has just been loaded.
  if (armRequest.load() != 0) {
    state.countdown = expirySeconds;
    state.countdownLoaded = true;
    armRequest.store(0);
  }

  if (state.countdownLoaded && state.countdown >= 0) {
    if (state.countdown > 0 || SecureWipe()) --state.countdown;
  }

  if (!state.timerRaised) {
    engineOps.timeBeginPeriod(1);
    state.timerRaised = true;
  }
  engineOps.sleep(WorkerPauseMs);

  if (SessionLockProbe()) SecureWipe();
}

unsigned long KELVARO_THREAD_ENTRY ExpiryWorker(void* /*parameter*/) {
  WorkerState state;
  for (;;) RunWorkerCycle(state);
}
