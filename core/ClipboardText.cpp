#include "core/ClipboardText.h"

#include <cstring>
#include <new>

void* WriteClipboardText(const ClipboardApi& api, const char16_t* text) {
  if (!api.openClipboard()) return nullptr;
  if (text == nullptr) text = u"";

  size_t units = 0;
  while (text[units] != u'\0') ++units;
  const size_t bytes = 2 * units + 2;

  // Allocated before emptying: a failure here leaves the old content in place.
  void* block = api.globalAlloc(ClipboardBlockFlags, bytes);
  if (block == nullptr) {
    api.closeClipboard();
    return nullptr;
  }

  api.emptyClipboard();
  void* target = api.globalLock(block);
  if (target == nullptr) {
    api.globalFree(block);
    api.closeClipboard();
    return nullptr;
  }
  std::memcpy(target, text, bytes);  // the units and their null
  api.globalUnlock(block);

  void* handle = api.setClipboardData(UnicodeTextFormat, block);
  // Once accepted the block belongs to the system; otherwise it is still ours.
  if (handle == nullptr) api.globalFree(block);
  api.closeClipboard();
  return handle;
}

Text ReadClipboardText(const ClipboardApi& api) {
  if (!api.openClipboard()) return Text();

  Text text;
  void* data = api.getClipboardData(UnicodeTextFormat);
  const void* locked = data != nullptr ? api.globalLock(data) : nullptr;
  if (locked != nullptr) {
    // Never beyond the block: another program may have put an odd-sized block
    // or one without a terminating null on the clipboard.
    const size_t capacity = api.globalSize(data) / 2;
    const auto* bytes = static_cast<const unsigned char*>(locked);
    size_t units = 0;
    for (;; ++units) {
      if (units == capacity) break;
      char16_t unit;
      std::memcpy(&unit, bytes + 2 * units, sizeof unit);
      if (unit == u'\0') break;
    }
    try {
      text.resize(units);
      std::memcpy(&text[0], bytes, 2 * units);
    } catch (const std::bad_alloc&) {
      text.clear();  // too large to copy: a failed read, like any other
    }
    api.globalUnlock(data);
  }
  api.closeClipboard();
  return text;
}
