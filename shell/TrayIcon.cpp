#include "shell/TrayIcon.h"

#include "shell/EventLoop.h"
#include "shell/MessageRoutes.h"

static_assert(sizeof(NOTIFYICONDATAW) == 956, "the Vista-and-later layout in a 32-bit program");

BOOL(WINAPI* notifyIconCall)(DWORD message, PNOTIFYICONDATAW data) = Shell_NotifyIconW;
std::atomic<HWND> trayOwner{nullptr};
HMENU trayMenu = nullptr;

namespace {

constexpr int IdleIconIndex = 296;
constexpr int ArmedIconIndex = 144;

struct MenuItem {
  UINT identifier;
  const wchar_t* text;
};

const MenuItem menuItems[] = {
    {MenuAbout, L"About"},
    {MenuClearNow, L"Clear now"},
    {MenuExit, L"Exit"},
};

// A zeroed structure that addresses the registered icon.
NOTIFYICONDATAW IconData(HWND owner, UINT flags) {
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof data;
  data.hWnd = owner;
  data.uID = TrayIconId;
  data.uFlags = flags;
  return data;
}

void PostNullMessage(void* window) {
  PostMessageW(static_cast<HWND>(window), WM_NULL, 0, 0);
}

}  // namespace

void LoadTrayIcons() {
  idleIcon = ExtractIconW(nullptr, L"shell32.dll", IdleIconIndex);
  armedIcon = ExtractIconW(nullptr, L"shell32.dll", ArmedIconIndex);
}

void AddTrayIcon(HWND owner, HICON icon) {
  if (owner == nullptr || icon == nullptr) return;
  NOTIFYICONDATAW data = IconData(owner, NIF_MESSAGE | NIF_ICON);
  data.uCallbackMessage = TrayNotifyMessage;
  data.hIcon = icon;
  if (notifyIconCall(NIM_ADD, &data)) trayOwner.store(owner);
}

int SetTrayTooltip(const wchar_t* text) {
  const HWND owner = trayOwner.load();
  if (text == nullptr || owner == nullptr) return 0;
  NOTIFYICONDATAW data = IconData(owner, NIF_TIP);
  CopyTooltip(text, data.szTip, ARRAYSIZE(data.szTip));
  return notifyIconCall(NIM_MODIFY, &data);
}

int SetTrayIcon(IconHandle icon) {
  // After removal this sends nothing, and a NIM_MODIFY that slips in just
  // before never brings an icon back: the shell refuses it.
  const HWND owner = trayOwner.load();
  if (icon == nullptr || owner == nullptr) return 0;
  NOTIFYICONDATAW data = IconData(owner, NIF_ICON);
  data.hIcon = static_cast<HICON>(icon);
  return notifyIconCall(NIM_MODIFY, &data);
}

void RemoveTrayIcon() {
  const HWND owner = trayOwner.load();
  if (owner == nullptr) return;
  NOTIFYICONDATAW data = IconData(owner, 0);
  notifyIconCall(NIM_DELETE, &data);
  trayOwner.store(nullptr);
}

LRESULT HandleTrayNotification(HWND window, WPARAM wParam, LPARAM lParam) {
  return RouteTrayNotification(window, wParam, lParam, PostNullMessage);
}

void BuildTrayMenu() {
  trayMenu = CreatePopupMenu();
  if (trayMenu == nullptr) return;  // no menu: a right click shows nothing
  for (const MenuItem& item : menuItems) AppendMenuW(trayMenu, MF_STRING, item.identifier, item.text);
}

BOOL ShowTrayMenu(HWND owner) {
  if (trayMenu == nullptr) return FALSE;
  POINT pointer = {};
  GetCursorPos(&pointer);
  // The owner must be the foreground window, or the menu does not close when
  // the user clicks elsewhere.
  SetForegroundWindow(owner);
  return TrackPopupMenu(trayMenu, TPM_RIGHTBUTTON, pointer.x - 1, pointer.y - 1, 0, owner, nullptr);
}
