// Feeds arbitrary blocks, of any size and content, to the clipboard read
// through its table of calls, as another program might leave them on the
// clipboard. The block is allocated at its exact size, so AddressSanitizer
// reports any read beyond it; the text read must be the block's units up to
// the first null.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/ClipboardText.h"

namespace {

const uint8_t* blockBytes = nullptr;
size_t blockSize = 0;
void* block = nullptr;

bool Open() { return true; }
void Empty() {}
void* Set(uint32_t, void*) { return nullptr; }
void* Get(uint32_t format) { return format == UnicodeTextFormat ? block : nullptr; }
void Close() {}
void* Alloc(uint32_t, size_t) { return nullptr; }
void* Lock(void* handle) { return handle; }
void Unlock(void*) {}
size_t Size(void*) { return blockSize; }
void Free(void*) {}

const ClipboardApi api = {Open, Empty, Set, Get, Close, Alloc, Lock, Unlock, Size, Free};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  blockBytes = data;
  blockSize = size;
  block = std::malloc(size == 0 ? 1 : size);
  if (size != 0) std::memcpy(block, data, size);

  const Text text = ReadClipboardText(api);

  // Whole units only, none of them null, and equal to the block's own.
  if (text.size() > size / 2) std::abort();
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = static_cast<char16_t>(blockBytes[2 * i] | (blockBytes[2 * i + 1] << 8));
    if (unit == 0 || unit != text[i]) std::abort();
  }
  if (text.size() < size / 2 && (blockBytes[2 * text.size()] | blockBytes[2 * text.size() + 1]) != 0) std::abort();
  std::free(block);
  return 0;
}
