#pragma once
// Start-up decisions made from plain inputs: the delay from the command line,
// and from the Windows version facts whether the program runs at all.

#include <cstdint>

#include "core/Text.h"

// Default delay, and the largest accepted one, in countdown cycles (seconds).
constexpr int32_t DefaultExpirySeconds = 20;
constexpr int32_t MaximumExpirySeconds = 600;

// Token 1 of a command line as GetCommandLineW gives it (token 0 is the program
// path), or the empty text when there is none. Only U+0020 separates tokens; a
// double quote opens a quoted token only as a token's first character, and
// there is no escape character.
Text FirstCommandLineArgument(TextView commandLine);

// The integer at the start of a text: leading blanks and tabs, one optional
// sign, then "$" for hexadecimal, "%" for binary, or decimal digits. Digits
// accumulate modulo 2^64 and the first non-digit ends the number. Never fails:
// text without digits gives 0.
int64_t ParseIntegerText(TextView text);

// The delay for a command line: the low 32 bits of its first argument's
// integer, with 0, negative values and values above 600 replaced by 20.
int32_t ResolveExpirySeconds(TextView commandLine);

// Plain signed decimal digits of a delay, as the About window shows it.
Text DelayText(int32_t seconds);

// Facts about the running Windows version, as the version query reports them.
struct VersionFacts {
  bool queryOk = false;      // the first query succeeded
  uint32_t platformId = 0;   // 1: Windows 9x family, 2: Windows NT family
  uint32_t major = 0;
  uint32_t minor = 0;
  bool workstation = false;  // NT only: the extended query says workstation
};

// Larger codes are newer systems; 200 is any system not recognised.
using OsVersionCode = int32_t;
constexpr OsVersionCode UnrecognisedOs = 200;
constexpr OsVersionCode OldestSupportedOs = 70;  // Windows Vista

OsVersionCode ClassifyOsVersion(const VersionFacts& facts);

// Vista and later run, and so does every system that is not recognised.
bool IsSupportedOs(OsVersionCode code);

#ifdef _WIN32
// Asks GetVersionExA, first with the 148-byte structure, then, on the NT
// platform, with the 156-byte extended one for the product type.
VersionFacts GatherVersionFacts();
#endif
