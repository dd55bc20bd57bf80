#pragma once

#include <cstdint>
#include <functional>

#include "ui/enhanced_list_window.h"

class TVorlaData;

/// The envelope list: the envelope tree of the open budget with the commands that insert, edit,
/// delete and open envelopes, bundles and associations, toggle watchdogs and zero envelopes.
class TEnvelopeTreeWindow : public TEnhancedListWindow {
  Q_OBJECT

 public:
  /// Opens the ledger of an envelope.
  using TLedgerHook = std::function<void(uint32_t envelopeId)>;

  TEnvelopeTreeWindow(TVorlaData& document, TOptionsSource options, QWidget* parent = nullptr);

  /// Without a hook the ledger command stays disabled.
  void SetLedgerHook(TLedgerHook hook);

 protected:
  TPictureKind PictureKind(const TTreeItem& node) const override;
  bool ShowsWatchdog(const TTreeItem& node) const override;
  void DoubleClicked(TTreeItem& node, int column) override;
  void EnableCommands() override;

 private:
  enum class TInsertKind { Envelope, Bundle, Association };
  void Insert(TInsertKind kind);
  void OpenLedgers();
  void EditProperties();
  void DeleteItems();
  void ToggleWatchdogs();
  void ZeroEnvelopes();

  TVorlaData& document_;
  TLedgerHook ledgerHook_;
};
