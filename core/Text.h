#pragma once
// Text as the program handles it: UTF-16 code units. A text ends at its first
// null unit; whatever follows a null is not part of it.

#include <string>
#include <string_view>

using Text = std::u16string;
using TextView = std::u16string_view;

// The part of a view before its first null unit.
inline TextView UpToFirstNull(TextView text) {
  return text.substr(0, text.find(u'\0'));
}
