// The tray operations against the real notification area of Wine, with an
// icon of the test's own (Wine's shell32 has no icon 296). A recorder in the
// shell call's place writes down every structure sent, then forwards it.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/TrayIcon.h"

namespace {

struct Sent {
  DWORD message;
  NOTIFYICONDATAW data;
};

std::vector<Sent> sent;
bool refuseAdd = false;

BOOL WINAPI Record(DWORD message, PNOTIFYICONDATAW data) {
  sent.push_back({message, *data});
  if (message == NIM_ADD && refuseAdd) return FALSE;
  return Shell_NotifyIconW(message, data);
}

class Tray : public testing::Test {
 protected:
  void SetUp() override {
    notifyIconCall = Record;
    sent.clear();
    refuseAdd = false;
    trayOwner.store(nullptr);
    window_ = CreateWindowExW(0, L"STATIC", L"tray owner", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    icon_ = LoadIconW(nullptr, IDI_APPLICATION);
    otherIcon_ = LoadIconW(nullptr, IDI_INFORMATION);
    ASSERT_NE(window_, nullptr);
    ASSERT_NE(icon_, nullptr);
  }
  void TearDown() override {
    RemoveTrayIcon();
    DestroyWindow(window_);
    notifyIconCall = Shell_NotifyIconW;
  }

  // Tooltip, image change and removal, none of which may send anything.
  void ExpectNothingSent() {
    const size_t before = sent.size();
    EXPECT_EQ(SetTrayTooltip(L"Kelvaro"), 0);
    EXPECT_EQ(SetTrayIcon(icon_), 0);
    RemoveTrayIcon();
    EXPECT_EQ(sent.size(), before);
  }

  HWND window_ = nullptr;
  HICON icon_ = nullptr;
  HICON otherIcon_ = nullptr;
};

void ExpectAddresses(const Sent& s, HWND owner, UINT flags) {
  EXPECT_EQ(s.data.cbSize, 956u);
  EXPECT_EQ(s.data.hWnd, owner);
  EXPECT_EQ(s.data.uID, 0u);
  EXPECT_EQ(s.data.uFlags, flags);
  EXPECT_EQ(s.data.dwState, 0u);
  EXPECT_EQ(s.data.uVersion, 0u);
}

TEST_F(Tray, AddTooltipImageAndRemove) {
  ExpectNothingSent();  // before registration

  AddTrayIcon(window_, icon_);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].message, static_cast<DWORD>(NIM_ADD));
  ExpectAddresses(sent[0], window_, NIF_MESSAGE | NIF_ICON);
  EXPECT_EQ(sent[0].data.uCallbackMessage, 12501u);
  EXPECT_EQ(sent[0].data.hIcon, icon_);
  EXPECT_EQ(sent[0].data.szTip[0], L'\0');
  ASSERT_EQ(trayOwner.load(), window_) << "the notification area refused the icon";

  EXPECT_NE(SetTrayTooltip(L"Kelvaro"), 0);
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[1].message, static_cast<DWORD>(NIM_MODIFY));
  ExpectAddresses(sent[1], window_, NIF_TIP);
  EXPECT_EQ(std::wstring(sent[1].data.szTip), L"Kelvaro");
  EXPECT_EQ(sent[1].data.hIcon, nullptr);

  const std::wstring longText(100, L'k');
  EXPECT_NE(SetTrayTooltip(longText.c_str()), 0);
  EXPECT_EQ(std::wstring(sent.back().data.szTip), std::wstring(63, L'k'));

  EXPECT_NE(SetTrayIcon(otherIcon_), 0);
  EXPECT_NE(SetTrayIcon(otherIcon_), 0) << "the same image is sent again";
  const size_t modifies = sent.size();
  ExpectAddresses(sent.back(), window_, NIF_ICON);
  EXPECT_EQ(sent.back().data.hIcon, otherIcon_);
  EXPECT_EQ(SetTrayIcon(nullptr), 0);
  EXPECT_EQ(sent.size(), modifies) << "a null icon sent something";

  RemoveTrayIcon();
  ASSERT_EQ(sent.size(), modifies + 1);
  EXPECT_EQ(sent.back().message, static_cast<DWORD>(NIM_DELETE));
  ExpectAddresses(sent.back(), window_, 0);
  EXPECT_EQ(trayOwner.load(), nullptr);

  ExpectNothingSent();  // after removal
}

TEST_F(Tray, NothingIsRegisteredWithoutOwnerOrIcon) {
  AddTrayIcon(nullptr, icon_);
  AddTrayIcon(window_, nullptr);
  EXPECT_TRUE(sent.empty());
  ExpectNothingSent();
}

TEST_F(Tray, ARefusedRegistrationLeavesEverythingSilent) {
  refuseAdd = true;
  AddTrayIcon(window_, icon_);
  EXPECT_EQ(sent.size(), 1u);
  EXPECT_EQ(trayOwner.load(), nullptr);
  ExpectNothingSent();
}

TEST_F(Tray, MenuHasItsThreeItemsInOrder) {
  BuildTrayMenu();
  ASSERT_NE(trayMenu, nullptr);
  ASSERT_EQ(GetMenuItemCount(trayMenu), 3);
  const struct {
    UINT identifier;
    const wchar_t* text;
  } expected[] = {{5, L"About"}, {6, L"Clear now"}, {7, L"Exit"}};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(GetMenuItemID(trayMenu, i), expected[i].identifier);
    wchar_t text[32] = {};
    GetMenuStringW(trayMenu, i, text, 32, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(text), expected[i].text);
    EXPECT_EQ(GetMenuState(trayMenu, i, MF_BYPOSITION) & (MF_SEPARATOR | MF_CHECKED | MF_DISABLED | MF_GRAYED), 0u);
  }
}

}  // namespace
