#pragma once
// The About window's texts and geometry, computed from plain numbers.

#include <cstdint>

#include "core/Text.h"

// "Securely clears clipboard text after N seconds,\r\nor upon locking the user
// session": two lines, the number in plain decimal, "seconds" always plural.
Text DescriptionText(int32_t expirySeconds);

// Where a window of `size` pixels starts so that it is centred on a screen of
// `screen` pixels (halves rounded down); a window larger than the screen
// starts at 0.
int CentredOrigin(int size, int screen);

// Whether the pointer still counts as over the link: inside its client
// rectangle with both bounds inclusive (so a one-pixel band on the right and at
// the bottom counts), and only while the window that holds it is enabled.
bool PointerStillOver(int x, int y, int right, int bottom, bool parentEnabled);

// The signed x and y halves of a message position (GetMessagePos).
int MessagePosX(uint32_t position);
int MessagePosY(uint32_t position);

// The height, in logical units, that asks for a character height of `points`
// at `pixelsPerInch`: minus points × pixelsPerInch / 72, rounded to nearest as
// MulDiv rounds.
int FontHeight(int points, int pixelsPerInch);
