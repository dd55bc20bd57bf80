#include "import/csv_statement.h"

#include "core/setting_list.h"
#include "core/user_port.h"
#include "core/vorla_data.h"
#include "import/csv_mapping_state.h"
#include "import/import_record.h"

bool TCsvStatement::Fill(TVorlaData& document, uint32_t account, TImportBatch& batch) {
  const std::optional<TCsvMapping> stored = TCsvMapping::Load(document.Settings(), account);
  TCsvMappingState state(table_, stored.value_or(GuessCsvMapping(table_)));
  // A stored mapping that no longer reads this file (the bank changed its columns) is shown
  // again rather than importing nothing.
  if ((!stored || !state.CanAccept()) &&
      (!document.User().EditCsvMapping(state) || !state.CanAccept()))
    return false;
  mapping_ = state.Mapping();
  const TCsvReadCount count = ReadCsvRecords(table_, mapping_, batch);
  if (count.leftOut != 0) {
    document.User().Tell(TCsvMappingState::kTitle, LeftOutRowsMessage(count.leftOut),
                         TMessageIcon::Exclamation);
  }
  return count.read != 0;
}

void TCsvStatement::Remember(TVorlaData& document, uint32_t account) const {
  mapping_.Store(document.Settings(), account);
  document.SetModified();
}
