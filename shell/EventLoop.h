#pragma once
// The main thread's event source and loop. Window procedures append events
// with QueueEvent while a message is dispatched; WaitEvent yields one item per
// call: the oldest waiting event's kind, or else the number of the one message
// it retrieved and dispatched. MainLoop acts on the events until "Exit".
// Everything here runs on the main thread only and needs no lock.

#include <cstdint>

struct Event {
  int32_t kind;
  int32_t object;
  int32_t window;
  int32_t detail;
};

// Event kinds.
constexpr int32_t ControlEvent = 13100;
constexpr int32_t MenuEvent = 13101;
constexpr int32_t TrayEvent = 13102;
constexpr int32_t CloseEvent = 13116;

// Click kinds, the detail of a TrayEvent.
constexpr int32_t LeftDown = 0;
constexpr int32_t RightDown = 1;
constexpr int32_t LeftDoubleClick = 2;
constexpr int32_t RightDoubleClick = 3;

// Object numbers of the user-interface objects.
constexpr int32_t AboutWindowNumber = 0;
constexpr int32_t TitleLabel = 1;
constexpr int32_t DescriptionLabel = 2;
constexpr int32_t NoticeLabel = 3;
constexpr int32_t HomepageLink = 4;
constexpr int32_t MenuAbout = 5;
constexpr int32_t MenuClearNow = 6;
constexpr int32_t MenuExit = 7;
constexpr int32_t TrayIconId = 0;

// What the loop needs from the rest of the program; the program fills it with
// the real routines. An action left empty does nothing.
struct LoopActions {
  int32_t (*dispatchOneMessage)();  // waits for one message, handles it, answers its number
  void (*secureWipe)();
  void (*showTrayMenu)();
  void (*showAboutWindow)();
  void (*hideAboutWindow)();
  void (*openHomepage)();
};

extern LoopActions loopActions;

// The event that WaitEvent yielded last.
extern Event currentEvent;

// Appends an event, unless it equals the newest event still waiting in all
// four fields: such a repeat is dropped.
void QueueEvent(int32_t kind, int32_t object, int32_t window, int32_t detail);

// The oldest waiting event's kind (it becomes currentEvent), or else the
// number of the one message that was retrieved and dispatched.
int32_t WaitEvent();

// Waits and acts until "Exit" is chosen, then returns.
void MainLoop();
