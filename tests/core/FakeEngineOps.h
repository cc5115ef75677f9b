#pragma once
// Fakes of the engine's platform operations for single-threaded tests: a
// clipboard in memory, a scripted foreground window and a virtual clock that
// sleep advances. Every call is written down with the virtual time and the
// worker cycle in which it happened.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/ExpiryEngine.h"

namespace fake {

extern const IconHandle IdleIcon;
extern const IconHandle ArmedIcon;

struct Call {
  uint64_t atMs;
  int cycle;
  std::string what;  // "write:spaces2142", "write:empty", "icon:idle", "sleep:400", ...
};

struct Platform {
  uint64_t nowMs = 0;
  int cycle = -1;  // the worker cycle under way, -1 before the first

  Text clipboardText;               // what a read finds, while hasText
  bool hasText = false;
  bool hasOtherFormat = false;      // an image, files: anything but text
  bool heldElsewhere = false;       // another program keeps the clipboard open
  bool writesFail = false;

  // The foreground window for a sample taken at a virtual time.
  std::function<uintptr_t(uint64_t nowMs)> foreground = [](uint64_t) { return uintptr_t{0x10}; };

  std::vector<Call> calls;
};

extern Platform platform;

// Fresh fakes in engineOps, and the shared values at their start.
void Install(int32_t delay);

// The user copies something: the clipboard changes and the hook sees it.
void CopyText(const Text& text);
void CopyNonText();

// The calls whose name starts with a prefix ("write:", "icon:", ...).
std::vector<Call> CallsStartingWith(const std::string& prefix);

// Runs worker cycles, numbering them in the log.
void RunCycles(WorkerState& state, int count);

}  // namespace fake
