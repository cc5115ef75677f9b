#include <windows.h>

#include "core/ClipboardText.h"

namespace {

bool OpenWithoutOwner() { return OpenClipboard(nullptr) != FALSE; }
void Empty() { EmptyClipboard(); }
void* SetData(uint32_t format, void* block) { return SetClipboardData(format, block); }
void* GetData(uint32_t format) { return GetClipboardData(format); }
void Close() { CloseClipboard(); }
void* Alloc(uint32_t flags, size_t bytes) { return GlobalAlloc(flags, bytes); }
void* Lock(void* block) { return GlobalLock(block); }
void Unlock(void* block) { GlobalUnlock(block); }
size_t Size(void* block) { return GlobalSize(block); }
void Free(void* block) { GlobalFree(block); }

}  // namespace

const ClipboardApi& Win32ClipboardApi() {
  static const ClipboardApi api = {OpenWithoutOwner, Empty, SetData, GetData, Close,
                                   Alloc,            Lock,  Unlock,  Size,    Free};
  return api;
}
