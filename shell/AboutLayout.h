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

// The height, in logical units, that asks for a character height of `points`
// at `pixelsPerInch`: minus points × pixelsPerInch / 72, rounded to nearest as
// MulDiv rounds.
int FontHeight(int points, int pixelsPerInch);
