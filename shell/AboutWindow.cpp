#include "shell/AboutWindow.h"

#include <string>

#include "core/ExpiryEngine.h"
#include "shell/AboutLayout.h"
#include "shell/EventLoop.h"
#include "shell/HomepageLink.h"
#include "shell/MessageRoutes.h"
#include "shell/TrayIcon.h"

HWND aboutWindow = nullptr;
HACCEL aboutAccelerators = nullptr;

namespace {

void BuildLabel(int number);

constexpr wchar_t ClassName[] = L"WindowClass_0";
constexpr DWORD WindowStyle = WS_CAPTION | WS_SYSMENU;
constexpr DWORD LabelStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOPREFIX | SS_CENTER;
constexpr int ClientWidth = 331;
constexpr int ClientHeight = 162;
constexpr COLORREF BackgroundColour = 0x404040;
constexpr COLORREF LabelTextColour = 0xDFDFDF;
constexpr COLORREF LinkColour = 0xD49474;

// A control of the window, by its number, with the colours it paints in.
struct Control {
  int number;
  int x, y, width, height;
  HWND handle;
  COLORREF textColour;
  COLORREF backgroundColour;
  HBRUSH brush;  // shared by the controls of one background colour
};

Control controls[] = {
    {TitleLabel, 1, 8, 330, 32, nullptr, 0, 0, nullptr},
    {DescriptionLabel, 1, 38, 330, 55, nullptr, 0, 0, nullptr},
    {HomepageLink, 133, 108, 70, 25, nullptr, 0, 0, nullptr},
    {NoticeLabel, 1, 135, 330, 55, nullptr, 0, 0, nullptr},
};

// Solid brushes shared by colour, each deleted when its last user lets go.
struct SharedBrush {
  COLORREF colour;
  HBRUSH brush;
  int users;
};
SharedBrush sharedBrushes[4] = {};

MessageHook messageHook = nullptr;
HBRUSH windowBrush = nullptr;
HFONT titleFont = nullptr;
HFONT textFont = nullptr;
HFONT currentFont = nullptr;  // what new controls receive
std::wstring titleText;
std::wstring descriptionText;

HBRUSH TakeBrush(COLORREF colour) {
  SharedBrush* free = nullptr;
  for (SharedBrush& shared : sharedBrushes) {
    if (shared.users > 0 && shared.colour == colour) {
      ++shared.users;
      return shared.brush;
    }
    if (shared.users == 0 && free == nullptr) free = &shared;
  }
  if (free == nullptr) return CreateSolidBrush(colour);  // never: the window has one colour
  *free = {colour, CreateSolidBrush(colour), 1};
  return free->brush;
}

void ReleaseBrush(HBRUSH brush) {
  for (SharedBrush& shared : sharedBrushes) {
    if (shared.users > 0 && shared.brush == brush && --shared.users == 0) {
      DeleteObject(shared.brush);
      shared = {};
    }
  }
}

Control* ControlByNumber(int number) {
  for (Control& control : controls) {
    if (control.number == number) return &control;
  }
  return nullptr;
}

// One of the program's controls: the handle must carry the number under
// which the program created it.
Control* ControlByHandle(HWND handle) {
  if (handle == nullptr) return nullptr;
  for (Control& control : controls) {
    if (control.handle == handle && GetWindowLongPtrW(handle, GWL_ID) == control.number) return &control;
  }
  return nullptr;
}

void RedrawControl(const Control& control) {
  RedrawWindow(control.handle, nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_FRAME);
}

void SetControlBackground(int number, COLORREF colour) {
  Control* control = ControlByNumber(number);
  if (control == nullptr || control->handle == nullptr) return;
  const HBRUSH previous = control->brush;
  control->backgroundColour = colour;
  control->brush = TakeBrush(colour);
  if (previous != nullptr) ReleaseBrush(previous);
  RedrawControl(*control);
}

void SetControlTextColour(int number, COLORREF colour) {
  Control* control = ControlByNumber(number);
  if (control == nullptr || control->handle == nullptr) return;
  control->textColour = colour;
  RedrawControl(*control);
}

// A label's colours: its text on its background, in opaque text cells.
LRESULT LabelColours(const Control& control, HDC dc) {
  SetTextColor(dc, control.textColour);
  SetBkColor(dc, control.backgroundColour);
  return reinterpret_cast<LRESULT>(control.brush);
}

HFONT CreateVerdana(int points) {
  const HDC display = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
  if (display == nullptr) return nullptr;
  const int height = FontHeight(points, GetDeviceCaps(display, LOGPIXELSY));
  const HFONT font = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, 0, L"Verdana");
  DeleteDC(display);
  return font;
}

const wchar_t* LabelText(int number) {
  switch (number) {
    case TitleLabel: return titleText.c_str();
    case DescriptionLabel: return descriptionText.c_str();
    default: return L"";
  }
}

void BuildLabel(int number) {
  Control* control = ControlByNumber(number);
  control->handle = CreateWindowExW(0, L"Static", LabelText(number), LabelStyle, control->x, control->y,
                                    control->width, control->height, aboutWindow, nullptr, nullptr, nullptr);
  if (control->handle == nullptr) return;
  SetWindowLongPtrW(control->handle, GWL_ID, number);
  SendMessageW(control->handle, WM_SETFONT, reinterpret_cast<WPARAM>(currentFont), TRUE);
  SetControlBackground(number, BackgroundColour);
  SetControlTextColour(number, LabelTextColour);
}

