#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "import/import_record.h"

class TClock;

/// The longest QIF line kept. A longer line keeps its first kMaxQifLine characters and the rest
/// of it is skipped: it is never read as lines of its own, whose first characters would then
/// select fields that the file never meant.
inline constexpr size_t kMaxQifLine = 1023;

/// Reads the QIF statement at the batch's path and appends its complete records (those with
/// both a date and an amount line) to the batch. The number appended; 0 when the path is empty
/// or the file cannot be read. Dates without a year take the year of `clock`'s today.
size_t ReadQifFile(TImportBatch& batch, const TClock& clock);

/// The same over the bytes of a statement. A line ends at CR, LF, CR LF or the end of the
/// bytes; a NUL byte ends the text of its line, as it always has for these files. Text is
/// converted to Windows-1252 by QifTextToCp1252.
size_t ReadQifText(std::string_view bytes, TImportBatch& batch, unsigned currentYear);

/// The check number a payee or memo text names: every decimal digit of the text when it
/// contains "CHECK", "check" or "Check"; otherwise empty.
std::string CheckNumberFromText(std::string_view text);
