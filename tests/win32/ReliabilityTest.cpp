// The real program under load, with the clipboard held, with bad clipboard
// data, on its ways out, and as to what it leaves behind.

#include "tests/win32/ProgramDriver.h"

#include <atomic>
#include <map>
#include <thread>
#include <vector>

namespace {

using namespace driver;

// Whether the program's window answers a sent message within a second.
bool Answers(HWND window) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 1000, &result) != 0;
}

TEST_F(Program, AfterAStormOfCopiesItAnswersAndWipesTheLastOne) {
  ActiveWindow active;
  Start(L"2");
  const HWND window = ProgramWindow();
  for (int i = 0; i < 10000; ++i) {
    const std::u16string text = u"storm " + std::u16string(1, static_cast<char16_t>(u'a' + i % 26));
    WriteClipboardText(api, text.c_str());
    if (i % 100 == 0) PumpFor(0);
  }
  const DWORD last = CopyText(u"the last secret");
  EXPECT_TRUE(Answers(window)) << "the window did not answer right after the storm";
  // The countdown starts again with every copy the program has still to see.
  EXPECT_TRUE(ChangesWithin(last, 3 * CycleSeconds + 20)) << "the last text was not wiped";
  EXPECT_TRUE(SecretGoneWithin(3 * CycleSeconds + 20)) << "the last text stayed";
  EXPECT_TRUE(Answers(window));
  EXPECT_TRUE(Running());
}

TEST_F(Program, AClipboardHeldAcrossADueWipeNeitherHangsItNorKeepsTheSecret) {
  ActiveWindow active;
  Start(L"3");
  const HWND window = ProgramWindow();
  const DWORD copied = Copy(u"secret");

  HeldClipboard holder;
  const bool held = holder.Held();
  const DWORD beforeRelease = GetClipboardSequenceNumber();

  // Held for six cycles, well past the wipe that was due after three or four.
  bool answered = held;
  for (double end = Now() + 6 * CycleSeconds; held && Now() < end;) {
    answered = answered && Answers(window);
    PumpFor(200);
  }
  const bool unchangedWhileHeld = GetClipboardSequenceNumber() == beforeRelease;
  holder.Release();
  ASSERT_TRUE(held) << "the holder did not open the clipboard";
  ASSERT_EQ(beforeRelease, copied) << "the wipe came before the clipboard was held; the test proves nothing";
  EXPECT_TRUE(answered) << "the window stopped answering while the clipboard was held";
  EXPECT_TRUE(unchangedWhileHeld) << "something was written through the held clipboard";

  // The wipe that could not write is tried again and goes through now.
  EXPECT_TRUE(ChangesWithin(beforeRelease, 2 * CycleSeconds + 5)) << "the secret stayed after the release";
  EXPECT_TRUE(SecretGone());
  PumpFor(3000);

  const DWORD next = Copy(u"next secret");
  const double copiedAt = Now();
  EXPECT_TRUE(ChangesWithin(next, 4 * CycleSeconds + 5)) << "the next copy was not wiped";
  EXPECT_GE(Now() - copiedAt, 3 * CycleSeconds);
  EXPECT_TRUE(SecretGone());
}

