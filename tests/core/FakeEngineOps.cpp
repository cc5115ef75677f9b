#include "tests/core/FakeEngineOps.h"

namespace fake {

const IconHandle IdleIcon = reinterpret_cast<IconHandle>(uintptr_t{0x1D1E});
const IconHandle ArmedIcon = reinterpret_cast<IconHandle>(uintptr_t{0xA3ED});

Platform platform;

namespace {

void Record(std::string what) {
  platform.calls.push_back({platform.nowMs, platform.cycle, std::move(what)});
}

std::string Describe(const Text& text) {
  if (text.empty()) return "empty";
  if (text.find_first_not_of(u' ') == Text::npos) return "spaces" + std::to_string(text.size());
  return "text" + std::to_string(text.size());
}

Text Read() {
  Record("read");
  if (platform.heldElsewhere || !platform.hasText) return Text();
  return Text(UpToFirstNull(platform.clipboardText));
}

void* Write(const char16_t* text) {
  const Text written = text != nullptr ? Text(text) : Text();
  Record("write:" + Describe(written));
  if (platform.writesFail || platform.heldElsewhere) return nullptr;
  platform.clipboardText = written;
  platform.hasText = true;
  platform.hasOtherFormat = false;
  return &platform;
}

uintptr_t Foreground() {
  Record("foreground");
  return platform.foreground(platform.nowMs);
}

void Sleep(uint32_t milliseconds) {
  Record("sleep:" + std::to_string(milliseconds));
  platform.nowMs += milliseconds;
}

void TimeBeginPeriod(uint32_t milliseconds) {
  Record("period:" + std::to_string(milliseconds));
}

int SetTrayIcon(IconHandle icon) {
  if (icon == nullptr) return 0;
  Record(icon == IdleIcon ? "icon:idle" : icon == ArmedIcon ? "icon:armed" : "icon:other");
  return 1;
}

}  // namespace

void Install(int32_t delay) {
  platform = Platform();
  engineOps = {Read, Write, Foreground, Sleep, TimeBeginPeriod, SetTrayIcon};
  expirySeconds = delay;
  armRequest.store(0);
  idleIcon = IdleIcon;
  armedIcon = ArmedIcon;
}

void CopyText(const Text& text) {
  platform.clipboardText = text;
  platform.hasText = true;
  platform.hasOtherFormat = false;
  ClipboardUpdateHandler(nullptr, ClipboardUpdateMessage, 0, 0);
}

void CopyNonText() {
  platform.clipboardText.clear();
  platform.hasText = false;
  platform.hasOtherFormat = true;
  ClipboardUpdateHandler(nullptr, ClipboardUpdateMessage, 0, 0);
}

std::vector<Call> CallsStartingWith(const std::string& prefix) {
  std::vector<Call> found;
  for (const Call& call : platform.calls) {
    if (call.what.compare(0, prefix.size(), prefix) == 0) found.push_back(call);
  }
  return found;
}

void RunCycles(WorkerState& state, int count) {
  for (int i = 0; i < count; ++i) {
    ++platform.cycle;
    RunWorkerCycle(state);
  }
}

}  // namespace fake
