// Feeds arbitrary bytes to the OFX reader. Whatever the bytes, it returns the records it
// appended, each with a valid or empty date, an amount the money rule allows and texts without
// line ends, never longer than the bytes they came from.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "import/ofx_reader.h"
#include "import/statement_file.h"

namespace {

void Require(bool condition) {
  if (!condition)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  (void)DetectStatementKind(bytes);
  TImportBatch batch;
  const size_t count = ReadOfxText(bytes, batch, 2011);
  Require(batch.Size() == count);
  // Each record needs its own "<STMTTRN>" and "</STMTTRN>".
  Require(count * 19 <= size);
  constexpr int64_t kCentLimit = static_cast<int64_t>(TAmount::kUnitLimit * 100);
  for (const TImportRecord& record : batch.Records()) {
    Require(record.Date.IsValid() || record.Date.IsEmpty());
    Require(record.Amount.Cents() >= -kCentLimit && record.Amount.Cents() <= kCentLimit);
    for (std::string_view text :
         {batch.CheckNumber(record), batch.Name(record), batch.Memo(record)}) {
      Require(text.find_first_of("\r\n") == std::string_view::npos);
      Require(text.size() <= size);
    }
  }
  return 0;
}
