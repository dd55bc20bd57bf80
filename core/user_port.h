#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/filter_criteria.h"
#include "core/item_properties.h"

struct TActXferValues;
class TImportDialogState;
class TCsvMappingState;
class TAllocationPlan;

/// Buttons of a message box.
enum class TMessageButtons { Ok, OkCancel, YesNo, YesNoCancel };

/// The icon of a message box.
enum class TMessageIcon { None, Error, Exclamation, Information, Question };

/// The button the user chose.
enum class TMessageAnswer { Ok, Cancel, Yes, No };

/// One message box as the model asks for it.
struct TMessage {
  std::string caption;
  std::string text;
  TMessageButtons buttons = TMessageButtons::Ok;
  TMessageIcon icon = TMessageIcon::None;
  /// Texts that replace the buttons' own, in the order the buttons are named (Yes, No, Cancel);
  /// the answer is still the button's. Empty keeps the usual texts.
  std::vector<std::string> buttonTexts = {};
};

/// How the model reaches the user: it never shows anything itself. The desktop program answers
/// with real message boxes and dialogs; tests script the answers and record what was asked.
/// Texts are in the file encoding (Windows-1252); the port converts them for display.
class TUserPort {
 public:
  virtual ~TUserPort() = default;
  /// Shows a message box and returns the button chosen (Ok for a plain message).
  virtual TMessageAnswer Show(const TMessage& message) = 0;
  /// The short warning sound that accompanies some refusals.
  virtual void Beep() {}

  /// The properties dialog of an account. `takenNames` are the labels the other nodes of the tree
  /// use; `envelopes` are the choices for the default envelope. True on OK.
  virtual bool EditAccountProperties(TAccountProperties& values,
                                     const std::vector<std::string>& takenNames,
                                     const std::vector<TItemChoice>& envelopes) = 0;
  /// "Edit Memo": one text of at most 89 characters. True on OK with `memo` changed. A port
  /// that cannot show dialogs cancels.
  virtual bool EditMemo(std::string& memo) {
    (void)memo;
    return false;
  }
  /// The properties dialog of an account group.
  virtual bool EditAccountGroupProperties(TGroupProperties& values,
                                          const std::vector<std::string>& takenNames) = 0;
  /// The name dialog of the root of either tree.
  virtual bool EditRootProperties(TTreeKind tree, std::string& name,
                                  const std::vector<std::string>& takenNames) = 0;
  /// "Edit Envelope Properties".
  virtual bool EditEnvelopeProperties(TEnvelopeProperties& values,
                                      const std::vector<std::string>& takenNames) = 0;
  /// The properties dialog of a bundle.
  virtual bool EditBundleProperties(TBundleProperties& values,
                                    const std::vector<std::string>& takenNames) = 0;
  /// The properties dialog of an association.
  virtual bool EditAssociationProperties(TGroupProperties& values,
                                         const std::vector<std::string>& takenNames) = 0;
  /// "Delete Envelope": the envelope that takes over from the one being deleted. True on OK with
  /// `chosen` set to one of the choices.
  virtual bool ChooseReplacementEnvelope(const std::vector<TItemChoice>& choices,
                                         uint32_t& chosen) = 0;
  /// "Choose Envelope": any envelope, for the dialogs that need one picked.
  virtual bool ChooseEnvelope(const std::vector<TItemChoice>& choices, uint32_t& chosen) = 0;
  /// "Transaction Filter": shows `criteria` with the labels and choices of `setup`. True on OK
  /// with `criteria` holding what the dialog shows; on Cancel `criteria` is left as it was.
  virtual bool EditTransactionFilter(TFilterCriteria& criteria,
                                     const TFilterDialogSetup& setup) = 0;
  /// "Account Transfer": the transfer buffer with the accounts and envelopes to choose from.
  /// The dialog checks the values with ValidateAccountTransfer on OK. True on OK.
  virtual bool EditAccountTransfer(TActXferValues& values, const std::vector<TItemChoice>& accounts,
                                   const std::vector<TItemChoice>& envelopes) = 0;

  /// "Select Account": one account of `accounts`, under the window title `caption`. True on OK
  /// with `chosen` set to the chosen account's identifier.
  virtual bool ChooseAccount(const std::string& caption, const std::vector<TItemChoice>& accounts,
                             uint32_t& chosen) {
    (void)caption, (void)accounts, (void)chosen;
    return false;
  }
  /// A selection dialog over names, such as "Select Template": `caption` is its window title.
  /// True on OK with `chosen` set to the 0-based position of the chosen name.
  virtual bool ChooseName(const std::string& caption, const std::vector<std::string>& names,
                          size_t& chosen) {
    (void)caption, (void)names, (void)chosen;
    return false;
  }
  /// "Edit String": one line of text under the window title `title` with the label `prompt`.
  /// True on OK with `text` changed.
  virtual bool EditString(const std::string& title, const std::string& prompt, std::string& text) {
    (void)title, (void)prompt, (void)text;
    return false;
  }
  /// The open-file dialog: `filter` is "Description|pattern|Description|pattern|", the file
  /// types offered in order; `folder` the folder it starts in. The chosen path, or nothing when
  /// cancelled.
  virtual std::optional<std::string> ChooseOpenFile(const std::string& title,
                                                    const std::string& filter,
                                                    const std::string& folder) {
    (void)title, (void)filter, (void)folder;
    return std::nullopt;
  }

  /// "Import Transactions": the import's options dialog over `state`, which it edits as the
  /// user works it (account switching with "...", enabling, the options shown). True on
  /// "Import...", after which the import stores the options itself.
  virtual bool EditImportOptions(TImportDialogState& state) {
    (void)state;
    return false;
  }
  /// "Import CSV File": the columns of a CSV statement over `state`, which it edits as the user
  /// works it. True on OK, which is only offered while some row reads.
  virtual bool EditCsvMapping(TCsvMappingState& state) {
    (void)state;
    return false;
  }
  /// "Edit Allocation Plan": the plan editor over a loaded plan. True when it closed with "Save
  /// and Close"; any other close leaves the decision to discard the edits to the caller.
  virtual bool EditAllocationPlan(TAllocationPlan& plan) {
    (void)plan;
    return false;
  }
  /// "Enter Monthly Income": up to four monthly incomes in currency units (0 for a source not
  /// used). True on OK with `incomes` holding what was entered.
  virtual bool EnterMonthlyIncome(std::array<float, 4>& incomes) {
    (void)incomes;
    return false;
  }

  /// Shorthand for a message with only an OK button.
  void Tell(std::string caption, std::string text, TMessageIcon icon) {
    Show(TMessage{std::move(caption), std::move(text), TMessageButtons::Ok, icon});
  }
  /// Shorthand for a question; returns the button chosen.
  TMessageAnswer Ask(std::string caption, std::string text, TMessageButtons buttons,
                     TMessageIcon icon) {
    return Show(TMessage{std::move(caption), std::move(text), buttons, icon});
  }
};
