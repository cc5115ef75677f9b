// The homepage link of the running program, clicked with real mouse input.
// The prefix's https handler is replaced by a recorder that writes down every
// address it is given, so each opening of the homepage is one line.

#include "tests/win32/ProgramDriver.h"

#include <cstdio>
#include <vector>

namespace {

using namespace driver;

const wchar_t* const HandlerKey = L"Software\\Classes\\https\\shell\\open\\command";

std::vector<std::string> RecordedAddresses() {
  std::vector<std::string> lines;
  FILE* log = _wfopen(BesideThisProgram(L"url_log.txt").c_str(), L"rb");
  if (log == nullptr) return lines;
  std::string line;
  for (int c; (c = std::fgetc(log)) != EOF;) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += static_cast<char>(c);
    }
  }
  std::fclose(log);
  return lines;
}

void Button(DWORD flags) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
  PumpFor(60);
}

class Link : public Program {
 protected:
  void SetUp() override {
    // Remember the prefix's own handler and put the recorder in its place.
    wchar_t previous[1024] = {};
    DWORD size = sizeof previous;
    hadHandler_ = RegGetValueW(HKEY_LOCAL_MACHINE, HandlerKey, nullptr, RRF_RT_REG_SZ, nullptr, previous, &size) ==
                  ERROR_SUCCESS;
    previousHandler_ = previous;
    const std::wstring recorder = L"\"" + BesideThisProgram(L"url_recorder.exe") + L"\" \"%1\"";
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, HandlerKey, nullptr, REG_SZ, recorder.c_str(),
                              static_cast<DWORD>((recorder.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    DeleteFileW(BesideThisProgram(L"url_log.txt").c_str());

    Start(L"20");
    window_ = ProgramWindow();
    PostMessageW(window_, WM_COMMAND, CommandAbout, 0);
    ASSERT_TRUE(WaitUntil([this] { return IsWindowVisible(window_) != FALSE; }, 10));
    PumpFor(500);
    link_ = GetDlgItem(window_, 4);
    ASSERT_NE(link_, nullptr);
  }
  void TearDown() override {
    if (hadHandler_) {
      RegSetKeyValueW(HKEY_LOCAL_MACHINE, HandlerKey, nullptr, REG_SZ, previousHandler_.c_str(),
                      static_cast<DWORD>((previousHandler_.size() + 1) * sizeof(wchar_t)));
    } else {
      RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, HandlerKey, nullptr);
    }
    Program::TearDown();
  }

  void PointAt(HWND target, int x, int y) {
    POINT point = {x, y};
    ClientToScreen(target, &point);
    SetCursorPos(point.x, point.y);
    PumpFor(100);
  }
  void OverLink() { PointAt(link_, 35, 12); }
  void OverBackground() { PointAt(window_, 20, 110); }

  // Waits for `expected` addresses in all, then a little longer for extras.
  std::vector<std::string> AddressesAfter(size_t expected) {
    WaitUntil([expected] { return RecordedAddresses().size() >= expected; }, 15);
    PumpFor(1500);
    return RecordedAddresses();
  }

  HWND window_ = nullptr;
  HWND link_ = nullptr;
  bool hadHandler_ = false;
  std::wstring previousHandler_;
};

TEST_F(Link, EachLeftReleaseOverTheLinkOpensTheHomepageOnce) {
  const std::string address = "https://kelvaro.example/ovk/apps.html";

  OverLink();
  Button(MOUSEEVENTF_LEFTDOWN);
  Button(MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(AddressesAfter(1), std::vector<std::string>{address}) << "one click";

  Button(MOUSEEVENTF_LEFTDOWN);
  Button(MOUSEEVENTF_LEFTUP);
  Button(MOUSEEVENTF_LEFTDOWN);
  Button(MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(AddressesAfter(3).size(), 3u) << "a double click opens twice";

  Button(MOUSEEVENTF_LEFTDOWN);
  OverBackground();
  Button(MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(AddressesAfter(3).size(), 3u) << "a press on the link released outside it";

  OverLink();
  Button(MOUSEEVENTF_RIGHTDOWN);
  Button(MOUSEEVENTF_RIGHTUP);
  EXPECT_EQ(AddressesAfter(3).size(), 3u) << "the right button";

  OverBackground();
  Button(MOUSEEVENTF_LEFTDOWN);
  OverLink();
  Button(MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(AddressesAfter(4).size(), 4u) << "a press elsewhere released over the link";

  for (const std::string& opened : RecordedAddresses()) EXPECT_EQ(opened, address);
  EXPECT_TRUE(Running());
}

}  // namespace
