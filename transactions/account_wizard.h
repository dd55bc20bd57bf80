#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/bx_string_list.h"
#include "core/date_value.h"

class TAccount;
class TAccountNode;
class TXManager;

/// One account as the account wizard takes it from its page.
struct TWizardAccount {
  std::string name;
  std::string description;
  /// Account type 1 to 6 (1 "Checking").
  uint32_t type = 1;
  /// The starting balance in currency units.
  double startingBalance = 0;
  TDateValue startingDate;
};

/// The model side of the account wizard, which creates several accounts in a row: each gets a
/// name not used before in this run, the envelope "Unallocated" as its default envelope, and
/// its starting balance as a "Start" transaction that is cleared on the account side and sits
/// in that envelope, so that the account total and the envelope total grow together.
class TAccountWizard {
 public:
  static constexpr const char* kStarterEnvelope = "Unallocated";
  static constexpr const char* kStartCode = "Start";
  static constexpr const char* kStartPayee = "Starting Balance";

  /// The manager's document supplies the lists and the user; it must outlive the wizard.
  explicit TAccountWizard(TXManager& manager) : manager_(manager) {}

  /// Creates the account under the root of the account tree, or under `at`. Null when the
  /// name is empty or already used in this run (the user is told) or when no envelope exists.
  TAccount* AddAccount(const TWizardAccount& entry);
  TAccount* AddAccount(const TWizardAccount& entry, TAccountNode& at);
  /// The names of the accounts created in this run.
  const TBxStringList& UsedNames() const { return usedNames_; }

  /// The refusal of a name, as the user reads it.
  static std::string DuplicateNameMessage(std::string_view name);

 private:
  TXManager& manager_;
  TBxStringList usedNames_;
};
