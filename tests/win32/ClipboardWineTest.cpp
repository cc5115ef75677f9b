// Clipboard text on the real Windows clipboard, under Wine.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/ClipboardText.h"
#include "core/ExpiryEngine.h"
#include "tests/win32/DriverTools.h"

namespace {

const ClipboardApi& api = Win32ClipboardApi();

// The CF_UNICODETEXT block now on the clipboard: its size and its text.
struct Block {
  bool present = false;
  size_t bytes = 0;
  Text units;  // every whole unit in the block, nulls included
};

Block TextBlock() {
  Block block;
  if (!OpenClipboard(nullptr)) return block;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (data != nullptr) {
    block.present = true;
    block.bytes = GlobalSize(data);
    if (const auto* units = static_cast<const char16_t*>(GlobalLock(data))) {
      block.units.assign(units, block.bytes / 2);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return block;
}

// Sets raw data in one format, replacing everything, as another program would.
void PutRaw(UINT format, const void* bytes, size_t size) {
  ASSERT_TRUE(driver::PutRawBlock(format, bytes, size));
}

void ClearClipboard() {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
}

TEST(RealClipboard, WrittenBlocksHoldTheUnitsAndOneNull) {
  struct Row {
    const char* name;
    Text text;
    size_t bytes;
  };
  const Row rows[] = {
      {"wipe run", Text(SecureWipeSpaces, u' '), 4286},
      {"start-up run", Text(StartupWipeSpaces, u' '), 1026},
      {"empty text", u"", 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_NE(WriteClipboardText(api, row.text.c_str()), nullptr);
    const Block block = TextBlock();
    ASSERT_TRUE(block.present);
    EXPECT_EQ(block.bytes, row.bytes);
    EXPECT_EQ(block.units, row.text + u'\0');
  }
}

TEST(RealClipboard, NoTextWritesTheEmptyText) {
  ASSERT_NE(WriteClipboardText(api, nullptr), nullptr);
  const Block block = TextBlock();
  ASSERT_TRUE(block.present);
  EXPECT_EQ(block.bytes, 2u);
}

TEST(RealClipboard, WriteStopsAtANullInsideTheText) {
  const Text text(u"ab\0cd", 5);
  ASSERT_NE(WriteClipboardText(api, text.c_str()), nullptr);
  const Block block = TextBlock();
  EXPECT_EQ(block.bytes, 6u);
  EXPECT_EQ(ReadClipboardText(api), u"ab");
}

TEST(RealClipboard, WriteReplacesContentThatIsNotText) {
  const UINT privateFormat = RegisterClipboardFormatW(L"Kelvaro test picture");
  const unsigned char picture[16] = {1, 2, 3, 4, 5, 6, 7, 8};
  PutRaw(privateFormat, picture, sizeof picture);
  ASSERT_TRUE(IsClipboardFormatAvailable(privateFormat));

  ASSERT_NE(WriteClipboardText(api, u"   "), nullptr);
  EXPECT_FALSE(IsClipboardFormatAvailable(privateFormat));
  EXPECT_EQ(ReadClipboardText(api), u"   ");
}

TEST(RealClipboard, ReadGivesTextExactly) {
  const Text text = u"  line one\r\nline two\t \u00e9\u4e2d ";
  ASSERT_NE(WriteClipboardText(api, text.c_str()), nullptr);
  EXPECT_EQ(ReadClipboardText(api), text);
}

TEST(RealClipboard, ReadOfNoTextOrALeadingNullIsEmpty) {
  ClearClipboard();
  EXPECT_EQ(ReadClipboardText(api), u"");

  const UINT privateFormat = RegisterClipboardFormatW(L"Kelvaro test picture");
  const unsigned char picture[4] = {9, 9, 9, 9};
  PutRaw(privateFormat, picture, sizeof picture);
  EXPECT_EQ(ReadClipboardText(api), u"");

  const char16_t leadingNull[] = {0, u'a', u'b', 0};
  PutRaw(CF_UNICODETEXT, leadingNull, sizeof leadingNull);
  EXPECT_EQ(ReadClipboardText(api), u"");
}

TEST(RealClipboard, ReadWhileAnotherProcessHoldsTheClipboardIsEmptyAtOnce) {
  ASSERT_NE(WriteClipboardText(api, u"secret"), nullptr);

  driver::HeldClipboard holder;
  ASSERT_TRUE(holder.Held()) << "the holder did not open the clipboard";

  const DWORD start = GetTickCount();
  const Text whileHeld = ReadClipboardText(api);
  const DWORD elapsed = GetTickCount() - start;
  void* written = WriteClipboardText(api, u"other");
  const DWORD exitCode = holder.Release();

  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(whileHeld, u"");
  EXPECT_LT(elapsed, 2000u) << "the read waited for the clipboard";
  EXPECT_EQ(written, nullptr);
  EXPECT_EQ(ReadClipboardText(api), u"secret") << "a refused write must change nothing";
}

int TrayIconCalls = 0;
int CountTrayIcon(IconHandle) {
  ++TrayIconCalls;
  return 1;
}

TEST(RealClipboard, WipesWithTheWindowsOperationsLeaveEmptyText) {
  engineOps = Win32EngineOps(CountTrayIcon);
  idleIcon = reinterpret_cast<IconHandle>(uintptr_t{1});

  ASSERT_NE(WriteClipboardText(api, u"password"), nullptr);
  StartupWipe();
  EXPECT_EQ(TextBlock().bytes, 2u);
  EXPECT_EQ(TrayIconCalls, 0);

  ASSERT_NE(WriteClipboardText(api, u"password"), nullptr);
  SecureWipe();
  EXPECT_EQ(TextBlock().bytes, 2u);
  EXPECT_EQ(TrayIconCalls, 1);
}

}  // namespace
