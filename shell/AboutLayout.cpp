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

int FontHeight(int points, int pixelsPerInch) {
  const int64_t product = static_cast<int64_t>(points) * pixelsPerInch;
  const int64_t rounded = product >= 0 ? (product + 36) / 72 : (product - 36) / 72;
  return -static_cast<int>(rounded);
}
