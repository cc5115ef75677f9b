// Feeds arbitrary UTF-16 command lines (two bytes per unit, little-endian) to
// the command-line and integer parsing. Besides the sanitizers' checks, the
// delay must always be one a countdown can use.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/StartupSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Text line;
  for (size_t i = 0; i + 1 < size; i += 2) {
    line.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }

  const Text argument = FirstCommandLineArgument(line);
  if (argument.size() > line.size()) std::abort();

  ParseIntegerText(line);
  ParseIntegerText(argument);

  const int32_t seconds = ResolveExpirySeconds(line);
  if (seconds < 1 || seconds > MaximumExpirySeconds) std::abort();
  if (ParseIntegerText(DelayText(seconds)) != seconds) std::abort();
  return 0;
}
