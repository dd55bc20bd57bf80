#pragma once

#include <optional>
#include <string>
#include <string_view>

/// Files hold 8-bit Windows-1252 text; the user interface and JSON speak UTF-8. These two
/// conversions sit at that boundary.

/// Decodes Windows-1252 bytes to UTF-8. Every byte has a meaning (the five unassigned bytes map
/// to the control characters of the same number), so this never fails.
std::string Cp1252ToUtf8(std::string_view text);

/// Appends one Unicode code point to `out` as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

/// Encodes UTF-8 text as Windows-1252; empty when the text is not valid UTF-8 or holds a
/// character that Windows-1252 cannot store.
std::optional<std::string> Utf8ToCp1252(std::string_view text);

/// Encodes UTF-8 text as Windows-1252 whatever it holds: every character that Windows-1252
/// cannot store, and every byte that is not part of a valid UTF-8 sequence, becomes
/// `replacement`, so that what cannot be kept stays visible instead of garbled.
std::string Utf8ToCp1252Replacing(std::string_view text, char replacement);

/// Bytes from a file (Windows-1252) for a message: UTF-8 with every control character shown as
/// an escape (\n, \r, \t, else \xHH), so that a stored text can neither break a message into
/// lines nor send a terminal its commands.
std::string EscapedFileText(std::string_view text);

/// Whether `text` is valid UTF-8.
bool IsValidUtf8(std::string_view text);

/// A message for display in UTF-8. Messages carry file names as the system spells them (UTF-8)
/// inside text of the file encoding: a message that is valid UTF-8 is taken as it is, any other
/// is read as Windows-1252. Control characters other than line breaks and tabs are escaped as
/// in EscapedFileText; with `oneLine` line breaks are escaped too.
std::string MessageToUtf8(std::string_view text, bool oneLine = false);

/// The lower-case form of one Windows-1252 character: ASCII letters, the accented letters
/// 0xC0-0xDE (but the multiplication sign) and the four letters of 0x8A-0x9F with their small
/// forms. Case-blind matching of stored text goes through this, so "É" finds "é".
char FoldCp1252(char c);
