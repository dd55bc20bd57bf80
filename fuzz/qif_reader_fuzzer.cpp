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

void RequireOneLine(const std::string& text) {
  Require(text.size() <= kMaxQifLine);
  Require(text.find_first_of("\r\n") == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  (void)DetectStatementKind(bytes);
  TImportBatch batch;
  batch.Records.resize(1);  // the reader appends after what the batch holds
  const size_t count = ReadQifText(bytes, batch, 2011);
  Require(batch.Records.size() == count + 1);
  for (size_t i = 1; i < batch.Records.size(); ++i) {
    const TImportRecord& record = batch.Records[i];
    Require(record.Date.IsValid() || record.Date.IsEmpty());
    Require(record.MatchedId == 0);
    RequireOneLine(record.CheckNumber);
    RequireOneLine(record.Name);
    RequireOneLine(record.Memo);
    Require(record.Memo.empty() || record.Memo != record.Name);
  }
  TImportBatch again;
  Require(ReadQifText(bytes, again, 2011) == count);
  return 0;
}
