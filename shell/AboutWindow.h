#pragma once
// The program's one window: normally hidden, it listens to the clipboard,
// owns the tray icon and the menu, and shows the About text when asked.

#include <windows.h>

#include <cstdint>

// The routine that sees every message of the window first; its answer
// HookContinue lets the window's own handling go on.
using MessageHook = intptr_t (*)(void* window, uint32_t message, uintptr_t wParam, intptr_t lParam);

extern HWND aboutWindow;
extern HACCEL aboutAccelerators;

void InstallMessageHook(MessageHook hook);

// Registers the class, creates the window hidden and centres it on the screen.
void BuildAboutWindow(HINSTANCE instance, const wchar_t* programName);
void ShowAboutWindow();
void HideAboutWindow();
void DestroyAboutWindow(HINSTANCE instance);
