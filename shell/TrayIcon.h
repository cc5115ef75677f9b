#pragma once
// The program's icon in the notification area.

#include <windows.h>

#include "core/ExpiryEngine.h"

// The callback message of the tray icon.
constexpr UINT TrayNotifyMessage = 12501;

// Replaces the image of the registered tray icon; sends nothing for a null
// icon or while no icon is registered. Called from both threads.
int SetTrayIcon(IconHandle icon);
