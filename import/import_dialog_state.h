#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/item_properties.h"
#include "import/import_options.h"

class TSettingList;
class TUserPort;
class TVorlaData;

/// Everything the dialog "Import Transactions" decides, without a window: the account it shows,
/// the options it edits (those of that account), switching to another account with "...", and
/// which controls are enabled. The window only shows `Options()` and writes the user's changes
/// back into it.
class TImportDialogState {
 public:
  static constexpr const char* kTitle = "Import Transactions";
  static constexpr const char* kChooserCaption = "Select Import Account";
  /// The account field shows at most this many characters of the name.
  static constexpr size_t kMaxAccountName = 63;

  /// The dialog for `account`, showing its options as the document holds them (`proposal`
  /// when given: the options the import proposes for this first account).
  TImportDialogState(TVorlaData& document, const TSettingList* configuration, uint32_t account,
                     const TImportOptions& proposal);

  uint32_t Account() const { return account_; }
  /// The account field's text.
  std::string AccountName() const;
  TImportOptions& Options() { return options_; }
  const TImportOptions& Options() const { return options_; }
  /// The drop-down list "Envelope:".
  std::vector<TItemChoice> Envelopes() const;

  /// The date edit takes input only while "Only Import if Newer Than:" is checked.
  bool DateEnabled() const { return options_.onlyNewer; }
  /// The check box changed; true when the focus should move to the date edit (it was checked),
  /// whose text is then selected.
  bool SetOnlyNewer(bool on);
  /// "Automatic Import" and "Import All Transactions" are one radio group.
  void SetAutomatic(bool automatic);

  /// The button "...": the account chooser "Select Import Account"; another account chosen
  /// there becomes the dialog's account, with its own options loaded and shown. True when the
  /// account changed.
  bool ChooseAccount(TUserPort& user);

  /// "Import...": the shown options are stored for the dialog's account.
  void Accept();

 private:
  TVorlaData& document_;
  const TSettingList* configuration_;
  uint32_t account_;
  TImportOptions options_;
};
