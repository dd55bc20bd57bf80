#include "tests/support/recording_user_port.h"

TMessageAnswer TRecordingUserPort::Show(const TMessage& message) {
  messages_.push_back(message);
  if (script_.empty())
    return TMessageAnswer::Ok;
  TMessageAnswer answer = script_.front();
  script_.pop_front();
  return answer;
}

std::vector<std::string> TRecordingUserPort::Texts() const {
  std::vector<std::string> texts;
  for (const auto& message : messages_)
    texts.push_back(message.text);
  return texts;
}

void TRecordingUserPort::Clear() {
  *this = TRecordingUserPort();
}

template <class T>
bool TRecordingUserPort::Answer(std::deque<std::optional<T>>& script, T& values) {
  if (script.empty()) {
    ++unansweredDialogs_;
    return false;
  }
  std::optional<T> answer = std::move(script.front());
  script.pop_front();
  if (!answer)
    return false;
  values = std::move(*answer);
  return true;
}

bool TRecordingUserPort::EditAccountProperties(TAccountProperties& values,
                                               const std::vector<std::string>& takenNames,
                                               const std::vector<TItemChoice>& envelopes) {
  dialogs_.push_back({"account", values.name, takenNames, envelopes});
  return Answer(accountDialogs_, values);
}

bool TRecordingUserPort::EditAccountGroupProperties(TGroupProperties& values,
                                                    const std::vector<std::string>& takenNames) {
  dialogs_.push_back({"account-group", values.name, takenNames, {}});
  return Answer(groupDialogs_, values);
}

bool TRecordingUserPort::EditRootProperties(TTreeKind tree, std::string& name,
                                            const std::vector<std::string>& takenNames) {
  dialogs_.push_back(
      {tree == TTreeKind::Accounts ? "account-root" : "envelope-root", name, takenNames, {}});
  return Answer(rootDialogs_, name);
}

bool TRecordingUserPort::EditEnvelopeProperties(TEnvelopeProperties& values,
                                                const std::vector<std::string>& takenNames) {
  dialogs_.push_back({"envelope", values.name, takenNames, {}});
  return Answer(envelopeDialogs_, values);
}

bool TRecordingUserPort::EditBundleProperties(TBundleProperties& values,
                                              const std::vector<std::string>& takenNames) {
  dialogs_.push_back({"bundle", values.name, takenNames, {}});
  return Answer(bundleDialogs_, values);
}

bool TRecordingUserPort::EditAssociationProperties(TGroupProperties& values,
                                                   const std::vector<std::string>& takenNames) {
  dialogs_.push_back({"association", values.name, takenNames, {}});
  return Answer(associationDialogs_, values);
}

bool TRecordingUserPort::ChooseReplacementEnvelope(const std::vector<TItemChoice>& choices,
                                                   uint32_t& chosen) {
  dialogs_.push_back({"delete-envelope", {}, {}, choices});
  return Answer(envelopeChoices_, chosen);
}

bool TRecordingUserPort::ChooseEnvelope(const std::vector<TItemChoice>& choices, uint32_t& chosen) {
  dialogs_.push_back({"choose-envelope", {}, {}, choices});
  return Answer(envelopeChoices_, chosen);
}

bool TRecordingUserPort::EditMemo(std::string& memo) {
  dialogs_.push_back({"edit-memo", memo, {}, {}});
  return Answer(memoDialogs_, memo);
}

bool TRecordingUserPort::ChooseAccount(const std::string& caption,
                                       const std::vector<TItemChoice>& accounts, uint32_t& chosen) {
  dialogs_.push_back({"choose-account", caption, {}, accounts});
  return Answer(accountChoices_, chosen);
}

bool TRecordingUserPort::EditImportOptions(TImportDialogState& state) {
  dialogs_.push_back({"import-options", "Import Transactions", {}, {}});
  if (importDialogs_.empty()) {
    ++unansweredDialogs_;
    return false;
  }
  std::function<bool(TImportDialogState&)> answer = std::move(importDialogs_.front());
  importDialogs_.pop_front();
  return answer(state);
}

bool TRecordingUserPort::ChooseName(const std::string& caption,
                                    const std::vector<std::string>& names, size_t& chosen) {
  dialogs_.push_back({"choose-name", caption, names, {}});
  return Answer(nameChoices_, chosen);
}

bool TRecordingUserPort::EditString(const std::string& title, const std::string& prompt,
                                    std::string& text) {
  dialogs_.push_back({"edit-string", title, {prompt, text}, {}});
  return Answer(stringDialogs_, text);
}

std::optional<std::string> TRecordingUserPort::ChooseOpenFile(const std::string& title,
                                                              const std::string& filter,
                                                              const std::string& folder) {
  dialogs_.push_back({"open-file", title, {filter, folder}, {}});
  std::string path;
  if (!Answer(openFiles_, path))
    return std::nullopt;
  return path;
}

bool TRecordingUserPort::EditTransactionFilter(TFilterCriteria& criteria,
                                               const TFilterDialogSetup& setup) {
  dialogs_.push_back({"transaction-filter", {}, {}, setup.choices});
  shownFilterDialogs_.push_back({criteria, setup});
  return Answer(filterDialogs_, criteria);
}

bool TRecordingUserPort::EditAccountTransfer(TActXferValues& values,
                                             const std::vector<TItemChoice>& accounts,
                                             const std::vector<TItemChoice>&) {
  dialogs_.push_back({"account-transfer", {}, {}, accounts});
  shownTransfers_.push_back(values);
  TActXferValues shown = values;
  while (!transferDialogs_.empty()) {
    std::function<bool(TActXferValues&)> press = std::move(transferDialogs_.front());
    transferDialogs_.pop_front();
    if (!press(shown))
      return false;
    if (ValidateAccountTransfer(shown, *this)) {
      values = shown;
      return true;
    }
  }
  ++unansweredDialogs_;
  return false;
}

bool TRecordingUserPort::EditAllocationPlan(TAllocationPlan& plan) {
  dialogs_.push_back({"edit-allocation-plan", {}, {}, {}});
  if (planEditors_.empty()) {
    ++unansweredDialogs_;
    return false;
  }
  std::function<bool(TAllocationPlan&)> answer = std::move(planEditors_.front());
  planEditors_.pop_front();
  return answer(plan);
}

bool TRecordingUserPort::EnterMonthlyIncome(std::array<float, 4>& incomes) {
  dialogs_.push_back({"enter-monthly-income", {}, {}, {}});
  return Answer(incomeDialogs_, incomes);
}
