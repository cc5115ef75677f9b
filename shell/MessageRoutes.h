#pragma once
// How the window's tray notifications and commands become events. Kept free
// of Windows types so that the rules can be checked anywhere.

#include <cstddef>
#include <cstdint>

// Keyboard-accelerator commands of the About window: Tab and Shift+Tab.
constexpr uint32_t NextControlCommand = 64001;
constexpr uint32_t PreviousControlCommand = 64002;

// The longest tooltip the notification area shows, in UTF-16 units.
constexpr size_t TooltipLimit = 63;

// A notification of the tray icon (version 0 form: wParam the icon, lParam
// the mouse message). Left and right presses and double clicks queue a
// TrayEvent; every notification, with or without an event, posts one null
// message so that the main loop's blocked wait returns. Answers 0.
intptr_t RouteTrayNotification(void* window, uintptr_t wParam, intptr_t lParam,
                               void (*postNullMessage)(void* window));

// A WM_COMMAND. A menu choice (no control window) queues a MenuEvent; the
// Tab and Shift+Tab accelerators move the focus and queue nothing. Answers
// false for what the default handling should see (commands of controls).
bool RouteCommand(uintptr_t wParam, intptr_t lParam, void (*moveFocus)(bool backwards));

// Copies at most the first 63 units of a text (up to its null) into a
// tooltip field of `fieldUnits` units and zeroes the rest, so it always ends.
template <typename Unit>
void CopyTooltip(const Unit* text, Unit* field, size_t fieldUnits) {
  size_t at = 0;
  for (; at < TooltipLimit && at + 1 < fieldUnits && text[at] != 0; ++at) field[at] = text[at];
  for (; at < fieldUnits; ++at) field[at] = 0;
}
