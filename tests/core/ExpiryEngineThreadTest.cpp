// The engine on two real threads, built with ThreadSanitizer: the worker
// cycles with sleeps that return at once and a session that looks locked, so
// it wipes every cycle, while the main thread raises requests and wipes too.
// Any data race between the two is reported and fails the run.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "core/ExpiryEngine.h"

namespace {

std::mutex clipboardMutex;  // the fake clipboard's own, standing in for the system's
Text clipboard;
std::atomic<int> spacesWrites{0};
std::atomic<int> emptyWrites{0};
std::atomic<int> otherWrites{0};
std::atomic<int> iconChanges{0};
std::atomic<int> workerCycles{0};

Text Read() {
  std::lock_guard<std::mutex> lock(clipboardMutex);
  return clipboard;
}

void* Write(const char16_t* text) {
  // The text is read here, outside the fake's lock, as the system would read
  // it while copying into a block: a run shared between threads would race.
  const Text copy(text);
  if (copy.size() == SecureWipeSpaces && copy.find_first_not_of(u' ') == Text::npos) {
    ++spacesWrites;
  } else if (copy.empty()) {
    ++emptyWrites;
  } else {
    ++otherWrites;
  }
  std::lock_guard<std::mutex> lock(clipboardMutex);
  clipboard = copy;
  return &clipboard;
}

uintptr_t NoForegroundWindow() { return 0; }
void ReturnAtOnce(uint32_t) { std::this_thread::yield(); }
void IgnorePeriod(uint32_t) {}
int CountIcon(IconHandle) {
  ++iconChanges;
  return 1;
}

TEST(EngineThreads, WorkerAndMainThreadWipeAtOnceWithoutRaces) {
  engineOps = {Read, Write, NoForegroundWindow, ReturnAtOnce, IgnorePeriod, CountIcon};
  expirySeconds = 1;
  idleIcon = reinterpret_cast<IconHandle>(uintptr_t{1});
  armedIcon = reinterpret_cast<IconHandle>(uintptr_t{2});

  std::atomic<bool> stop{false};
  std::thread worker([&stop] {
    WorkerState state;
    while (!stop.load()) {
      RunWorkerCycle(state);
      ++workerCycles;
    }
  });

  // `make soak` sets KELVARO_SOAK_SECONDS to run for that long instead.
  const char* soak = std::getenv("KELVARO_SOAK_SECONDS");
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(soak != nullptr ? std::atoi(soak) : 0);
  const auto goOn = [&] {
    return soak != nullptr ? std::chrono::steady_clock::now() < until : workerCycles.load() < 2000;
  };
  int mainWipes = 0;
  while (goOn()) {
    {
      std::lock_guard<std::mutex> lock(clipboardMutex);
      clipboard = u"copied secret";
    }
    ClipboardUpdateHandler(nullptr, ClipboardUpdateMessage, 0, 0);
    SecureWipe();
    ++mainWipes;
  }
  stop.store(true);
  worker.join();
  if (soak != nullptr) {
    std::printf("engine threads: %d worker cycles, %d main-thread wipes, %d runs of spaces written\n",
                workerCycles.load(), mainWipes, spacesWrites.load());
  }

  EXPECT_EQ(otherWrites.load(), 0);
  EXPECT_EQ(spacesWrites.load(), emptyWrites.load());
  // Every worker cycle wipes at least once (the session looks locked).
  EXPECT_GE(spacesWrites.load(), mainWipes + workerCycles.load());
  EXPECT_GT(iconChanges.load(), 0);
}

}  // namespace
