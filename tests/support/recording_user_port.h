#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/account_transfer_values.h"
#include "core/user_port.h"

/// A user port for tests: answers from a script, in order, and records every message asked.
/// A message that finds the script empty is answered with Ok.
class TRecordingUserPort : public TUserPort {
 public:
  TMessageAnswer Show(const TMessage& message) override;
  void Beep() override { ++beeps_; }

  bool EditAccountProperties(TAccountProperties& values, const std::vector<std::string>& takenNames,
                             const std::vector<TItemChoice>& envelopes) override;
  bool EditAccountGroupProperties(TGroupProperties& values,
                                  const std::vector<std::string>& takenNames) override;
  bool EditRootProperties(TTreeKind tree, std::string& name,
                          const std::vector<std::string>& takenNames) override;
  bool EditEnvelopeProperties(TEnvelopeProperties& values,
                              const std::vector<std::string>& takenNames) override;
  bool EditBundleProperties(TBundleProperties& values,
                            const std::vector<std::string>& takenNames) override;
  bool EditAssociationProperties(TGroupProperties& values,
                                 const std::vector<std::string>& takenNames) override;
  bool ChooseReplacementEnvelope(const std::vector<TItemChoice>& choices,
                                 uint32_t& chosen) override;
  bool ChooseEnvelope(const std::vector<TItemChoice>& choices, uint32_t& chosen) override;
  bool EditTransactionFilter(TFilterCriteria& criteria, const TFilterDialogSetup& setup) override;
  /// Plays the scripted presses of OK or Cancel in turn: each answer edits the values the dialog
  /// shows and returns true for OK; an OK that ValidateAccountTransfer refuses keeps the dialog
  /// open for the next answer. Without a further answer the dialog is cancelled.
  bool EditAccountTransfer(TActXferValues& values, const std::vector<TItemChoice>& accounts,
                           const std::vector<TItemChoice>& envelopes) override;
  bool EditMemo(std::string& memo) override;
  bool ChooseAccount(const std::string& caption, const std::vector<TItemChoice>& accounts,
                     uint32_t& chosen) override;
  bool ChooseName(const std::string& caption, const std::vector<std::string>& names,
                  size_t& chosen) override;
  bool EditString(const std::string& title, const std::string& prompt, std::string& text) override;
  std::optional<std::string> ChooseOpenFile(const std::string& title, const std::string& filter,
                                            const std::string& folder) override;
  /// Plays the next scripted "Import Transactions": the answer works the dialog's state and
  /// returns true for "Import...". Without one the dialog is cancelled. Recorded as
  /// "import-options".
  bool EditImportOptions(TImportDialogState& state) override;
  bool EditAllocationPlan(TAllocationPlan& plan) override;
  bool EnterMonthlyIncome(std::array<float, 4>& incomes) override;

