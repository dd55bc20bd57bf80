#include "import/csv_table.h"

#include <algorithm>
#include <array>

#include "import/statement_text.h"

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::array<char, 4> kSeparators = {',', ';', '\t', '|'};
// The separator is chosen from the records at the start of the file; a statement's table shows
// its shape within a few dozen lines, and a bound keeps a file of one huge line quick.
constexpr size_t kSampleBytes = 64 * 1024;
constexpr size_t kSampleRecords = 100;

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool IsLineEnd(char c) {
  return c == '\r' || c == '\n';
}

enum class TScan { Record, End, UnclosedQuote, TooWide };

// Where a record's cells go while it is read; none when only the cells are counted.
struct TCellSink {
  std::string& text;
  std::vector<uint32_t>& starts;
};

// Reads the records of a text one at a time, by the rules in the header.
class TCsvScanner {
 public:
  TCsvScanner(std::string_view text, char separator) : text_(text), separator_(separator) {}

  // The line the last record began on, from 1.
  size_t Line() const { return recordLine_; }

  TScan Next(size_t& cells, TCellSink* sink) {
    SkipEmptyLines();
    if (position_ >= text_.size())
      return TScan::End;
    recordLine_ = line_;
    cells = 0;
    while (true) {
      if (++cells > TCsvTable::kMaxColumns)
        return TScan::TooWide;
      const size_t start = sink != nullptr ? sink->text.size() : 0;
      if (sink != nullptr)
        sink->starts.push_back(static_cast<uint32_t>(start));
      if (!Field(sink))
        return TScan::UnclosedQuote;
      if (sink != nullptr) {
        std::string& text = sink->text;
        while (text.size() > start && text.back() == ' ')
          text.pop_back();
      }
      if (position_ >= text_.size())
        return TScan::Record;
      const char c = text_[position_];
      if (c == separator_) {
        ++position_;
        continue;
      }
      EndLine();
      return TScan::Record;
    }
  }

 private:
  void SkipEmptyLines() {
    while (position_ < text_.size()) {
      size_t end = position_;
      while (end < text_.size() && IsBlank(text_[end]) && text_[end] != separator_)
        ++end;
      if (end < text_.size() && !IsLineEnd(text_[end]))
        return;
      position_ = end;
      if (position_ < text_.size())
        EndLine();
    }
  }

  // Steps over one line end (CR LF counts once).
  void EndLine() {
    const bool crlf = text_.compare(position_, 2, "\r\n") == 0;
    position_ += crlf ? 2 : 1;
    ++line_;
  }

  void Put(TCellSink* sink, size_t start, char c) {
    if (sink == nullptr)
      return;
    std::string& text = sink->text;
    const size_t length = text.size() - start;
    if (length >= TCsvTable::kMaxCell)
      return;
    const auto byte = static_cast<unsigned char>(c);
    if (byte == 0) {
      c = kUnstorableCharacter;
    } else if (byte < 0x20 || byte == 0x7F) {
      c = ' ';  // line breaks and tabs inside a quoted payee
    }
    if (c == ' ' && length == 0)
      return;
    text += c;
  }

  // One field up to the separator or line end that follows it; false for a quote that never
  // closes. Text after a closing quote belongs to the field, as lenient readers keep it.
  bool Field(TCellSink* sink) {
    const size_t start = sink != nullptr ? sink->text.size() : 0;
    while (position_ < text_.size() && IsBlank(text_[position_]) && text_[position_] != separator_)
      ++position_;
    bool quoted = position_ < text_.size() && text_[position_] == '"';
    if (quoted)
      ++position_;
    while (position_ < text_.size()) {
      const char c = text_[position_];
      if (quoted) {
        ++position_;
        if (c == '"') {
          if (position_ < text_.size() && text_[position_] == '"') {
            Put(sink, start, '"');
            ++position_;
          } else {
            quoted = false;
          }
          continue;
        }
        if (c == '\n' || (c == '\r' && text_.compare(position_, 1, "\n") != 0))
          ++line_;
        Put(sink, start, c);
        continue;
      }
      if (c == separator_ || IsLineEnd(c))
        break;
      Put(sink, start, c);
      ++position_;
    }
    return !quoted;
  }

  std::string_view text_;
  char separator_;
  size_t position_ = 0;
  size_t line_ = 1;
  size_t recordLine_ = 1;
};

