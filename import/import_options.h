#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/date_value.h"

class TSettingList;
class TVorlaData;

/// The choices of the dialog "Import Transactions", remembered per account as named settings of
/// the document (scope: the account's identifier), so that they travel with the budget file.
struct TImportOptions {
  static constexpr const char* kAutomatic = "importer.IMPORTXAUTOMATIC";
  static constexpr const char* kAll = "importer.IMPORTXALL";
  static constexpr const char* kOnlyNewer = "importer.IMPORTXONLYNEWER";
  static constexpr const char* kOnlyNewerDate = "importer.IMPORTXONLYNEWERDATE";
  static constexpr const char* kIgnoreCheckNumbers = "importer.IMPORTIGNORECHECKNO";
  static constexpr const char* kEnvelope = "importer.IMPORTXENVELOPE";
  static constexpr const char* kCopyPayableTo = "importer.IMPORTXCOPYPAYABLETO";
  static constexpr const char* kCodePositive = "importer.IMPORTXCODEPOS";
  static constexpr const char* kCodeNegative = "importer.IMPORTXCODENEG";
  /// The longest type code the dialog's edits take (a record's code holds 19 characters).
  static constexpr size_t kMaxCode = 19;

  /// Match records with entered transactions ("Automatic Import").
  bool automatic = true;
  /// Every record becomes a new transaction ("Import All Transactions").
  bool importAll = false;
  /// Drop records dated before `onlyNewerDate`.
  bool onlyNewer = true;
  /// The date of the option above; also the oldest confirmation a matching candidate may have.
  TDateValue onlyNewerDate{1, 1, 2000};
  /// Pair by amount and date only ("Allow Duplicate Check Numbers").
  bool ignoreCheckNumbers = false;
  /// The envelope of new transactions.
  uint32_t envelope = 0;
  /// Move the payee of new transactions into their memo.
  bool copyPayableTo = false;
  /// The code of a new transaction without a check number, by the sign of its amount.
  std::string codePositive = "credit";
  std::string codeNegative = "debit";

  /// The account's options as stored in the document. When the document has none for the
  /// account yet, they come from the configuration (`configuration` may be null: none) and are
  /// written into the document at once. Absent ones take their defaults (the envelope default
  /// is the account's default envelope).
  static TImportOptions Load(TVorlaData& document, const TSettingList* configuration,
                             uint32_t account);
  /// Writes all nine into the document under the account's scope; marks it modified.
  void Store(TVorlaData& document, uint32_t account) const;

  friend bool operator==(const TImportOptions&, const TImportOptions&) = default;
};

/// The check number a statement line or a transaction's code carries: spaces, an optional sign,
/// digits, anything after; 0 when there are none, and held at the largest 64-bit number.
int64_t StatementCheckNumber(std::string_view text);
