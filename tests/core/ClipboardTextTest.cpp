// Reading and writing clipboard text against a fake clipboard and global
// memory. Blocks are allocated at their exact size, so AddressSanitizer
// catches any read or write beyond a block.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/ClipboardText.h"

namespace {

constexpr uint32_t BitmapFormat = 2;  // CF_BITMAP: stands for any content that is not text

// One clipboard and its memory blocks. A failing call is named once per test.
struct FakeSystem {
  std::string failing;           // "open", "alloc", "lock", "set" or "get"
  bool open = false;
  int opens = 0;
  int closes = 0;
  int locks = 0;
  int unlocks = 0;
  std::map<void*, int> lockCounts;  // locks not yet undone, per block
  std::map<uint32_t, void*> formats;  // what the clipboard holds
  std::map<void*, size_t> blocks;     // every live block and its size
  std::vector<uint32_t> allocFlags;
};

FakeSystem fs;

// New memory holds a pattern, not zeros, so that a write must put its own null.
void* NewBlock(size_t bytes) {
  void* block = std::malloc(bytes == 0 ? 1 : bytes);  // unique even when empty
  std::memset(block, 0xAA, bytes == 0 ? 1 : bytes);
  fs.blocks[block] = bytes;
  return block;
}

void FreeBlock(void* block) {
  ASSERT_EQ(fs.blocks.count(block), 1u) << "freeing a block that is not live";
  fs.blocks.erase(block);
  std::free(block);
}

bool Open() {
  if (fs.failing == "open") return false;
  ++fs.opens;
  fs.open = true;
  return true;
}
void Empty() {
  for (auto& entry : fs.formats) FreeBlock(entry.second);
  fs.formats.clear();
}
void* Set(uint32_t format, void* block) {
  EXPECT_EQ(fs.lockCounts[block], 0) << "a block is handed over while still locked";
  if (fs.failing == "set") return nullptr;
  fs.formats[format] = block;
  return block;
}
void* Get(uint32_t format) {
  if (fs.failing == "get") return nullptr;
  auto found = fs.formats.find(format);
  return found == fs.formats.end() ? nullptr : found->second;
}
void Close() {
  ++fs.closes;
  fs.open = false;
}
void* Alloc(uint32_t flags, size_t bytes) {
  fs.allocFlags.push_back(flags);
  return fs.failing == "alloc" ? nullptr : NewBlock(bytes);
}
void* Lock(void* block) {
  if (fs.failing == "lock") return nullptr;
  ++fs.locks;
  ++fs.lockCounts[block];
  return block;
}
void Unlock(void* block) {
  ++fs.unlocks;
  --fs.lockCounts[block];
}
size_t Size(void* block) { return fs.blocks.at(block); }
void Free(void* block) { FreeBlock(block); }

const ClipboardApi fakeApi = {Open, Empty, Set, Get, Close, Alloc, Lock, Unlock, Size, Free};

class ClipboardText : public testing::Test {
 protected:
  void SetUp() override { fs = FakeSystem(); }
  void TearDown() override {
    EXPECT_FALSE(fs.open) << "the clipboard was left open";
    EXPECT_EQ(fs.opens, fs.closes);
    EXPECT_EQ(fs.locks, fs.unlocks) << "a lock was not undone";
    // Only blocks that the clipboard holds may still be alive.
    EXPECT_EQ(fs.blocks.size(), fs.formats.size()) << "a block leaked";
    Empty();
  }

