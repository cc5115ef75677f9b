// The Windows side of `make bench`: runs kelvaro.exe and the floor program
// and prints one line per measurement, "name value..." in plain words that
// scripts/bench.py turns into the table. Lines "mark <what> <program>" tell
// the script when to read the process's CPU time and memory from /proc.
//
//   bench_driver.exe [rest seconds] [storm copies]

#include <windows.h>

#include <psapi.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/win32/DriverTools.h"

using namespace driver;

namespace {

constexpr int StartupRuns = 5;
constexpr int TimingCopies = 3;
constexpr int ReadRuns = 5;

void Say(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Say(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::vprintf(format, arguments);
  va_end(arguments);
  std::printf("\n");
  std::fflush(stdout);
}

struct Running {
  PROCESS_INFORMATION process;
  HWND window;
};

// Starts a program and waits until it idles in its message loop (for
// kelvaro.exe: after it has registered as a clipboard listener).
Running Start(const wchar_t* name, const wchar_t* windowClass, const std::wstring& arguments, double* seconds) {
  const double begin = Now();
  Running running = {LaunchBeside(name, arguments), nullptr};
  if (running.process.hProcess == nullptr) return running;
  WaitForInputIdle(running.process.hProcess, 60000);
  if (seconds != nullptr) *seconds = Now() - begin;
  WaitUntil([&] { return (running.window = WindowOfProcess(windowClass, running.process.dwProcessId)) != nullptr; },
            30);
  return running;
}

void End(Running& running, bool isKelvaro) {
  if (running.process.hProcess == nullptr) return;
  if (running.window != nullptr) {
    PostMessageW(running.window, isKelvaro ? WM_COMMAND : WM_CLOSE, isKelvaro ? CommandExit : 0, 0);
  }
  if (WaitForSingleObject(running.process.hProcess, 20000) == WAIT_TIMEOUT) TerminateProcess(running.process.hProcess, 9);
  CloseHandle(running.process.hThread);
  CloseHandle(running.process.hProcess);
  running = {};
}

struct Subject {
  const wchar_t* file;
  const wchar_t* windowClass;
  const char* name;
  bool isKelvaro;
};

const Subject kelvaro = {L"kelvaro.exe", L"WindowClass_0", "kelvaro", true};
const Subject floorProgram = {L"floor.exe", L"KelvaroBenchFloor", "floor", false};

void MeasureStartup(const Subject& subject) {
  for (int run = 0; run < StartupRuns; ++run) {
    double seconds = 0;
    Running running = Start(subject.file, subject.windowClass, L"20", &seconds);
    Say("startup %s %.4f", subject.name, seconds);
    End(running, subject.isKelvaro);
    PumpFor(300);
  }
}

// The counters Windows keeps for another process (Wine may report zeros).
void SayCounters(const char* when, const Running& running) {
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(running.process.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  DWORD handles = 0;
  GetProcessHandleCount(running.process.hProcess, &handles);
  Say("counters %s private=%lu handles=%lu gdi=%lu user=%lu", when, static_cast<unsigned long>(memory.PrivateUsage),
      handles, GetGuiResources(running.process.hProcess, GR_GDIOBJECTS),
      GetGuiResources(running.process.hProcess, GR_USEROBJECTS));
}

void MeasureRest(const Subject& subject, DWORD restSeconds) {
  Running running = Start(subject.file, subject.windowClass, L"20", nullptr);
  PumpFor(2000);
  Say("mark rest-begin %s", subject.name);
  PumpFor(restSeconds * 1000);
  Say("mark rest-end %s", subject.name);
  End(running, subject.isKelvaro);
}

void MeasureStorm(int copies) {
  Running running = Start(kelvaro.file, kelvaro.windowClass, L"600", nullptr);
  PumpFor(2000);
  SayCounters("before", running);
  Say("mark storm-begin kelvaro");
  // Three rounds: growth that goes on round after round is a leak; growth in
  // the first round only is the heap's high-water mark.
  double seconds = 0;
  for (int round = 1; round <= 3; ++round) {
    const double begin = Now();
    for (int i = 0; i < copies; ++i) {
      const std::u16string text = u"storm text " + std::u16string(1, static_cast<char16_t>(u'a' + i % 26));
      WriteClipboardText(api, text.c_str());
      if (i % 50 == 0) PumpFor(0);
    }
    seconds = Now() - begin;
    PumpFor(5000);  // the program handles what is still queued
    Say("mark storm-round%d kelvaro", round);
  }
  Say("mark storm-end kelvaro");
  SayCounters("after", running);
  Say("storm copies=%d seconds=%.2f", copies, seconds);
  End(running, true);
}

void MeasureTiming(int delay) {
  Running running = Start(kelvaro.file, kelvaro.windowClass, std::to_wstring(delay), nullptr);
  PumpFor(1000);
  for (int copy = 0; copy < TimingCopies; ++copy) {
    const DWORD copied = CopyText(u"password");
    const double begin = Now();
    const bool wiped = WaitUntil([copied] { return GetClipboardSequenceNumber() != copied; }, (delay + 1) * 0.9 + 30);
    Say("timing %d %.4f%s", delay, Now() - begin, wiped ? "" : " never");
    // A wipe may re-arm once by design; let that pass before the next copy.
    PumpFor(static_cast<DWORD>((delay + 2) * 900));
  }
  End(running, true);
}

void MeasureReading(size_t bytes) {
  const size_t units = bytes / 2;
  std::u16string text(units, u'x');
  if (WriteClipboardText(api, text.c_str()) == nullptr) {
    Say("reading %lu failed", static_cast<unsigned long>(bytes));
    return;
  }
  std::vector<char> from(bytes + 2, 'x'), to(bytes + 2);
  // Where the time goes: fetching the block from the clipboard alone.
  for (int run = 0; run < ReadRuns; ++run) {
    const double begin = Now();
    if (OpenClipboard(nullptr)) {
      if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        GlobalLock(data);
        GlobalUnlock(data);
      }
      CloseClipboard();
    }
    Say("fetching %lu %.6f", static_cast<unsigned long>(bytes), Now() - begin);
  }
  for (int run = 0; run < ReadRuns; ++run) {
    double begin = Now();
    const Text read = ReadClipboardText(api);
    const double readSeconds = Now() - begin;
    begin = Now();
    std::memcpy(to.data(), from.data(), bytes);
    const double copySeconds = Now() - begin;
    Say("reading %lu %.6f %.6f %s", static_cast<unsigned long>(bytes), readSeconds, copySeconds, read.size() == units ? "ok" : "short");
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const DWORD restSeconds = argc > 1 ? static_cast<DWORD>(_wtoi(argv[1])) : 60;
  const int stormCopies = argc > 2 ? _wtoi(argv[2]) : 10000;

  ActiveWindow active;  // so that neither program sees a locked session
  MeasureStartup(floorProgram);
  MeasureStartup(kelvaro);
  MeasureRest(floorProgram, restSeconds);
  MeasureRest(kelvaro, restSeconds);
  MeasureStorm(stormCopies);
  for (int delay : {1, 2, 5, 10}) MeasureTiming(delay);
  for (size_t bytes : {size_t{1} << 10, size_t{1} << 20, size_t{64} << 20}) MeasureReading(bytes);
  Say("done");
  return 0;
}
