// The About window of the running program, and the icon in the program file.

#include "tests/win32/ProgramDriver.h"

#include <vector>

namespace {

using namespace driver;

class AboutWindow : public Program {
 protected:
  void SetUp() override {
    Start(L"45");
    window_ = ProgramWindow();
    ASSERT_NE(window_, nullptr);
  }
  void ShowAbout() {
    PostMessageW(window_, WM_COMMAND, CommandAbout, 0);
    ASSERT_TRUE(WaitUntil([this] { return IsWindowVisible(window_) != FALSE; }, 10)) << "About did not show";
  }
  void CloseBox() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([this] { return IsWindowVisible(window_) == FALSE; }, 10)) << "close did not hide";
  }
  RECT Outer() const {
    RECT outer;
    GetWindowRect(window_, &outer);
    return outer;
  }
  // A control's rectangle in the window's client coordinates.
  RECT InClient(HWND control) const {
    RECT box;
    GetWindowRect(control, &box);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&box), 2);
    return box;
  }
  HWND window_ = nullptr;
};

TEST_F(AboutWindow, HiddenUntilAboutThenCentredWithItsCaptionAndSize) {
  EXPECT_FALSE(IsWindowVisible(window_));
  ShowAbout();

  wchar_t caption[64] = {};
  GetWindowTextW(window_, caption, 64);
  EXPECT_EQ(std::wstring(caption), L"About Kelvaro");

  RECT client;
  GetClientRect(window_, &client);
  EXPECT_EQ(client.right, 331);
  EXPECT_EQ(client.bottom, 162);

  const RECT outer = Outer();
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2);

  const LONG style = GetWindowLongW(window_, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_EQ(style & WS_SYSMENU, WS_SYSMENU);
  EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
  EXPECT_EQ(GetWindow(window_, GW_OWNER), nullptr);
}

TEST_F(AboutWindow, CloseHidesAndTheNextAboutShowsTheSameWindowWhereItWasLeft) {
  ShowAbout();
  SetWindowPos(window_, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(WaitUntil([this] { return Outer().left == 40 && Outer().top == 30; }, 10));

  CloseBox();
  EXPECT_TRUE(IsWindow(window_));
  EXPECT_TRUE(Running());

  ShowAbout();
  EXPECT_EQ(ProgramWindow(), window_);
  EXPECT_EQ(Outer().left, 40) << "re-centred";
  EXPECT_EQ(Outer().top, 30) << "re-centred";
}

TEST_F(AboutWindow, LabelsByIdentifier) {
  struct Row {
    int identifier;
    std::wstring text;
    RECT box;
  };
  const Row rows[] = {
      {1, L"Kelvaro 1.07.001", {1, 8, 331, 40}},
      {2, L"Securely clears clipboard text after 45 seconds,\r\nor upon locking the user session", {1, 38, 331, 93}},
      {3, L"", {1, 135, 331, 190}},
  };
  const LONG labelStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOPREFIX | SS_CENTER;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.identifier);
    const HWND control = GetDlgItem(window_, row.identifier);
    ASSERT_NE(control, nullptr);
    wchar_t className[32] = {};
    GetClassNameW(control, className, 32);
    EXPECT_EQ(_wcsicmp(className, L"Static"), 0) << className;
    wchar_t text[160] = {};
    GetWindowTextW(control, text, 160);
    EXPECT_EQ(std::wstring(text), row.text);
    const RECT box = InClient(control);
    EXPECT_EQ(box.left, row.box.left);
    EXPECT_EQ(box.top, row.box.top);
    EXPECT_EQ(box.right, row.box.right);
    EXPECT_EQ(box.bottom, row.box.bottom);
    EXPECT_EQ(GetWindowLongW(control, GWL_STYLE), labelStyle);
    EXPECT_EQ(GetWindowLongW(control, GWL_EXSTYLE), 0);
  }
  EXPECT_EQ(GetDlgItem(window_, 5), nullptr);

  // The link: a plain child static control with no style of its own, shown.
  const HWND link = GetDlgItem(window_, 4);
  ASSERT_NE(link, nullptr);
  wchar_t text[32] = {};
  GetWindowTextW(link, text, 32);
  EXPECT_EQ(std::wstring(text), L"Homepage");
  const RECT box = InClient(link);
  EXPECT_EQ(box.left, 133);
  EXPECT_EQ(box.top, 108);
  EXPECT_EQ(box.right, 203);
  EXPECT_EQ(box.bottom, 133);
  EXPECT_EQ(GetWindowLongW(link, GWL_STYLE), static_cast<LONG>(WS_CHILD | WS_VISIBLE));
  EXPECT_EQ(GetWindowLongW(link, GWL_EXSTYLE), 0);
}

