// Helper for photographing the About window: shows the running program's
// About window and prints its outer rectangle as "left top width height";
// with --exit, chooses "Exit" instead.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  HWND window = nullptr;
  for (int i = 0; i < 300 && window == nullptr; ++i) {
    window = FindWindowW(L"WindowClass_0", nullptr);
    if (window == nullptr) Sleep(100);
  }
  if (window == nullptr) return 1;
  if (argc > 1 && wcscmp(argv[1], L"--exit") == 0) {
    PostMessageW(window, WM_COMMAND, 7, 0);
    return 0;
  }
  PostMessageW(window, WM_COMMAND, 5, 0);
  for (int i = 0; i < 300 && !IsWindowVisible(window); ++i) Sleep(100);
  Sleep(1500);  // painted
  RECT outer;
  GetWindowRect(window, &outer);
  std::printf("%ld %ld %ld %ld\n", outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top);
  return 0;
}
