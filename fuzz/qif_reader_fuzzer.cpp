// Feeds arbitrary bytes to the QIF reader. Whatever the bytes, it returns the records it
// appended, each with a valid or empty date, texts of one line no longer than a line may be,
// check numbers rewritten as the reader promises, and the same result when read again.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "import/qif_reader.h"
#include "import/statement_file.h"

namespace {

void Require(bool condition) {
  if (!condition)
    std::abort();
}

void RequireOneLine(std::string_view text) {
  Require(text.size() <= kMaxQifLine);
  Require(text.find_first_of("\r\n") == std::string_view::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  (void)DetectStatementKind(bytes);
  TImportBatch batch;
  batch.Add(TDateValue(), TAmount(), "before");  // the reader appends after what the batch holds
  const size_t count = ReadQifText(bytes, batch, 2011);
  Require(batch.Size() == count + 1);
  Require(batch.CheckNumber(batch[0]) == "before");
  for (size_t i = 1; i < batch.Size(); ++i) {
    const TImportRecord& record = batch[i];
    Require(record.Date.IsValid() || record.Date.IsEmpty());
    Require(record.MatchedId == 0);
    RequireOneLine(batch.CheckNumber(record));
    RequireOneLine(batch.Name(record));
    RequireOneLine(batch.Memo(record));
    Require(batch.Memo(record).empty() || batch.Memo(record) != batch.Name(record));
  }
  TImportBatch again;
  Require(ReadQifText(bytes, again, 2011) == count);
  return 0;
}
