#include <windows.h>

#include "core/StartupSettings.h"

static_assert(sizeof(OSVERSIONINFOA) == 148, "basic version structure");
static_assert(sizeof(OSVERSIONINFOEXA) == 156, "extended version structure");

VersionFacts GatherVersionFacts() {
  VersionFacts facts;
  OSVERSIONINFOA basic = {};
  basic.dwOSVersionInfoSize = sizeof basic;
  if (!GetVersionExA(&basic)) return facts;

  facts.queryOk = true;
  facts.platformId = basic.dwPlatformId;
  facts.major = basic.dwMajorVersion;
  facts.minor = basic.dwMinorVersion;

  if (facts.platformId == VER_PLATFORM_WIN32_NT) {
    OSVERSIONINFOEXA extended = {};
    extended.dwOSVersionInfoSize = sizeof extended;
    if (GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&extended))) {
      facts.workstation = extended.wProductType == VER_NT_WORKSTATION;
    }
  }
  return facts;
}
