#pragma once
// The program's only access to the clipboard: read and write one UTF-16 text
// in the CF_UNICODETEXT format. Each operation opens the clipboard without an
// owner, keeps it open only for itself, closes it before it returns, and never
// retries. The system calls go through a ClipboardApi table, so that every
// failure can be provoked in tests.

#include <cstddef>
#include <cstdint>

#include "core/Text.h"

constexpr uint32_t UnicodeTextFormat = 13;       // CF_UNICODETEXT
constexpr uint32_t ClipboardBlockFlags = 0x2002;  // GMEM_MOVEABLE | GMEM_DDESHARE

// The clipboard and global-memory calls that the two operations make.
// Handles are opaque; null means failure, as in Win32.
struct ClipboardApi {
  bool (*openClipboard)();  // OpenClipboard(NULL)
  void (*emptyClipboard)();
  void* (*setClipboardData)(uint32_t format, void* block);
  void* (*getClipboardData)(uint32_t format);
  void (*closeClipboard)();
  void* (*globalAlloc)(uint32_t flags, size_t bytes);
  void* (*globalLock)(void* block);
  void (*globalUnlock)(void* block);
  size_t (*globalSize)(void* block);
  void (*globalFree)(void* block);
};

// Replaces the whole clipboard by the text up to its first null unit (a null
// pointer counts as the empty text), in a block of exactly 2n+2 bytes that is
// allocated before the clipboard is emptied. Returns the data handle that the
// clipboard accepted, or null when any step failed. A block the clipboard did
// not take is freed.
void* WriteClipboardText(const ClipboardApi& api, const char16_t* text);

// The clipboard's text up to its first null unit, read only within the data
// block's size (a block without a null unit gives all the whole units in it).
// Any failure gives the empty text, exactly like an empty clipboard.
Text ReadClipboardText(const ClipboardApi& api);

#ifdef _WIN32
// The table filled with the real Win32 calls.
const ClipboardApi& Win32ClipboardApi();
#endif