  /// One dialog the model opened: its name, the values it was opened with, the labels it was
  /// told are taken and the choices it offered.
  struct TDialogRecord {
    std::string dialog;
    std::string name;
    std::vector<std::string> takenNames;
    std::vector<TItemChoice> choices;
  };
  /// Queues the answer of the next dialog of that kind; an empty answer is Cancel. A dialog
  /// that finds no scripted answer is cancelled and counted in `UnansweredDialogs()`.
  void ScriptAccountDialog(std::optional<TAccountProperties> answer) {
    accountDialogs_.push_back(std::move(answer));
  }
  void ScriptGroupDialog(std::optional<TGroupProperties> answer) {
    groupDialogs_.push_back(std::move(answer));
  }
  void ScriptRootDialog(std::optional<std::string> answer) {
    rootDialogs_.push_back(std::move(answer));
  }
  void ScriptEnvelopeDialog(std::optional<TEnvelopeProperties> answer) {
    envelopeDialogs_.push_back(std::move(answer));
  }
  void ScriptBundleDialog(std::optional<TBundleProperties> answer) {
    bundleDialogs_.push_back(std::move(answer));
  }
  void ScriptAssociationDialog(std::optional<TGroupProperties> answer) {
    associationDialogs_.push_back(std::move(answer));
  }
  /// For both envelope choosers.
  void ScriptEnvelopeChoice(std::optional<uint32_t> answer) { envelopeChoices_.push_back(answer); }
  /// Queues the account the next "Select Account" returns; empty is Cancel. The dialog is
  /// recorded as "choose-account" with its caption as name.
  void ScriptAccountChoice(std::optional<uint32_t> answer) { accountChoices_.push_back(answer); }
  /// Queues the 0-based position the next name selection returns; empty is Cancel. Recorded as
  /// "choose-name" with its caption as name and the names as taken names.
  void ScriptNameChoice(std::optional<size_t> answer) { nameChoices_.push_back(answer); }
  /// Queues the text the next "Edit String" returns; empty is Cancel. Recorded as "edit-string"
  /// with the title as name and the prompt and initial text as taken names.
  void ScriptString(std::optional<std::string> answer) { stringDialogs_.push_back(answer); }
  /// Queues the path the next open-file dialog returns; empty is Cancel. Recorded as "open-file"
  /// with the title as name and the filter and folder as taken names.
  void ScriptOpenFile(std::optional<std::string> answer) { openFiles_.push_back(answer); }
  void ScriptImportDialog(std::function<bool(TImportDialogState&)> answer) {
    importDialogs_.push_back(std::move(answer));
  }
  /// Queues what the next plan editor does: the function edits the plan as the user would and
  /// returns true for "Save and Close". Recorded as "edit-allocation-plan"; without a script the
  /// editor is cancelled.
  void ScriptPlanEditor(std::function<bool(TAllocationPlan&)> answer) {
    planEditors_.push_back(std::move(answer));
  }
  /// Queues the incomes the next "Enter Monthly Income" returns; empty is Cancel. Recorded as
  /// "enter-monthly-income".
  void ScriptMonthlyIncome(std::optional<std::array<float, 4>> answer) {
    incomeDialogs_.push_back(answer);
  }
  /// Queues the text the next "Edit Memo" dialog returns; empty is Cancel.
  void ScriptMemoDialog(std::optional<std::string> answer) { memoDialogs_.push_back(answer); }
  /// Queues the criteria the next "Transaction Filter" dialog returns; empty is Cancel.
  void ScriptFilterDialog(std::optional<TFilterCriteria> answer) {
    filterDialogs_.push_back(std::move(answer));
  }
  /// Each "Transaction Filter" dialog opened: the criteria it showed and its setup.
  struct TFilterDialogRecord {
    TFilterCriteria shown;
    TFilterDialogSetup setup;
  };
  const std::vector<TFilterDialogRecord>& FilterDialogs() const { return shownFilterDialogs_; }
  /// Queues one press in "Account Transfer" (see EditAccountTransfer).
  void ScriptAccountTransfer(std::function<bool(TActXferValues&)> answer) {
    transferDialogs_.push_back(std::move(answer));
  }
  /// The values each "Account Transfer" dialog was opened with.
  const std::vector<TActXferValues>& AccountTransferDialogs() const { return shownTransfers_; }
  const std::vector<TDialogRecord>& Dialogs() const { return dialogs_; }
  int UnansweredDialogs() const { return unansweredDialogs_; }

  /// Queues the answer for the next message.
  void Script(TMessageAnswer answer) { script_.push_back(answer); }

  const std::vector<TMessage>& Messages() const { return messages_; }
  /// The texts of all messages so far, in order.
  std::vector<std::string> Texts() const;
  int Beeps() const { return beeps_; }
  /// Forgets every script, record and count.
  void Clear();

 private:
  template <class T>
  bool Answer(std::deque<std::optional<T>>& script, T& values);

  std::deque<std::optional<TAccountProperties>> accountDialogs_;
  std::deque<std::optional<TGroupProperties>> groupDialogs_;
  std::deque<std::optional<std::string>> rootDialogs_;
  std::deque<std::optional<TEnvelopeProperties>> envelopeDialogs_;
  std::deque<std::optional<TBundleProperties>> bundleDialogs_;
  std::deque<std::optional<TGroupProperties>> associationDialogs_;
  std::deque<std::optional<uint32_t>> envelopeChoices_;
  std::deque<std::optional<TFilterCriteria>> filterDialogs_;
  std::deque<std::optional<std::string>> memoDialogs_;
  std::deque<std::optional<uint32_t>> accountChoices_;
  std::deque<std::optional<size_t>> nameChoices_;
  std::deque<std::optional<std::string>> stringDialogs_;
  std::deque<std::optional<std::string>> openFiles_;
  std::deque<std::function<bool(TAllocationPlan&)>> planEditors_;
  std::deque<std::optional<std::array<float, 4>>> incomeDialogs_;
  std::vector<TFilterDialogRecord> shownFilterDialogs_;
  std::deque<std::function<bool(TImportDialogState&)>> importDialogs_;
  std::deque<std::function<bool(TActXferValues&)>> transferDialogs_;
  std::vector<TActXferValues> shownTransfers_;
  std::vector<TDialogRecord> dialogs_;
  int unansweredDialogs_ = 0;
  std::deque<TMessageAnswer> script_;
  std::vector<TMessage> messages_;
  int beeps_ = 0;
};
