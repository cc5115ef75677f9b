// Test helper: opens the clipboard for a window of its own and keeps it open,
// as a slow program might, until the release event is set. (Wine lets two
// opens without a window share the clipboard, so the holder needs a window.)
//   clipboard_holder.exe <ready event name> <release event name>
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (args == nullptr || count < 3) return 2;
  HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, args[1]);
  HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, args[2]);
  if (ready == nullptr || release == nullptr) return 3;
  HWND window = CreateWindowExW(0, L"STATIC", L"holder", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
  if (window == nullptr || !OpenClipboard(window)) return 4;
  SetEvent(ready);
  WaitForSingleObject(release, 30000);
  CloseClipboard();
  return 0;
}