void BuildLink() {
  Control* control = ControlByNumber(HomepageLink);
  control->handle = CreateHomepageLink(aboutWindow, control->x, control->y, control->width, control->height,
                                       currentFont, LinkColour);
  SetControlBackground(HomepageLink, BackgroundColour);
  SetLinkNormalColour(control->handle, LinkColour);
}

// Tab and Shift+Tab: the focus goes to the next or previous control that
// takes it. The About window has none, so nothing changes.
void MoveFocus(bool backwards) {
  const HWND next = GetNextDlgTabItem(GetActiveWindow(), GetFocus(), backwards);
  if (next != nullptr) SetFocus(next);
}

LRESULT CALLBACK AboutWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (messageHook != nullptr) {
    const intptr_t answer = messageHook(window, message, wParam, lParam);
    if (answer != HookContinue) return answer;
  }
  switch (message) {
    case WM_CLOSE:
      // Closing only hides the window; it lives until the program ends.
      QueueEvent(CloseEvent, AboutWindowNumber, AboutWindowNumber, 0);
      return 0;
    case WM_COMMAND:
      if (RouteCommand(wParam, lParam, MoveFocus)) return 0;
      break;
    case TrayNotifyMessage:
      return HandleTrayNotification(window, wParam, lParam);
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(window, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, windowBrush);
      return 1;
    }
    case WM_CTLCOLORSTATIC:
      if (const Control* control = ControlByHandle(reinterpret_cast<HWND>(lParam))) {
        // The link paints its own text: it wants only its background brush.
        if (control->number == HomepageLink) return reinterpret_cast<LRESULT>(control->brush);
        return LabelColours(*control, reinterpret_cast<HDC>(wParam));
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void CentreOnScreen(HWND window) {
  RECT outer;
  GetWindowRect(window, &outer);
  const int x = CentredOrigin(outer.right - outer.left, GetSystemMetrics(SM_CXSCREEN));
  const int y = CentredOrigin(outer.bottom - outer.top, GetSystemMetrics(SM_CYSCREEN));
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::wstring Wide(const Text& text) {
  return std::wstring(text.begin(), text.end());
}

}  // namespace

void InstallMessageHook(MessageHook hook) {
  messageHook = hook;
}

void BuildAboutWindow(HINSTANCE instance, const wchar_t* programName, const wchar_t* title) {
  titleText = title;
  descriptionText = Wide(DescriptionText(expirySeconds));

  WNDCLASSW windowClass = {};
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = AboutWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = ClassName;
  RegisterClassW(&windowClass);

  RECT outer = {0, 0, ClientWidth, ClientHeight};
  AdjustWindowRectEx(&outer, WindowStyle, FALSE, 0);
  const std::wstring caption = std::wstring(L"About ") + programName;
  aboutWindow = CreateWindowExW(0, ClassName, caption.c_str(), WindowStyle, 1, 1, outer.right - outer.left,
                                outer.bottom - outer.top, nullptr, nullptr, instance, nullptr);
  if (aboutWindow == nullptr) return;
  CentreOnScreen(aboutWindow);

  ACCEL keys[2] = {
      {FVIRTKEY | FNOINVERT, VK_TAB, static_cast<WORD>(NextControlCommand)},
      {FVIRTKEY | FNOINVERT | FSHIFT, VK_TAB, static_cast<WORD>(PreviousControlCommand)},
  };
  aboutAccelerators = CreateAcceleratorTableW(keys, 2);

  windowBrush = CreateSolidBrush(BackgroundColour);
  RedrawWindow(aboutWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE);

  titleFont = CreateVerdana(16);
  currentFont = titleFont;
  BuildLabel(TitleLabel);
  textFont = CreateVerdana(8);
  currentFont = textFont;
  BuildLabel(DescriptionLabel);
  BuildLink();
  BuildLabel(NoticeLabel);
}

void ShowAboutWindow() {
  // Shown where it was left; only the first showing is at the centre.
  int how = SW_SHOWNORMAL;
  if (IsZoomed(aboutWindow)) {
    how = SW_SHOWMAXIMIZED;
  } else if (IsIconic(aboutWindow)) {
    how = SW_SHOWMINIMIZED;
  }
  ShowWindow(aboutWindow, how);
}

void HideAboutWindow() {
  ShowWindow(aboutWindow, SW_HIDE);
}

void DestroyAboutWindow(HINSTANCE instance) {
  if (aboutWindow == nullptr) return;
  DestroyWindow(aboutWindow);
  for (Control& control : controls) {
    if (control.brush != nullptr) ReleaseBrush(control.brush);
    control.brush = nullptr;
    control.handle = nullptr;
  }
  if (windowBrush != nullptr) DeleteObject(windowBrush);
  if (aboutAccelerators != nullptr) DestroyAcceleratorTable(aboutAccelerators);
  UnregisterClassW(ClassName, instance);
}

void DeleteAboutFonts() {
  if (titleFont != nullptr) DeleteObject(titleFont);
  if (textFont != nullptr) DeleteObject(textFont);
}
