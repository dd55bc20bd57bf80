#include "import/ofx_reader.h"

#include "core/amount_expression.h"
#include "core/clock.h"
#include "import/statement_file.h"
#include "import/statement_text.h"

namespace {

constexpr std::string_view kOpenMark = "<STMTTRN>";
constexpr std::string_view kCloseMark = "</STMTTRN>";

// The text of the element at or after `position` with every CR and LF left out, moving
// `position` past it; false when no complete element follows. Each search starts where the
// last element ended, so the whole text is scanned about once however it is built.
bool NextElement(std::string_view text, size_t& position, std::string& element) {
  const size_t open = text.find(kOpenMark, position);
  if (open == std::string_view::npos)
    return false;
  const size_t close = text.find(kCloseMark, position);
  if (close == std::string_view::npos || close < open)
    return false;
  element.clear();
  for (char c : text.substr(open, close - open)) {
    if (c != '\r' && c != '\n')
      element += c;
  }
  position = close + kCloseMark.size();
  return true;
}

// OFX amounts carry no thousands separators, and banks that write a decimal comma send
// "-45,67"; read as typed text, where commas are dropped, that would be a hundred times the
// amount. A lone comma without a point is therefore the decimal separator.
TAmount OfxAmount(std::string_view value) {
  std::string text(value);
  const size_t comma = text.find(',');
  if (comma != std::string::npos && text.find(',', comma + 1) == std::string::npos &&
      text.find('.') == std::string::npos) {
    text[comma] = '.';
  }
  return AmountFromText(text);
}

}  // namespace

std::string_view OfxTagValue(std::string_view text, std::string_view tag) {
  const size_t at = text.find(tag);
  if (at == std::string_view::npos)
    return {};
  std::string_view value = text.substr(at + tag.size());
  return TrimStatementBlanks(value.substr(0, value.find('<')));
}

std::string OfxDateText(std::string_view value) {
  if (value.size() < 8)
    return {};
  std::string text;
  text.append(value.substr(4, 2)).append("/");
  text.append(value.substr(6, 2)).append("/");
  text.append(value.substr(0, 4));
  return text;
}

size_t ReadOfxFile(TImportBatch& batch, const TClock& clock) {
  if (batch.Path.empty())
    return 0;
  const TResult<std::string> bytes = ReadStatementBytes(batch.Path);
  if (!bytes)
    return 0;
  return ReadOfxText(*bytes, batch, clock.Today().Year());
}

size_t ReadOfxText(std::string_view bytes, TImportBatch& batch, unsigned currentYear) {
  const std::string_view text = bytes.substr(0, bytes.find('\0'));
  const TStatementCharset charset = OfxCharsetOf(text);
  // Room for every element at once, as for QIF statements; a value never grows in conversion,
  // so the statement's size is room for the texts.
  size_t opened = 0;
  for (size_t at = text.find(kOpenMark); at != std::string_view::npos;
       at = text.find(kOpenMark, at + kOpenMark.size())) {
    ++opened;
  }
  batch.Reserve(opened, text.size());
  size_t position = 0;
  std::string element;
  size_t appended = 0;
  while (NextElement(text, position, element)) {
    const TDateValue date =
        TDateValue::Parse(OfxDateText(OfxTagValue(element, "<DTPOSTED>")), 0, currentYear);
    batch.Add(date, OfxAmount(OfxTagValue(element, "<TRNAMT>")),
              OfxValueToCp1252(OfxTagValue(element, "<CHECKNUM>"), charset),
              OfxValueToCp1252(OfxTagValue(element, "<MEMO>"), charset),
              OfxValueToCp1252(OfxTagValue(element, "<NAME>"), charset));
    ++appended;
  }
  return appended;
}
