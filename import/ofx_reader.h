#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "import/import_record.h"

class TClock;

/// Reads the OFX or QFX statement at the batch's path: every complete "<STMTTRN>" element
/// becomes one record appended to the batch, whatever it holds. The number appended; 0 when
/// the path is empty or the file cannot be read. Works on the SGML form (values without closing
/// tags) and the XML form alike, since a value ends at the next "<".
size_t ReadOfxFile(TImportBatch& batch, const TClock& clock);

/// The same over the bytes of a statement. A NUL byte ends the text. Names, memos and check
/// numbers are converted from the file's declared character set (OfxCharsetOf) with their
/// character references decoded.
size_t ReadOfxText(std::string_view bytes, TImportBatch& batch, unsigned currentYear);

/// The characters after the first `tag` in `text` up to the next "<" or the end, trimmed of
/// blanks (TrimStatementBlanks); empty when the tag is missing or nothing follows it.
std::string_view OfxTagValue(std::string_view text, std::string_view tag);

/// "YYYYMMDD..." as "MM/DD/YYYY" for the date reader; whatever follows the eighth character is
/// ignored, and a shorter value gives the empty text.
std::string OfxDateText(std::string_view value);
