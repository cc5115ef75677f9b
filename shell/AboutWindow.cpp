#include "shell/AboutWindow.h"

#include <algorithm>
#include <string>

#include "core/ExpiryEngine.h"
#include "shell/EventLoop.h"
#include "shell/MessageRoutes.h"
#include "shell/TrayIcon.h"

HWND aboutWindow = nullptr;
HACCEL aboutAccelerators = nullptr;

namespace {

constexpr wchar_t ClassName[] = L"WindowClass_0";
constexpr DWORD WindowStyle = WS_CAPTION | WS_SYSMENU;
constexpr int ClientWidth = 331;
constexpr int ClientHeight = 162;

MessageHook messageHook = nullptr;

// Tab and Shift+Tab: the focus goes to the next or previous control that
// takes it. The About window has none, so nothing changes.
void MoveFocus(bool backwards) {
  const HWND next = GetNextDlgTabItem(GetActiveWindow(), GetFocus(), backwards);
  if (next != nullptr) SetFocus(next);
}

LRESULT CALLBACK AboutWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (messageHook != nullptr) {
    const intptr_t answer = messageHook(window, message, wParam, lParam);
    if (answer != HookContinue) return answer;
  }
  switch (message) {
    case WM_CLOSE:
      // Closing only hides the window; it lives until the program ends.
      QueueEvent(CloseEvent, AboutWindowNumber, AboutWindowNumber, 0);
      return 0;
    case WM_COMMAND:
      if (RouteCommand(wParam, lParam, MoveFocus)) return 0;
      break;
    case TrayNotifyMessage:
      return HandleTrayNotification(window, wParam, lParam);
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// Centres the outer rectangle on the primary screen; a window larger than the
// screen goes to its edge.
void CentreOnScreen(HWND window) {
  RECT outer;
  GetWindowRect(window, &outer);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  const int x = (screenWidth - std::min(width, screenWidth)) / 2;
  const int y = (screenHeight - std::min(height, screenHeight)) / 2;
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void InstallMessageHook(MessageHook hook) {
  messageHook = hook;
}

void BuildAboutWindow(HINSTANCE instance, const wchar_t* programName) {
  WNDCLASSW windowClass = {};
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = AboutWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = ClassName;
  RegisterClassW(&windowClass);

  RECT outer = {0, 0, ClientWidth, ClientHeight};
  AdjustWindowRectEx(&outer, WindowStyle, FALSE, 0);
  const std::wstring caption = std::wstring(L"About ") + programName;
  aboutWindow = CreateWindowExW(0, ClassName, caption.c_str(), WindowStyle, 1, 1, outer.right - outer.left,
                                outer.bottom - outer.top, nullptr, nullptr, instance, nullptr);
  CentreOnScreen(aboutWindow);

  ACCEL keys[2] = {
      {FVIRTKEY | FNOINVERT, VK_TAB, static_cast<WORD>(NextControlCommand)},
      {FVIRTKEY | FNOINVERT | FSHIFT, VK_TAB, static_cast<WORD>(PreviousControlCommand)},
  };
  aboutAccelerators = CreateAcceleratorTableW(keys, 2);
}

void ShowAboutWindow() {
  // Shown where it was left; only the first showing is at the centre.
  int how = SW_SHOWNORMAL;
  if (IsZoomed(aboutWindow)) {
    how = SW_SHOWMAXIMIZED;
  } else if (IsIconic(aboutWindow)) {
    how = SW_SHOWMINIMIZED;
  }
  ShowWindow(aboutWindow, how);
}

void HideAboutWindow() {
  ShowWindow(aboutWindow, SW_HIDE);
}

void DestroyAboutWindow(HINSTANCE instance) {
  if (aboutWindow == nullptr) return;
  DestroyWindow(aboutWindow);
  UnregisterClassW(ClassName, instance);
}
