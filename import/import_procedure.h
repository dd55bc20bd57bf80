#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "import/import_options.h"
#include "import/import_record.h"

class TSettingList;
class TVorlaData;

/// What became of one statement record. One is kept for every line of a statement that may
/// have millions: the fields are ordered so that it takes 12 bytes.
struct TImportFate {
  enum class Kind : uint8_t {
    Dropped,  ///< older than the date of "Only Import if Newer Than:"
    Paired,   ///< matched with an entered transaction
    Created,  ///< became a new transaction
  };
  /// The paired or created transaction.
  uint32_t transaction = 0;
  /// Paired, when `adjusted`: the amount entered before it was set to the bank's.
  int32_t enteredAmount = 0;
  Kind kind = Kind::Dropped;
  /// Paired: the amount was set to the bank's.
  bool adjusted = false;
  /// Paired: it was not cleared before and is now (else it already was).
  bool newlyCleared = false;
};

/// The outcome of one import.
struct TImportResult {
  /// False when the account chooser or the options dialog was cancelled.
  bool imported = false;
  uint32_t account = 0;
  /// The options the import ran with.
  TImportOptions options;
  /// One per record of the batch as it was handed in, in that order.
  std::vector<TImportFate> fates;
  /// The account whose view "View Newly Imported Transactions" should open (0: none, when
  /// nothing was cleared or created). The model opens no windows.
  uint32_t viewAccount = 0;
};

/// Brings a statement's records into one account: asks for the account ("Select Import
/// Account") and the options ("Import Transactions") through the document's user port, drops
/// records older than the option date, pairs records with entered transactions, clears the
/// paired ones on the bank's date and creates cleared transactions for the rest, all marked as
/// newly imported. `configuration` holds the user's own named settings, where options of an
/// account the document has none for come from (null: none). The batch keeps every record as
/// handed in, in file order; the kept ones get their MatchedId.
/// `fill`, when given, appends the statement's records once the account is chosen (a CSV
/// statement's columns are the account's); false from it ends the import as cancelled.
TImportResult ImportRecords(TImportBatch& batch, TVorlaData& document,
                            const TSettingList* configuration,
                            const std::function<bool(uint32_t account)>& fill = {});

inline constexpr const char* kImportNothingNew =
    "There were no new transactions to import or to clear.";
inline constexpr const char* kImportNothingNewCaption = "Importer";
