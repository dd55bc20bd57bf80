#pragma once

#include <string>
#include <vector>

#include "core/user_port.h"

/// A user port for runs without a person at the screen (the command-line tool, fuzzing): every
/// question gets the safe choice (No, or Cancel where there is no No), every dialog is cancelled,
/// and messages are kept as lines of text ("caption: text").
class TUnattendedUserPort : public TUserPort {
 public:
  TMessageAnswer Show(const TMessage& message) override;
  bool EditAccountProperties(TAccountProperties&, const std::vector<std::string>&,
                             const std::vector<TItemChoice>&) override {
    return false;
  }
  bool EditAccountGroupProperties(TGroupProperties&, const std::vector<std::string>&) override {
    return false;
  }
  bool EditRootProperties(TTreeKind, std::string&, const std::vector<std::string>&) override {
    return false;
  }
  bool EditEnvelopeProperties(TEnvelopeProperties&, const std::vector<std::string>&) override {
    return false;
  }
  bool EditBundleProperties(TBundleProperties&, const std::vector<std::string>&) override {
    return false;
  }
  bool EditAssociationProperties(TGroupProperties&, const std::vector<std::string>&) override {
    return false;
  }
  bool ChooseReplacementEnvelope(const std::vector<TItemChoice>&, uint32_t&) override {
    return false;
  }
  bool ChooseEnvelope(const std::vector<TItemChoice>&, uint32_t&) override { return false; }
  bool EditTransactionFilter(TFilterCriteria&, const TFilterDialogSetup&) override { return false; }
  bool EditAccountTransfer(TActXferValues&, const std::vector<TItemChoice>&,
                           const std::vector<TItemChoice>&) override {
    return false;
  }

  /// The messages so far, one line each, in the file encoding.
  const std::vector<std::string>& Lines() const { return lines_; }
  void ClearLines() { lines_.clear(); }

 private:
  std::vector<std::string> lines_;
};
