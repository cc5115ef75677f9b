// Command lines, delays and the Windows version gate.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "core/StartupSettings.h"

namespace {

std::string Narrow(const Text& text) {
  std::string out;
  for (char16_t unit : text) out += unit < 0x80 ? static_cast<char>(unit) : '?';
  return out;
}

struct CommandLineRow {
  Text rest;  // what follows "prog.exe "
  Text firstArgument;
  int32_t expirySeconds;
};

const CommandLineRow commandLineRows[] = {
    {u"", u"", 20},
    {u"45", u"45", 45},
    {u"   45   ", u"45", 45},
    {u"600", u"600", 600},
    {u"601", u"601", 20},
    {u"0", u"0", 20},
    {u"1", u"1", 1},
    {u"+45", u"+45", 45},
    {u"45s", u"45s", 45},
    {u"4.5", u"4.5", 4},
    {u"abc", u"abc", 20},
    {u"$258", u"$258", 600},
    {u"$1f", u"$1f", 31},
    {u"%101", u"%101", 5},
    {u"%102", u"%102", 2},
    {u"0x1F", u"0x1F", 20},
    {u"$-10", u"$-10", 20},
    {u"- 5", u"-", 20},
    {u"30 45", u"30", 30},
    {u"\"  30\"", u"  30", 30},
    {u"\"\t30\"", u"\t30", 30},
    {u"$", u"$", 20},
    {u"\"\" 30", u"", 20},
    {u"\"3\"0", u"3", 3},
    {u"3\"0\"", u"3\"0\"", 3},
    {u"\"30", u"30", 30},
    {u"4294967297", u"4294967297", 1},
    {u"4294967896", u"4294967896", 600},
    {u"4294967296", u"4294967296", 20},
    {u"2147483647", u"2147483647", 20},
    {u"99999999999999999999", u"99999999999999999999", 20},
    // A negative delay would disable every timed wipe: it becomes the default.
    {u"-5", u"-5", 20},
    {u"-600", u"-600", 20},
    {u"4294967295", u"4294967295", 20},  // low 32 bits read as -1
    {u"$FFFFFFFF", u"$FFFFFFFF", 20},
    {u"\t5", u"\t5", 5},  // a tab is no separator, but ParseIntegerText skips it
};

TEST(CommandLine, FirstArgumentAndDelayForEachRow) {
  for (const CommandLineRow& row : commandLineRows) {
    const Text line = u"prog.exe " + row.rest;
    SCOPED_TRACE(Narrow(line));
    EXPECT_EQ(FirstCommandLineArgument(line), row.firstArgument);
    EXPECT_EQ(ResolveExpirySeconds(line), row.expirySeconds);
  }
}

TEST(CommandLine, ProgramPathForms) {
  struct Row {
    Text line;
    Text firstArgument;
    int32_t expirySeconds;
  };
  const Row rows[] = {
      {u"\"C:\\Program Files\\prog.exe\" 90", u"90", 90},
      {u"prog.exe\t45", u"", 20},  // a tab does not end the program path
      {u"prog.exe", u"", 20},
      {u"", u"", 20},
      {u"prog.exe    ", u"", 20},
      {Text(u"prog.exe 7\0 9", 12), u"7", 7},  // the text ends at its first null
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Narrow(row.line));
    EXPECT_EQ(FirstCommandLineArgument(row.line), row.firstArgument);
    EXPECT_EQ(ResolveExpirySeconds(row.line), row.expirySeconds);
  }
}

TEST(CommandLine, ParseIntegerTextKeepsAll64Bits) {
  struct Row {
    Text text;
    int64_t value;
  };
  const Row rows[] = {
      {u"", 0},
      {u"-", 0},
      {u"+", 0},
      {u"%", 0},
      {u" \t \t12", 12},
      {u"-12", -12},
      {u"+-12", 0},
      {u"$fF", 255},
      {u"-$10", -16},
      {u"%1111111111111111111111111111111111111111111111111111111111111111", -1},
      {u"9223372036854775807", INT64_MAX},
      {u"9223372036854775808", INT64_MIN},
      {u"18446744073709551616", 0},  // 2^64 wraps to 0
      {u"-9223372036854775808", INT64_MIN},
      {u"$10000000000000001", 1},
      {u"12\u0663", 12},  // only ASCII digits count
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Narrow(row.text));
    EXPECT_EQ(ParseIntegerText(row.text), row.value);
  }
}

TEST(Delay, TextIsPlainSignedDecimal) {
  EXPECT_EQ(DelayText(1), u"1");
  EXPECT_EQ(DelayText(20), u"20");
  EXPECT_EQ(DelayText(600), u"600");
  EXPECT_EQ(DelayText(0), u"0");
  EXPECT_EQ(DelayText(-7), u"-7");
  EXPECT_EQ(DelayText(INT32_MIN), u"-2147483648");
  EXPECT_EQ(DelayText(INT32_MAX), u"2147483647");
}

struct VersionRow {
  const char* system;
  VersionFacts facts;
  OsVersionCode code;
  bool supported;
};

const VersionRow versionRows[] = {
    {"failed query", {false, 2, 6, 1, true}, 200, true},
    {"platform 0", {true, 0, 6, 1, true}, 200, true},
    {"platform 3", {true, 3, 6, 1, true}, 200, true},
    {"Windows 95", {true, 1, 4, 0, false}, 10, false},
    {"Windows 98", {true, 1, 4, 10, false}, 30, false},
    {"Windows Me", {true, 1, 4, 90, false}, 40, false},
    {"platform 1, minor 5", {true, 1, 4, 5, false}, 200, true},
    {"platform 1, major ignored", {true, 1, 9, 10, true}, 30, false},
    {"NT 3.51", {true, 2, 3, 51, true}, 5, false},
    {"NT 4.0", {true, 2, 4, 0, true}, 20, false},
    {"2000", {true, 2, 5, 0, true}, 50, false},
    {"XP", {true, 2, 5, 1, true}, 60, false},
    {"XP 64-bit", {true, 2, 5, 2, true}, 60, false},
    {"Server 2003", {true, 2, 5, 2, false}, 65, false},
    {"Vista", {true, 2, 6, 0, true}, 70, true},
    {"Server 2008 or failed extended query", {true, 2, 6, 0, false}, 75, true},
    {"7", {true, 2, 6, 1, true}, 80, true},
    {"Server 2008 R2", {true, 2, 6, 1, false}, 85, true},
    {"8", {true, 2, 6, 2, true}, 90, true},
    {"Server 2012", {true, 2, 6, 2, false}, 95, true},
    {"NT 6.3", {true, 2, 6, 3, true}, 200, true},
    {"NT 10.0", {true, 2, 10, 0, true}, 200, true},
    {"NT 5.3", {true, 2, 5, 3, true}, 200, true},
};

TEST(OsVersion, ClassificationAndGate) {
  for (const VersionRow& row : versionRows) {
    SCOPED_TRACE(row.system);
    EXPECT_EQ(ClassifyOsVersion(row.facts), row.code);
    EXPECT_EQ(IsSupportedOs(row.code), row.supported);
  }
}

TEST(OsVersion, GateBoundary) {
  EXPECT_FALSE(IsSupportedOs(69));
  EXPECT_TRUE(IsSupportedOs(70));
}

}  // namespace
