#include "import/qif_reader.h"

#include <algorithm>
#include <cstdint>

#include "core/amount_expression.h"
#include "core/clock.h"
#include "import/statement_file.h"
#include "import/statement_text.h"

namespace {

// Hands out the lines of a text one at a time, each cut as described in the header.
class TQifLines {
 public:
  explicit TQifLines(std::string_view text) : text_(text) {}

  bool AtEnd() const { return position_ >= text_.size(); }

  // The next line; false at the end of the text.
  bool Next(std::string_view& line) {
    if (AtEnd())
      return false;
    size_t end = text_.find_first_of("\r\n", position_);
    if (end == std::string_view::npos)
      end = text_.size();
    line = text_.substr(position_, end - position_);
    line = line.substr(0, line.find('\0'));
    line = line.substr(0, kMaxQifLine);
    // CR LF is one line end; a lone CR or LF is one too.
    position_ = end;
    if (position_ < text_.size())
      position_ += text_.compare(position_, 2, "\r\n") == 0 ? 2 : 1;
    return true;
  }

 private:
  std::string_view text_;
  size_t position_ = 0;
};

bool Contains(std::string_view line, std::string_view part) {
  return line.find(part) != std::string_view::npos;
}

// Blanks trimmed from both ends, then every double quote left out.
std::string FieldValue(std::string_view line) {
  const std::string_view rest = TrimStatementBlanks(line);
  std::string value;
  value.reserve(rest.size());
  for (char c : rest) {
    if (c != '"')
      value += c;
  }
  return value;
}

// The whole number a check number begins with (spaces, a sign, digits), when it is above 0 and
// below 2^31; a larger one is left as written, since no check number is that big.
bool LeadingCheckNumber(std::string_view text, uint32_t& number) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ')
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    negative = text[i++] == '-';
  uint64_t value = 0;
  size_t digits = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
    value = value * 10 + static_cast<uint64_t>(text[i] - '0');
    if (value > INT32_MAX)
      return false;
  }
  if (digits == 0 || negative || value == 0)
    return false;
  number = static_cast<uint32_t>(value);
  return true;
}

// QIF writers mark the years from 2000 on with an apostrophe ("3/15'11", "1/ 5' 4"); it is the
// year's separator, so that such a date keeps its year instead of taking this one.
std::string QifDateText(std::string value) {
  for (char& c : value) {
    if (c == '\'')
      c = '/';
  }
  return value;
}

}  // namespace

std::string CheckNumberFromText(std::string_view text) {
  if (!Contains(text, "CHECK") && !Contains(text, "check") && !Contains(text, "Check"))
    return {};
  std::string digits;
  for (char c : text) {
    if (c >= '0' && c <= '9')
      digits += c;
  }
  return digits;
}

size_t ReadQifFile(TImportBatch& batch, const TClock& clock) {
  if (batch.Path.empty())
    return 0;
  const TResult<std::string> bytes = ReadStatementBytes(batch.Path);
  if (!bytes)
    return 0;
  return ReadQifText(*bytes, batch, clock.Today().Year());
}

size_t ReadQifText(std::string_view bytes, TImportBatch& batch, unsigned currentYear) {
  std::string converted;
  const std::string_view text = QifTextToCp1252(bytes, converted);
  // Every record but the last ends at a "^": room for them all at once spares the copies of a
  // growing list, which for millions of records would take twice their memory for a moment. A
  // file of little but carets gets no more than one record for every 16 bytes. Their texts are
  // pieces of the statement's, so its size is room enough for them but in rare cases.
  const size_t carets = static_cast<size_t>(std::count(text.begin(), text.end(), '^'));
  batch.Reserve(std::min(carets + 1, text.size() / 16 + 1), text.size());
  TQifLines lines(text);
  std::string_view line;

  bool pending = false;  // `line` is already read and belongs to the first record
  while (lines.Next(line)) {
    if (!line.empty()) {
      pending = true;
      break;
    }
  }
  if (!pending)
    return 0;
  if (Contains(line, "!Account")) {
    pending = false;
    while (lines.Next(line) && !Contains(line, "^")) {
    }
  } else if (Contains(line, "!Type:")) {
    pending = false;
  }

  size_t appended = 0;
  // One record's texts, reused from record to record.
  std::string checkNumber, memo, name;
  while (pending || !lines.AtEnd()) {
    TDateValue date;
    TAmount amount;
    checkNumber.clear();
    memo.clear();
    name.clear();
    bool hasDate = false;
    bool hasAmount = false;
    // A file of several accounts names each in an "!Account" block; its description ("D") and
    // type ("T") lines would otherwise make it a transaction of amount 0 without a date.
    bool accountBlock = false;
    while (pending || lines.Next(line)) {
      pending = false;
      if (Contains(line, "^"))
        break;
      accountBlock = accountBlock || Contains(line, "!Account");
      if (line.empty())
        continue;
      const std::string value = FieldValue(line.substr(1));
      switch (line[0]) {
        case 'D':
          date = TDateValue::Parse(QifDateText(value), 0, currentYear);
          hasDate = true;
          break;
        case 'T':
          amount = AmountFromText(value);
          hasAmount = true;
          break;
        case 'N':
          checkNumber = value;
          break;
        case 'P':
          if (checkNumber.empty())
            checkNumber = CheckNumberFromText(value);
          name = value;
          break;
        case 'M':
          if (checkNumber.empty())
            checkNumber = CheckNumberFromText(value);
          memo = value;
          break;
        default:
          break;
      }
    }
    if (memo == name)
      memo.clear();
    uint32_t number = 0;
    if (LeadingCheckNumber(checkNumber, number))
      checkNumber = std::to_string(number);
    if (hasDate && hasAmount && !accountBlock) {
      batch.Add(date, amount, checkNumber, memo, name);
      ++appended;
    }
  }
  return appended;
}
