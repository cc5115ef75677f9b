#include "core/StartupSettings.h"

#include <cstring>

namespace {

constexpr char16_t Space = u' ';
constexpr char16_t Tab = u'\t';
constexpr char16_t Quote = u'"';

// The value of one digit in a base, or -1 when the unit is not such a digit.
int DigitValue(char16_t unit, unsigned base) {
  int value = -1;
  if (unit >= u'0' && unit <= u'9') {
    value = unit - u'0';
  } else if (unit >= u'A' && unit <= u'F') {
    value = unit - u'A' + 10;
  } else if (unit >= u'a' && unit <= u'f') {
    value = unit - u'a' + 10;
  }
  return value >= 0 && static_cast<unsigned>(value) < base ? value : -1;
}

}  // namespace

Text FirstCommandLineArgument(TextView commandLine) {
  const TextView line = UpToFirstNull(commandLine);
  size_t at = 0;
  for (int tokenIndex = 0;; ++tokenIndex) {
    while (at < line.size() && line[at] == Space) ++at;
    if (at == line.size()) return Text();

    TextView token;
    if (line[at] == Quote) {
      const size_t start = at + 1;
      const size_t close = line.find(Quote, start);
      const size_t end = close == TextView::npos ? line.size() : close;
      token = line.substr(start, end - start);
      // A unit right after the closing quote starts the next token.
      at = close == TextView::npos ? line.size() : close + 1;
    } else {
      const size_t space = line.find(Space, at);
      const size_t end = space == TextView::npos ? line.size() : space;
      token = line.substr(at, end - at);
      at = space == TextView::npos ? line.size() : space + 1;
    }
    if (tokenIndex == 1) return Text(token);
  }
}

int64_t ParseIntegerText(TextView text) {
  const TextView units = UpToFirstNull(text);
  size_t at = 0;
  while (at < units.size() && (units[at] == Space || units[at] == Tab)) ++at;

  bool negative = false;
  if (at < units.size() && (units[at] == u'-' || units[at] == u'+')) {
    negative = units[at] == u'-';
    ++at;
  }

  unsigned base = 10;
  if (at < units.size() && units[at] == u'$') {
    base = 16;
    ++at;
  } else if (at < units.size() && units[at] == u'%') {
    base = 2;
    ++at;
  }

  // Unsigned arithmetic wraps by definition, so no input overflows.
  uint64_t value = 0;
  for (; at < units.size(); ++at) {
    const int digit = DigitValue(units[at], base);
    if (digit < 0) break;
    value = value * base + static_cast<unsigned>(digit);
  }
  if (negative) value = 0 - value;

  int64_t result;
  std::memcpy(&result, &value, sizeof result);  // the same 64 bits, signed
  return result;
}

int32_t ResolveExpirySeconds(TextView commandLine) {
  const int64_t parsed = ParseIntegerText(FirstCommandLineArgument(commandLine));
  const uint32_t low = static_cast<uint32_t>(static_cast<uint64_t>(parsed));
  int32_t seconds;
  std::memcpy(&seconds, &low, sizeof seconds);
  // A negative delay would never start a countdown; nobody asks for that.
  if (seconds <= 0 || seconds > MaximumExpirySeconds) return DefaultExpirySeconds;
  return seconds;
}

Text DelayText(int32_t seconds) {
  // Widened first, so that the most negative value has a magnitude too.
  const int64_t wide = seconds;
  uint64_t magnitude = static_cast<uint64_t>(wide < 0 ? -wide : wide);
  Text digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  if (wide < 0) digits.insert(digits.begin(), u'-');
  return digits;
}

OsVersionCode ClassifyOsVersion(const VersionFacts& facts) {
  if (!facts.queryOk) return UnrecognisedOs;

  if (facts.platformId == 1) {  // Windows 95, 98 and Me; the major is not looked at
    switch (facts.minor) {
      case 0: return 10;
      case 10: return 30;
      case 90: return 40;
      default: return UnrecognisedOs;
    }
  }

  if (facts.platformId == 2) {
    const uint32_t major = facts.major;
    const uint32_t minor = facts.minor;
    const bool workstation = facts.workstation;
    if (major == 3) return 5;
    if (major == 4) return 20;
    if (major == 5 && minor == 0) return 50;
    if (major == 5 && minor == 1) return 60;
    if (major == 5 && minor == 2) return workstation ? 60 : 65;
    if (major == 6 && minor == 0) return workstation ? 70 : 75;
    if (major == 6 && minor == 1) return workstation ? 80 : 85;
    if (major == 6 && minor == 2) return workstation ? 90 : 95;
  }
  return UnrecognisedOs;
}

bool IsSupportedOs(OsVersionCode code) {
  return code >= OldestSupportedOs;
}
