#include "shell/HomepageLink.h"

#include <shellapi.h>

#include "shell/AboutLayout.h"
#include "shell/EventLoop.h"

static_assert(sizeof(SHELLEXECUTEINFOW) == 60, "the 32-bit layout");

namespace {

constexpr UINT_PTR HoverTimer = 1;
constexpr UINT HoverTimerMs = 30;
constexpr int TextBufferUnits = 512;

// There is one link; these are its members.
struct Link {
  HWND handle;
  WNDPROC staticProc;  // the standard processing of a static control
  HFONT font;
  COLORREF normalColour;
  COLORREF hoverColour;
  bool underline;
  bool hovering;
};

Link link = {};
HCURSOR linkCursor = nullptr;

void Paint(HWND window) {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window, &paint);
  if (dc == nullptr) return;

  const auto brush = reinterpret_cast<HBRUSH>(
      SendMessageW(GetParent(window), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window)));
  if (brush != nullptr) FillRect(dc, &paint.rcPaint, brush);

  wchar_t text[TextBufferUnits] = {};
  const int length = GetWindowTextW(window, text, TextBufferUnits);
  if (link.font != nullptr) SelectObject(dc, link.font);

  RECT client;
  GetClientRect(window, &client);
  const HRGN clip = CreateRectRgnIndirect(&client);
  SelectClipRgn(dc, clip);
  DeleteObject(clip);

  if (IsWindowEnabled(window)) {
    SetBkMode(dc, TRANSPARENT);
    const COLORREF colour = link.hovering ? link.hoverColour : link.normalColour;
    SetTextColor(dc, colour);
    TextOutW(dc, 0, 0, text, length);
    if (link.underline) {
      // One pixel high, on the first row below the text cell.
      SIZE extent = {};
      GetTextExtentPoint32W(dc, text, length, &extent);
      const HPEN pen = CreatePen(PS_SOLID, 0, colour);
      const HGDIOBJ previous = SelectObject(dc, pen);
      MoveToEx(dc, 0, extent.cy, nullptr);
      LineTo(dc, extent.cx, extent.cy);
      SelectObject(dc, previous);
      DeleteObject(pen);
    }
  } else {
    DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(text), length, 0, 0, 0, 0, DST_TEXT | DSS_DISABLED);
  }
  EndPaint(window, &paint);
}

// Hovering ends at the first tick that finds the pointer outside.
void TestHover(HWND window) {
  const DWORD position = GetMessagePos();
  POINT pointer = {MessagePosX(position), MessagePosY(position)};
  ScreenToClient(window, &pointer);
  RECT client;
  GetClientRect(window, &client);
  if (PointerStillOver(pointer.x, pointer.y, client.right, client.bottom, IsWindowEnabled(GetParent(window)))) return;
  link.hovering = false;
  KillTimer(window, HoverTimer);
  InvalidateRect(window, nullptr, FALSE);
}

LRESULT CALLBACK LinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_SETCURSOR:
      SetCursor(linkCursor);
      return TRUE;
    case WM_MOUSEMOVE:
      if (!link.hovering) {
        link.hovering = true;
        SetTimer(window, HoverTimer, HoverTimerMs, nullptr);
        InvalidateRect(window, nullptr, FALSE);
      }
      return 0;
    case WM_TIMER:
      TestHover(window);
      return 0;
    case WM_LBUTTONUP:
      QueueEvent(ControlEvent, static_cast<int32_t>(GetWindowLongPtrW(window, GWL_ID)), AboutWindowNumber, 0);
      return 0;
    case WM_LBUTTONDBLCLK:
    case WM_COMMAND:
      return 0;
    case WM_SETTEXT:
      CallWindowProcW(link.staticProc, window, message, wParam, lParam);
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_ENABLE:
    case WM_UPDATEUISTATE:
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_SETFONT:
      link.font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam) == 1) InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(link.font);
    case WM_NCHITTEST:
      // The whole rectangle takes the mouse, unlike a plain static control,
      // which lets it through to the window beneath.
      return DefWindowProcW(window, message, wParam, lParam);
    default:
      return CallWindowProcW(link.staticProc, window, message, wParam, lParam);
  }
}

}  // namespace

HWND CreateHomepageLink(HWND parent, int x, int y, int width, int height, HFONT font, COLORREF hoverColour) {
  if (linkCursor == nullptr) {
    linkCursor = LoadCursorW(nullptr, IDC_HAND);
    if (linkCursor == nullptr) linkCursor = LoadCursorW(nullptr, IDC_ARROW);
  }
  const HWND handle =
      CreateWindowExW(0, L"STATIC", L"Homepage", WS_CHILD, x, y, width, height, parent, nullptr, nullptr, nullptr);
  if (handle == nullptr) return nullptr;
  link = {handle, nullptr, font, 0, hoverColour, true, false};
  SetWindowLongPtrW(handle, GWL_ID, HomepageLink);
  SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  link.staticProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LinkProc)));
  ShowWindow(handle, SW_SHOWNORMAL);
  return handle;
}

void SetLinkNormalColour(HWND handle, COLORREF colour) {
  if (handle == nullptr || handle != link.handle) return;
  link.normalColour = colour;
  RedrawWindow(handle, nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_FRAME);
}

void OpenHomepage() {
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  info.lpFile = HomepageAddress;
  info.lpParameters = L"";
  info.nShow = SW_SHOWNORMAL;
  if (ShellExecuteExW(&info) && info.hProcess != nullptr) CloseHandle(info.hProcess);
}
