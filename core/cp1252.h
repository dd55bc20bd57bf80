#pragma once

#include <optional>
#include <string>
#include <string_view>

/// Files hold 8-bit Windows-1252 text; the user interface and JSON speak UTF-8. These two
/// conversions sit at that boundary.

/// Decodes Windows-1252 bytes to UTF-8. Every byte has a meaning (the five unassigned bytes map
/// to the control characters of the same number), so this never fails.
std::string Cp1252ToUtf8(std::string_view text);

/// Encodes UTF-8 text as Windows-1252; empty when the text is not valid UTF-8 or holds a
/// character that Windows-1252 cannot store.
std::optional<std::string> Utf8ToCp1252(std::string_view text);
