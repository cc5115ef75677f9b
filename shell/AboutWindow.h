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

// Creates the window hidden and centred on the screen, with its dark
// background, its two fonts and its labels. `title` is the name and version
// shown at the top; the description states expirySeconds.
void BuildAboutWindow(HINSTANCE instance, const wchar_t* programName, const wchar_t* title);

// Shows and activates the window where it was left; hides it.
void ShowAboutWindow();
void HideAboutWindow();

// Destroys the window, its brushes and its class; deletes its two fonts.
void DestroyAboutWindow(HINSTANCE instance);
void DeleteAboutFonts();
