#pragma once
// The program's icon in the notification area and its popup menu. Each shell
// call fills a zeroed NOTIFYICONDATAW of its own with only the members it
// needs. Everything runs on the main thread except SetTrayIcon, which the
// worker calls too.

#include <windows.h>

#include <atomic>

#include "core/ExpiryEngine.h"

// The callback message of the tray icon.
constexpr UINT TrayNotifyMessage = 12501;

// The one call into the shell's notification area; tests put a recorder here.
extern BOOL(WINAPI* notifyIconCall)(DWORD message, PNOTIFYICONDATAW data);

// The owner remembered by a successful registration; empty before it, after a
// refused one and after removal. Written by the main thread, read by both.
extern std::atomic<HWND> trayOwner;

extern HMENU trayMenu;

// idleIcon and armedIcon from the system's shell32.dll, indices 296 and 144.
void LoadTrayIcons();

// Registers the icon; nothing happens for a null owner or icon.
void AddTrayIcon(HWND owner, HICON icon);

// Each answers what the shell answered, or 0 when nothing was sent.
int SetTrayTooltip(const wchar_t* text);
int SetTrayIcon(IconHandle icon);

void RemoveTrayIcon();

// The tray icon's notifications become TrayEvents (see RouteTrayNotification).
LRESULT HandleTrayNotification(HWND window, WPARAM wParam, LPARAM lParam);

void BuildTrayMenu();

// Shows the menu at the pointer and returns when it has closed; a choice
// arrives afterwards as WM_COMMAND.
BOOL ShowTrayMenu(HWND owner);