TEST_F(Program, BadClipboardBlocksAreReadSafelyAndArmAsTheirFirstUnitSays) {
  ActiveWindow active;
  Start(L"1");
  std::vector<unsigned char> unterminated(64 * 1024);
  for (size_t i = 0; i < unterminated.size(); i += 2) unterminated[i] = 'x';
  const unsigned char threeBytes[3] = {'a', 0, 'b'};
  const unsigned char oneByte[1] = {'a'};
  struct Row {
    const char* name;
    const void* bytes;
    size_t size;
    bool arms;
  };
  const Row rows[] = {
      {"no bytes", "", 0, false},
      {"one byte", oneByte, 1, false},
      {"three bytes", threeBytes, 3, true},
      {"64 KiB without a null", unterminated.data(), unterminated.size(), true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    // A block of no bytes may be refused; the program must cope either way.
    const bool taken = PutRawBlock(CF_UNICODETEXT, row.bytes, row.size);
    if (row.size != 0) {
      ASSERT_TRUE(taken);
    }
    const DWORD put = GetClipboardSequenceNumber();
    if (row.arms) {
      EXPECT_TRUE(ChangesWithin(put, 2 * CycleSeconds + 5)) << "not wiped";
      EXPECT_TRUE(SecretGone());
      PumpFor(3000);
    } else {
      EXPECT_FALSE(ChangesWithin(put, 3 * CycleSeconds)) << "armed by a block without a whole unit";
    }
    ASSERT_TRUE(Running()) << "the program ended";
  }
}

TEST_F(Program, ExitDuringAWipeByTheWorkerEndsWithCodeZero) {
  { ActiveWindow passing; }  // leaves no active window: the worker wipes every cycle
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    Start(L"600");
    const HWND window = ProgramWindow();
    const DWORD before = GetClipboardSequenceNumber();
    ASSERT_TRUE(WaitUntil([before] { return GetClipboardSequenceNumber() != before; }, 10)) << "no wipe";
    PostMessageW(window, WM_COMMAND, CommandExit, 0);  // while that wipe is under way
    DWORD code = 1;
    const bool exited = ExitsWithin(process_.hProcess, 30, &code);
    if (!exited) TerminateProcess(process_.hProcess, 9);
    EXPECT_TRUE(exited);
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(IsWindow(window));
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    process_ = {};
  }
}

TEST_F(Program, ASecondStartDuringAStormExitsWithCodeZero) {
  ActiveWindow active;
  Start(L"2");
  std::atomic<bool> storming{true};
  std::thread storm([&storming] {
    for (int i = 0; storming.load(); ++i) WriteClipboardText(api, i % 2 ? u"storm a" : u"storm b");
  });
  PROCESS_INFORMATION second = LaunchBeside(L"kelvaro.exe", L"2");
  DWORD code = 1;
  const bool exited = ExitsWithin(second.hProcess, 30, &code);
  storming.store(false);
  storm.join();
  if (!exited) TerminateProcess(second.hProcess, 9);
  CloseHandle(second.hThread);
  CloseHandle(second.hProcess);
  EXPECT_TRUE(exited);
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(Running());
  EXPECT_TRUE(Answers(ProgramWindow()));
}

// Every file and folder below a folder, with its size.
void ListFiles(const std::wstring& folder, std::map<std::wstring, ULONGLONG>* files) {
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = folder + L"\\" + name;
    (*files)[path] = (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    const bool folder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    if (folder && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) ListFiles(path, files);
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

TEST_F(Program, ARunCreatesNoFileInTheUserFolders) {
  std::map<std::wstring, ULONGLONG> before, after;
  ListFiles(L"C:\\users", &before);
  ASSERT_FALSE(before.empty()) << "the user folders could not be listed";
  {
    ActiveWindow active;
    Start(L"1");
    const HWND window = ProgramWindow();
    const DWORD copied = Copy(u"secret");
    EXPECT_TRUE(ChangesWithin(copied, 2 * CycleSeconds + 5));
    PostMessageW(window, WM_COMMAND, CommandAbout, 0);
    PumpFor(1000);
    PostMessageW(window, WM_COMMAND, CommandClearNow, 0);
    PumpFor(1000);
    PostMessageW(window, WM_COMMAND, CommandExit, 0);
    DWORD code = 1;
    EXPECT_TRUE(ExitsWithin(process_.hProcess, 30, &code));
  }
  ListFiles(L"C:\\users", &after);
  for (const auto& file : after) {
    const std::string name(file.first.begin(), file.first.end());
    ASSERT_TRUE(before.count(file.first)) << "new: " << name;
    EXPECT_EQ(before[file.first], file.second) << "changed: " << name;
  }
}

}  // namespace
