#pragma once

#include <cstdint>
#include <functional>

#include "ui/enhanced_list_window.h"

class TVorlaData;

/// The account list: the account tree of the open budget with the commands that insert, edit,
/// delete and open accounts and groups.
class TAccountTreeWindow : public TEnhancedListWindow {
  Q_OBJECT

 public:
  /// Opens the ledger of an account; `reconcile` asks for its cleared transactions only.
  using TLedgerHook = std::function<void(uint32_t accountId, bool reconcile)>;

  TAccountTreeWindow(TVorlaData& document, TOptionsSource options, QWidget* parent = nullptr);

  /// Without a hook the ledger commands stay disabled.
  void SetLedgerHook(TLedgerHook hook);

 protected:
  TPictureKind PictureKind(const TTreeItem& node) const override;
  void DoubleClicked(TTreeItem& node, int column) override;
  void EnableCommands() override;

 private:
  void Insert(bool group);
  void OpenLedgers(bool reconcile);
  void EditProperties();
  void DeleteItems();

  TVorlaData& document_;
  TLedgerHook ledgerHook_;
};