  // Puts a block of raw bytes on the clipboard, as another program might.
  static void PutBlock(uint32_t format, const void* bytes, size_t size) {
    void* block = NewBlock(size);
    if (size != 0) std::memcpy(block, bytes, size);
    fs.formats[format] = block;
  }
  static void PutText(const Text& text) { PutBlock(UnicodeTextFormat, text.c_str(), 2 * text.size() + 2); }
  static size_t TextBlockSize() { return fs.blocks.at(fs.formats.at(UnicodeTextFormat)); }
  // The text in the clipboard's block, whose last unit must be the null.
  static Text TextOnClipboard() {
    const auto* units = static_cast<const char16_t*>(fs.formats.at(UnicodeTextFormat));
    const size_t count = TextBlockSize() / 2;
    EXPECT_GE(count, 1u);
    if (count == 0) return Text();
    EXPECT_EQ(units[count - 1], u'\0') << "the block does not end in a null unit";
    return Text(units, count - 1);
  }
};

TEST_F(ClipboardText, WriteMakesABlockOfTwoBytesPerUnitPlusTheNull) {
  struct Row {
    const char* name;
    Text text;
    bool nullPointer;
    size_t blockBytes;
    Text stored;
  };
  const Row rows[] = {
      {"wipe run", Text(2142, u' '), false, 4286, Text(2142, u' ')},
      {"start-up run", Text(512, u' '), false, 1026, Text(512, u' ')},
      {"empty text", u"", false, 2, u""},
      {"no text at all", u"", true, 2, u""},
      {"null inside", Text(u"ab\0cd", 5), false, 6, u"ab"},
      {"line breaks and spaces kept", u" a\r\nb ", false, 14, u" a\r\nb "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fs = FakeSystem();
    void* handle = WriteClipboardText(fakeApi, row.nullPointer ? nullptr : row.text.c_str());
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(handle, fs.formats.at(UnicodeTextFormat));
    EXPECT_EQ(TextBlockSize(), row.blockBytes);
    EXPECT_EQ(TextOnClipboard(), row.stored);
    EXPECT_EQ(fs.allocFlags, std::vector<uint32_t>{0x2002});
    EXPECT_EQ(fs.opens, 1);
    EXPECT_EQ(fs.closes, 1);
    Empty();
  }
}

TEST_F(ClipboardText, WriteReplacesContentInEveryFormat) {
  const unsigned char picture[4] = {1, 2, 3, 4};
  PutBlock(BitmapFormat, picture, sizeof picture);
  ASSERT_NE(WriteClipboardText(fakeApi, u"new"), nullptr);
  EXPECT_EQ(fs.formats.size(), 1u);
  EXPECT_EQ(TextOnClipboard(), u"new");
}

TEST_F(ClipboardText, WriteFailuresCloseTheClipboardAndFreeTheirBlock) {
  struct Row {
    const char* failing;
    bool oldContentKept;  // else the clipboard is left empty
    int opens;
  };
  const Row rows[] = {
      {"open", true, 0},    // another program holds the clipboard
      {"alloc", true, 1},   // allocated before emptying, so nothing is lost
      {"lock", false, 1},
      {"set", false, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.failing);
    Empty();
    fs = FakeSystem();
    PutText(u"old");
    fs.failing = row.failing;
    EXPECT_EQ(WriteClipboardText(fakeApi, u"new"), nullptr);
    EXPECT_EQ(fs.opens, row.opens);
    EXPECT_EQ(fs.closes, row.opens);
    if (row.oldContentKept) {
      EXPECT_EQ(TextOnClipboard(), u"old");
    } else {
      EXPECT_TRUE(fs.formats.empty());
    }
    EXPECT_EQ(fs.blocks.size(), fs.formats.size()) << "the unused block was not freed";
  }
}

TEST_F(ClipboardText, ReadReturnsTheTextExactly) {
  PutText(u"  pass word\r\n\t ");
  EXPECT_EQ(ReadClipboardText(fakeApi), u"  pass word\r\n\t ");
  EXPECT_EQ(fs.unlocks, 1);
  EXPECT_EQ(fs.formats.size(), 1u) << "a read never frees the clipboard's data";
}

TEST_F(ClipboardText, ReadFailuresGiveTheEmptyTextAndCloseTheClipboard) {
  struct Row {
    const char* name;
    const char* failing;
    bool textOnClipboard;
    int opens;
  };
  const Row rows[] = {
      {"held by another program", "open", true, 0},
      {"no text on the clipboard", "", false, 1},
      {"data refused", "get", true, 1},
      {"lock fails", "lock", true, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Empty();
    fs = FakeSystem();
    const unsigned char picture[4] = {1, 2, 3, 4};
    PutBlock(BitmapFormat, picture, sizeof picture);
    if (row.textOnClipboard) PutText(u"secret");
    fs.failing = row.failing;
    EXPECT_EQ(ReadClipboardText(fakeApi), u"");
    EXPECT_EQ(fs.opens, row.opens);
    EXPECT_EQ(fs.closes, row.opens);
    EXPECT_EQ(fs.unlocks, 0);
  }
}

TEST_F(ClipboardText, ReadStaysInsideBlocksOfAnySize) {
  struct Row {
    const char* name;
    std::vector<unsigned char> bytes;
    Text expected;
  };
  std::vector<unsigned char> unterminated(64 * 1024);
  for (size_t i = 0; i < unterminated.size(); i += 2) unterminated[i] = 'x';
  const Row rows[] = {
      {"no bytes", {}, u""},
      {"one byte", {'a'}, u""},
      {"three bytes without a null", {'a', 0, 'b'}, u"a"},
      {"first unit null", {0, 0, 'a', 0, 0, 0}, u""},
      {"null in the middle", {'a', 0, 0, 0, 'b', 0, 0, 0}, u"a"},
      {"64 KiB without a null", unterminated, Text(32 * 1024, u'x')},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Empty();
    fs = FakeSystem();
    PutBlock(UnicodeTextFormat, row.bytes.data(), row.bytes.size());
    EXPECT_EQ(ReadClipboardText(fakeApi), row.expected);
    EXPECT_EQ(fs.unlocks, 1);
  }
}

}  // namespace
