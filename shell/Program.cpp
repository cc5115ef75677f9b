// The process: start-up in a fixed order, the main loop, and the one way out.
// Only the OS gate and the instance lock end start-up early; every path ends
// in ExitProcess(0), and no other result of start-up is examined.

#include <windows.h>

#include <string>

#include "core/ExpiryEngine.h"
#include "core/StartupSettings.h"
#include "shell/AboutWindow.h"
#include "shell/EventLoop.h"
#include "shell/HomepageLink.h"
#include "shell/TrayIcon.h"

namespace {

constexpr wchar_t ProgramName[] = L"Kelvaro";
constexpr wchar_t VersionText[] = L"1.07.001";
constexpr DWORD WorkerStackSize = 4096;
constexpr uintptr_t WorkerParameter = 42;

using AddListenerEntry = BOOL(WINAPI*)(HWND window);

HINSTANCE programInstance = nullptr;
HMODULE listenerLibrary = nullptr;
HANDLE workerThread = nullptr;

Text CommandLineText() {
  Text line;
  for (const wchar_t* unit = GetCommandLineW(); *unit != L'\0'; ++unit) {
    line.push_back(static_cast<char16_t>(*unit));
  }
  return line;
}

// Takes one message and handles it: through the window's keyboard
// accelerators while the About window is active, otherwise translated and
// dispatched. Answers the message's number.
int32_t DispatchOneMessage() {
  MSG message;
  if (GetMessageW(&message, nullptr, 0, 0) == -1) return -1;
  if (aboutAccelerators != nullptr && GetActiveWindow() == aboutWindow &&
      TranslateAcceleratorW(aboutWindow, aboutAccelerators, &message)) {
    return static_cast<int32_t>(message.message);
  }
  TranslateMessage(&message);
  DispatchMessageW(&message);
  return static_cast<int32_t>(message.message);
}

// Releases what start-up built, in order, and ends the process. The worker is
// not stopped: it ends with the process, wherever it is.
[[noreturn]] void Shutdown() {
  if (workerThread != nullptr) CloseHandle(workerThread);
  RemoveTrayIcon();  // before the window goes, so that no icon is left behind
  if (listenerLibrary != nullptr) FreeLibrary(listenerLibrary);
  DestroyAboutWindow(programInstance);
  DeleteAboutFonts();
  ExitProcess(0);
}

// A tray click or "Clear now": wiped at once, on the main thread.
void WipeNow() {
  SecureWipe();
}

void ShowMenuOfAboutWindow() {
  ShowTrayMenu(aboutWindow);
}

void StartWorker() {
  workerThread = CreateThread(nullptr, WorkerStackSize, ExpiryWorker, reinterpret_cast<void*>(WorkerParameter),
                              0, nullptr);
}

// The listener registration exists from Vista on; looked up at run time so
// that an older or unusual system runs on without clipboard notifications.
AddListenerEntry LookUpListenerEntry() {
  listenerLibrary = LoadLibraryW(L"user32.dll");
  if (listenerLibrary == nullptr) return nullptr;
  char name[260];
  if (WideCharToMultiByte(CP_ACP, 0, L"AddClipboardFormatListener", -1, name, sizeof name, nullptr, nullptr) == 0) {
    return nullptr;
  }
  return reinterpret_cast<AddListenerEntry>(reinterpret_cast<void*>(GetProcAddress(listenerLibrary, name)));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  programInstance = instance;
  engineOps = Win32EngineOps(SetTrayIcon);
  loopActions = {DispatchOneMessage, WipeNow, ShowMenuOfAboutWindow, ShowAboutWindow, HideAboutWindow,
                 OpenHomepage};

  if (!IsSupportedOs(ClassifyOsVersion(GatherVersionFacts()))) Shutdown();
  StartupWipe();
  expirySeconds = ResolveExpirySeconds(CommandLineText());

  // One instance per user session: the name has no namespace prefix. Two
  // starts at the same moment can both find no lock; the one whose
  // CreateMutexW finds the name taken leaves as well.
  if (OpenMutexW(MUTEX_ALL_ACCESS, FALSE, ProgramName) != nullptr) Shutdown();
  if (CreateMutexW(nullptr, FALSE, ProgramName) != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) Shutdown();

  const std::wstring title = std::wstring(ProgramName) + L" " + VersionText;
  BuildAboutWindow(instance, ProgramName, title.c_str());
  BuildTrayMenu();
  LoadTrayIcons();
  AddTrayIcon(aboutWindow, static_cast<HICON>(idleIcon));
  SetTrayTooltip(ProgramName);
  const AddListenerEntry addListener = LookUpListenerEntry();
  StartWorker();
  InstallMessageHook(ClipboardUpdateHandler);
  if (addListener != nullptr) addListener(aboutWindow);

  MainLoop();
  Shutdown();
}
