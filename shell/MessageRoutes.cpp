#include "shell/MessageRoutes.h"

#include "shell/EventLoop.h"

namespace {

constexpr intptr_t LeftButtonDown = 0x0201;
constexpr intptr_t LeftButtonDoubleClick = 0x0203;
constexpr intptr_t RightButtonDown = 0x0204;
constexpr intptr_t RightButtonDoubleClick = 0x0206;

}  // namespace

intptr_t RouteTrayNotification(void* window, uintptr_t wParam, intptr_t lParam,
                               void (*postNullMessage)(void* window)) {
  int32_t kind = -1;
  switch (lParam) {
    case LeftButtonDown: kind = LeftDown; break;
    case LeftButtonDoubleClick: kind = LeftDoubleClick; break;
    case RightButtonDown: kind = RightDown; break;
    case RightButtonDoubleClick: kind = RightDoubleClick; break;
    default: break;  // moves, releases, other buttons
  }
  if (kind >= 0) QueueEvent(TrayEvent, static_cast<int32_t>(wParam), AboutWindowNumber, kind);
  // A notification sent from the shell does not end a blocked GetMessageW;
  // this posted message does.
  postNullMessage(window);
  return 0;
}

bool RouteCommand(uintptr_t wParam, intptr_t lParam, void (*moveFocus)(bool backwards)) {
  if (lParam != 0) return false;  // from a control: none of ours sends one
  const uint32_t low = static_cast<uint32_t>(wParam & 0xFFFF);
  const uint32_t high = static_cast<uint32_t>((wParam >> 16) & 0xFFFF);
  if (high != 0 && (low == NextControlCommand || low == PreviousControlCommand)) {
    moveFocus(low == PreviousControlCommand);
    return true;
  }
  QueueEvent(MenuEvent, static_cast<int32_t>(low), AboutWindowNumber, 0);
  return true;
}
