#include "shell/TrayIcon.h"

#include <atomic>

// The owner remembered by a successful registration; empty before it and
// after removal. Written by the main thread, read by both.
static std::atomic<HWND> trayOwner{nullptr};

int SetTrayIcon(IconHandle icon) {
  const HWND owner = trayOwner.load();
  if (icon == nullptr || owner == nullptr) return 0;
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof data;
  data.hWnd = owner;
  data.uID = 0;
  data.uFlags = NIF_ICON;
  data.hIcon = static_cast<HICON>(icon);
  return Shell_NotifyIconW(NIM_MODIFY, &data);
}
