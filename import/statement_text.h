#pragma once

#include <string>
#include <string_view>

/// Statements come from banks in whatever character set the bank chose; the budget keeps
/// Windows-1252. These turn statement text into budget text. A character Windows-1252 cannot
/// hold becomes kUnstorableCharacter, so the user sees that something was there.

/// `text` without the ASCII blanks around it (space, tab, vertical tab, form feed): banks indent
/// OFX elements with tabs and end QIF lines with them, and no value keeps any of that. Blanks
/// inside the text stay.
std::string_view TrimStatementBlanks(std::string_view text);

/// The character set a statement's text is in.
enum class TStatementCharset { Utf8, Windows1252 };

/// What stands for a character the budget's text cannot hold.
inline constexpr char kUnstorableCharacter = '?';

/// QIF files declare nothing. A file that is valid UTF-8 as a whole is read as UTF-8 (a leading
/// byte-order mark dropped); any other is the Windows-1252 that older exports write. Plain ASCII
/// reads the same either way. The result is Windows-1252 with its line structure unchanged:
/// `bytes` themselves when they need no conversion (so that a statement of hundreds of
/// megabytes is not copied), else the text converted into `converted`.
std::string_view QifTextToCp1252(std::string_view bytes, std::string& converted);

/// The character set an OFX file declares: UTF-8 when its SGML header says ENCODING:UTF-8 (or
/// CHARSET:UTF-8 or 65001), Windows-1252 for every other SGML header (USASCII with CHARSET 1252,
/// ISO-8859-1 or NONE); an XML file (no SGML header) is UTF-8 unless its XML declaration names
/// a Latin-1 or Windows-1252 encoding. Only the text before the "<OFX" element is looked at.
TStatementCharset OfxCharsetOf(std::string_view text);

/// One OFX value as budget text: decoded from `charset` (a value that claims UTF-8 but is not
/// valid UTF-8 is read as Windows-1252, the usual mislabelling), its character references
/// (&amp; &lt; &gt; &quot; &apos;, &#NNN; and &#xHH;) decoded, then stored as Windows-1252.
/// A reference to a control character or to no character at all becomes kUnstorableCharacter;
/// an unknown or unterminated reference stays as it was written.
std::string OfxValueToCp1252(std::string_view value, TStatementCharset charset);