TEST_F(AboutWindow, PaintsDarkGreyWithLightText) {
  ShowAbout();
  PumpFor(1000);  // let it paint
  const HDC screen = GetDC(nullptr);
  auto pixelAt = [&](int x, int y) {
    POINT point = {x, y};
    ClientToScreen(window_, &point);
    return GetPixel(screen, point.x, point.y);
  };
  EXPECT_EQ(pixelAt(3, 100), RGB(64, 64, 64)) << "window background";
  EXPECT_EQ(pixelAt(3, 20), RGB(64, 64, 64)) << "label background";
  bool lightText = false;
  for (int x = 60; x < 270 && !lightText; ++x) {
    for (int y = 8; y < 40 && !lightText; ++y) lightText = pixelAt(x, y) == RGB(223, 223, 223);
  }
  ReleaseDC(nullptr, screen);
  EXPECT_TRUE(lightText) << "no pixel of the title in its text colour";
}

// The icon resource as it stands in the built program file.
TEST(ProgramIcon, OneEightByEightImageInTwoColours) {
  const HMODULE program = LoadLibraryExW(BesideThisProgram(L"kelvaro.exe").c_str(), nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr);
  const HRSRC groupResource = FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
  ASSERT_NE(groupResource, nullptr);
  const auto* group = static_cast<const BYTE*>(LockResource(LoadResource(program, groupResource)));
  const WORD count = *reinterpret_cast<const WORD*>(group + 4);
  ASSERT_EQ(count, 1);
  const BYTE* entry = group + 6;  // width, height, colours, reserved, planes, bits, bytes, id
  EXPECT_EQ(entry[0], 8);
  EXPECT_EQ(entry[1], 8);
  const WORD imageId = *reinterpret_cast<const WORD*>(entry + 12);

  const HRSRC imageResource = FindResourceW(program, MAKEINTRESOURCEW(imageId), MAKEINTRESOURCEW(3));  // RT_ICON
  ASSERT_NE(imageResource, nullptr);
  const auto* image = static_cast<const BYTE*>(LockResource(LoadResource(program, imageResource)));
  const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(image);
  EXPECT_EQ(header->biWidth, 8);
  EXPECT_EQ(header->biHeight, 16);  // the image and its mask
  EXPECT_EQ(header->biBitCount, 1);

  const auto* colours = reinterpret_cast<const RGBQUAD*>(image + header->biSize);
  EXPECT_EQ(RGB(colours[0].rgbRed, colours[0].rgbGreen, colours[0].rgbBlue), RGB(168, 240, 247));
  EXPECT_EQ(RGB(colours[1].rgbRed, colours[1].rgbGreen, colours[1].rgbBlue), RGB(6, 86, 151));

  // Rows are stored from the bottom up, each in four bytes.
  const BYTE* pixels = image + header->biSize + 2 * sizeof(RGBQUAD);
  std::vector<BYTE> rows;
  for (int row = 7; row >= 0; --row) rows.push_back(pixels[row * 4]);
  EXPECT_EQ(rows, (std::vector<BYTE>{0xFF, 0x85, 0xBF, 0xBD, 0xBD, 0xFD, 0xA1, 0xFF}));
  const BYTE* mask = pixels + 8 * 4;
  for (int i = 0; i < 8 * 4; ++i) EXPECT_EQ(mask[i], 0) << "mask byte " << i;
  FreeLibrary(program);
}

}  // namespace
