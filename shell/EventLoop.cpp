#include "shell/EventLoop.h"

#include <deque>

LoopActions loopActions = {};
Event currentEvent = {};

namespace {

std::deque<Event> eventQueue;

// An action the program has not filled in does nothing.
void Run(void (*action)()) {
  if (action != nullptr) action();
}

bool SameEvent(const Event& a, const Event& b) {
  return a.kind == b.kind && a.object == b.object && a.window == b.window && a.detail == b.detail;
}

}  // namespace

void QueueEvent(int32_t kind, int32_t object, int32_t window, int32_t detail) {
  const Event event = {kind, object, window, detail};
  if (!eventQueue.empty() && SameEvent(eventQueue.back(), event)) return;
  eventQueue.push_back(event);
}

int32_t WaitEvent() {
  if (!eventQueue.empty()) {
    currentEvent = eventQueue.front();
    eventQueue.pop_front();
    return currentEvent.kind;
  }
  return loopActions.dispatchOneMessage();
}

void MainLoop() {
  for (;;) {
    switch (WaitEvent()) {
      case TrayEvent:
        if (currentEvent.detail == LeftDown) {
          Run(loopActions.secureWipe);
        } else if (currentEvent.detail == RightDown) {
          // The notification posts a null message after itself; taking one
          // more item lets the press finish before the menu's own loop runs.
          WaitEvent();
          Run(loopActions.showTrayMenu);
        }
        break;
      case ControlEvent:
        if (currentEvent.object == HomepageLink) Run(loopActions.openHomepage);
        break;
      case MenuEvent:
        if (currentEvent.object == MenuAbout) {
          Run(loopActions.showAboutWindow);
        } else if (currentEvent.object == MenuClearNow) {
          Run(loopActions.secureWipe);
        } else if (currentEvent.object == MenuExit) {
          return;
        }
        break;
      case CloseEvent:
        Run(loopActions.hideAboutWindow);
        break;
      default:
        break;  // a raw message number: nothing to do
    }
  }
}