// How one separator shapes the first records: the column count most of them share (the larger
// on a tie) and how many do.
struct TShape {
  char separator = ',';
  size_t columns = 0;
  size_t sharing = 0;
  size_t records = 0;
};

TShape ShapeWith(std::string_view text, char separator) {
  TCsvScanner scanner(text.substr(0, kSampleBytes), separator);
  std::array<size_t, TCsvTable::kMaxColumns + 1> counts{};
  TShape shape{separator};
  size_t cells = 0;
  while (shape.records < kSampleRecords && scanner.Next(cells, nullptr) == TScan::Record) {
    ++counts[cells];
    ++shape.records;
  }
  for (size_t c = 2; c < counts.size(); ++c) {
    if (counts[c] >= shape.sharing && counts[c] > 0) {
      shape.columns = c;
      shape.sharing = counts[c];
    }
  }
  return shape;
}

// The separator with the most records sharing a count; on a tie, the one with more columns
// (a decimal comma splits every amount of a semicolon file in two just as evenly).
TShape BestShape(std::string_view text) {
  TShape best;
  for (char separator : kSeparators) {
    const TShape shape = ShapeWith(text, separator);
    if (shape.sharing > best.sharing ||
        (shape.sharing == best.sharing && shape.columns > best.columns))
      best = shape;
  }
  return best;
}

std::string_view WithoutByteOrderMark(std::string_view bytes) {
  if (bytes.starts_with(kUtf8ByteOrderMark))
    bytes.remove_prefix(kUtf8ByteOrderMark.size());
  return bytes;
}

}  // namespace

std::string_view TCsvTable::Cell(size_t row, size_t column) const {
  if (column >= CellsIn(row))
    return {};
  const size_t cell = rowStarts_[row] + column;
  const uint32_t end =
      cell + 1 < cellStarts_.size() ? cellStarts_[cell + 1] : static_cast<uint32_t>(text_.size());
  return std::string_view(text_).substr(cellStarts_[cell], end - cellStarts_[cell]);
}

bool LooksLikeCsv(std::string_view bytes) {
  const TShape shape = BestShape(WithoutByteOrderMark(bytes));
  return shape.columns >= 2 && shape.sharing * 2 >= shape.records;
}

TResult<TCsvTable> ReadCsvTable(std::string_view bytes) {
  std::string converted;
  const std::string_view text = QifTextToCp1252(WithoutByteOrderMark(bytes), converted);
  const TShape shape = BestShape(text);
  if (shape.columns < 2) {
    return TFailure{
        "The file holds no table: no two lines have the same number of columns separated by "
        "commas, semicolons, tabs or \"|\"."};
  }
  TCsvTable table;
  table.separator_ = shape.separator;
  table.columns_ = shape.columns;
  table.text_.reserve(text.size());
  // Every cell but a record's first follows a separator, and every record a line end: room for
  // them all at once spares the copies of a growing list, which for a file of little but
  // separators would take twice its four bytes a cell for a moment.
  table.cellStarts_.reserve(
      static_cast<size_t>(std::count(text.begin(), text.end(), shape.separator) +
                          std::count(text.begin(), text.end(), '\n') +
                          std::count(text.begin(), text.end(), '\r')) +
      1);
  TCellSink sink{table.text_, table.cellStarts_};
  TCsvScanner scanner(text, shape.separator);
  size_t cells = 0;
  bool inTable = false;
  while (true) {
    const size_t textBefore = table.text_.size();
    const size_t cellsBefore = table.cellStarts_.size();
    const TScan scan = scanner.Next(cells, &sink);
    const std::string line = std::to_string(scanner.Line());
    if (scan == TScan::UnclosedQuote)
      return TFailure{"The quote that opens a field on line " + line + " is never closed."};
    if (scan == TScan::TooWide) {
      return TFailure{"Line " + line + " has more than " + std::to_string(TCsvTable::kMaxColumns) +
                      " columns; no statement has so many."};
    }
    if (scan == TScan::End)
      break;
    inTable = inTable || cells == shape.columns;
    if (!inTable) {
      table.text_.resize(textBefore);
      table.cellStarts_.resize(cellsBefore);
      ++table.skipped_;
      continue;
    }
    table.rowStarts_.push_back(static_cast<uint32_t>(cellsBefore));
  }
  table.rowStarts_.push_back(static_cast<uint32_t>(table.cellStarts_.size()));
  return table;
}
