// The benchmark's floor: the least a program of Kelvaro's shape can cost. One
// hidden window, one thread doing the same sleeps and foreground queries as
// the expiry worker, and the main thread waiting in GetMessageW. "Close" on
// its window (WM_CLOSE) ends it.
#include <windows.h>

#include <mmsystem.h>

namespace {

DWORD WINAPI SleepLikeTheWorker(void*) {
  timeBeginPeriod(1);
  for (;;) {
    Sleep(400);
    Sleep(250);
    GetForegroundWindow();
    Sleep(250);
    GetForegroundWindow();
  }
}

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) ExitProcess(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = FloorProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"KelvaroBenchFloor";
  RegisterClassW(&windowClass);
  CreateWindowExW(0, L"KelvaroBenchFloor", L"floor", WS_CAPTION | WS_SYSMENU, 0, 0, 100, 100, nullptr, nullptr,
                  instance, nullptr);
  CreateThread(nullptr, 4096, SleepLikeTheWorker, nullptr, 0, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
