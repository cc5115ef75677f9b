// The installer and its uninstaller, run silently in the test prefix.

#include "tests/win32/DriverTools.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>

namespace {

using namespace driver;

const wchar_t* const UninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvaro";

std::wstring Folder(int which) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, which, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The target and the arguments of a shortcut.
bool ReadShortcut(const std::wstring& link, std::wstring* target, std::wstring* arguments) {
  IShellLinkW* shell = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&shell)))) {
    return false;
  }
  IPersistFile* file = nullptr;
  bool read = false;
  if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    if (SUCCEEDED(file->Load(link.c_str(), STGM_READ))) {
      wchar_t buffer[MAX_PATH] = {};
      shell->GetPath(buffer, MAX_PATH, nullptr, 0);
      *target = buffer;
      shell->GetArguments(buffer, MAX_PATH);
      *arguments = buffer;
      read = true;
    }
    file->Release();
  }
  shell->Release();
  return read;
}

std::wstring RegistryText(const wchar_t* name) {
  wchar_t value[256] = {};
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, UninstallKey, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
    return L"";
  }
  return value;
}

DWORD RunAndWait(const std::wstring& path, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + path + L"\" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return 9999;
  }
  DWORD code = 9998;
  if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

bool UninstallEntryExists() {
  HKEY key = nullptr;
  const bool exists = RegOpenKeyExW(HKEY_CURRENT_USER, UninstallKey, 0, KEY_READ, &key) == ERROR_SUCCESS;
  if (key != nullptr) RegCloseKey(key);
  return exists;
}

// Whatever a failed run leaves, the next run starts without: a running
// program is ended and an installed one uninstalled.
struct CleanUp {
  std::wstring installed;
  PROCESS_INFORMATION* running;
  ~CleanUp() {
    if (running->hProcess != nullptr && WaitForSingleObject(running->hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(running->hProcess, 9);
    }
    if (Exists(installed + L"\\uninstall.exe")) RunAndWait(installed + L"\\uninstall.exe", L"/S");
  }
};

TEST(Installer, SilentInstallThenUninstallLeavesNothingBehind) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  const std::wstring installed = Folder(CSIDL_LOCAL_APPDATA) + L"\\Programs\\Kelvaro";
  const std::wstring program = installed + L"\\kelvaro.exe";
  const std::wstring menuLink = Folder(CSIDL_PROGRAMS) + L"\\Kelvaro.lnk";
  const std::wstring startupLink = Folder(CSIDL_STARTUP) + L"\\Kelvaro.lnk";
  PROCESS_INFORMATION running = {};
  CleanUp cleanUp = {installed, &running};

  ASSERT_EQ(RunAndWait(BesideThisProgram(L"kelvaro-setup.exe"), L"/S"), 0u);
  PumpFor(2000);
  EXPECT_EQ(FindWindowW(L"WindowClass_0", nullptr), nullptr) << "a silent install started the program";
  EXPECT_TRUE(Exists(program));
  EXPECT_TRUE(Exists(installed + L"\\uninstall.exe"));
  for (const std::wstring& link : {menuLink, startupLink}) {
    SCOPED_TRACE(std::string(link.begin(), link.end()));
    std::wstring target, arguments;
    ASSERT_TRUE(ReadShortcut(link, &target, &arguments)) << "no shortcut";
    EXPECT_EQ(_wcsicmp(target.c_str(), program.c_str()), 0);
    EXPECT_EQ(arguments, L"20");
  }
  EXPECT_EQ(RegistryText(L"DisplayName"), L"Kelvaro");
  EXPECT_EQ(RegistryText(L"DisplayVersion"), L"1.07.001");
  EXPECT_FALSE(RegistryText(L"Publisher").empty());

  // The installed program runs, and only once.
  ActiveWindow active;
  std::wstring commandLine = L"\"" + program + L"\" 20";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  ASSERT_TRUE(CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &running));
  ASSERT_EQ(WaitForInputIdle(running.hProcess, 30000), 0u);
  EXPECT_EQ(RunAndWait(program, L"20"), 0u) << "a second start must end at once";
  EXPECT_EQ(WaitForSingleObject(running.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));

  // The uninstaller ends it through its "Exit" command, then removes everything.
  RunAndWait(installed + L"\\uninstall.exe", L"/S");
  DWORD code = 1;
  const bool ended = WaitForSingleObject(running.hProcess, 30000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(running.hProcess, 9);
  GetExitCodeProcess(running.hProcess, &code);
  CloseHandle(running.hThread);
  CloseHandle(running.hProcess);
  EXPECT_TRUE(ended) << "the uninstaller did not end the running program";
  EXPECT_EQ(code, 0u);

  running = {};

  // The uninstaller works from a copy of itself; give it time to finish.
  WaitUntil([&] { return !Exists(installed) && !Exists(menuLink) && !Exists(startupLink) && !UninstallEntryExists(); },
            30);
  EXPECT_FALSE(Exists(installed)) << "the program folder is left";
  EXPECT_FALSE(Exists(menuLink));
  EXPECT_FALSE(Exists(startupLink));
  EXPECT_FALSE(UninstallEntryExists()) << "the uninstall entry is left";
  CoUninitialize();
}

}  // namespace
