#include "shell/AboutLayout.h"

#include <algorithm>

#include "core/StartupSettings.h"

Text DescriptionText(int32_t expirySeconds) {
  return u"Securely clears clipboard text after " + DelayText(expirySeconds) +
         u" seconds,\r\nor upon locking the user session";
}

int CentredOrigin(int size, int screen) {
  return (screen - std::min(size, screen)) / 2;
}

bool PointerStillOver(int x, int y, int right, int bottom, bool parentEnabled) {
  return parentEnabled && x >= 0 && x <= right && y >= 0 && y <= bottom;
}

int MessagePosX(uint32_t position) {
  return static_cast<int16_t>(static_cast<uint16_t>(position & 0xFFFF));
}

int MessagePosY(uint32_t position) {
  return static_cast<int16_t>(static_cast<uint16_t>(position >> 16));
}

int FontHeight(int points, int pixelsPerInch) {
  const int64_t product = static_cast<int64_t>(points) * pixelsPerInch;
  const int64_t rounded = product >= 0 ? (product + 36) / 72 : (product - 36) / 72;
  return -static_cast<int>(rounded);
}
