#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

#include "core/user_port.h"

class TClock;
class TVorlaConfig;

/// The model's way to the user in the desktop program: message boxes with the caption, text,
/// buttons and icon the model asks for, and the dialogs the model drives. Texts cross from
/// Windows-1252 here; a typed character that a budget file cannot store is refused in the
/// dialog that took it.
class TQtUserPort : public TUserPort {
 public:
  /// Answers a message instead of a message box; nothing lets the box be shown after all.
  using TMessageHook = std::function<std::optional<TMessageAnswer>(const TMessage&)>;

  /// `clock` gives the date fields their current year. The window that owns the dialogs may be
  /// null, and may be set later.
  explicit TQtUserPort(const TClock& clock, QWidget* owner = nullptr)
      : clock_(clock), owner_(owner) {}
  void SetOwner(QWidget* owner) { owner_ = owner; }

  /// A seam for tests and for unattended runs: every message passes through `hook` first.
  void SetMessageHook(TMessageHook hook) { messageHook_ = std::move(hook); }
  /// Runs before any message or dialog is shown (the start-up window steps aside for them).
  void SetBeforeDialog(std::function<void()> before) { beforeDialog_ = std::move(before); }

  TMessageAnswer Show(const TMessage& message) override;
  void Beep() override;

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
  bool EditAccountTransfer(TActXferValues& values, const std::vector<TItemChoice>& accounts,
                           const std::vector<TItemChoice>& envelopes) override;
  bool EditMemo(std::string& memo) override;
  bool ChooseAccount(const std::string& caption, const std::vector<TItemChoice>& accounts,
                     uint32_t& chosen) override;
  std::optional<std::string> ChooseOpenFile(const std::string& title, const std::string& filter,
                                            const std::string& folder) override;
  bool EditImportOptions(TImportDialogState& state) override;
  bool EditCsvMapping(TCsvMappingState& state) override;
  bool EditAllocationPlan(TAllocationPlan& plan) override;
  bool EnterMonthlyIncome(std::array<float, 4>& incomes) override;

  /// The configuration that keeps dialog sizes and column widths (may be null).
  void SetConfig(TVorlaConfig* config) { config_ = config; }
  bool ChooseName(const std::string& caption, const std::vector<std::string>& names,
                  size_t& chosen) override;
  bool EditString(const std::string& title, const std::string& prompt, std::string& text) override;

 private:
  QWidget* Owner() const {
    if (beforeDialog_)
      beforeDialog_();
    return owner_.data();
  }

  const TClock& clock_;
  QPointer<QWidget> owner_;
  TMessageHook messageHook_;
  std::function<void()> beforeDialog_;
  TVorlaConfig* config_ = nullptr;
};
