#pragma once

#include <QMdiArea>
#include <QPointer>

#include "ui/account_tree_window.h"
#include "ui/envelope_tree_window.h"

class TVorlaData;

/// The area of the main window that holds the child windows of the open budget: the account
/// list, the envelope list, and later the ledgers. It shows at most one list window per tree and
/// closes them all when the budget closes.
class TVorlaClient : public QMdiArea {
  Q_OBJECT

 public:
  explicit TVorlaClient(TEnhancedListWindow::TOptionsSource options, QWidget* parent = nullptr);

  /// The budget whose windows this area shows (null when none is open).
  void SetDocument(TVorlaData* document) { document_ = document; }
  TVorlaData* Document() const { return document_; }

  /// Shows the list window of a tree, making it when it is not open, else bringing it up.
  void ShowAccountList();
  void ShowEnvelopeList();
  TAccountTreeWindow* AccountWindow() const { return accountWindow_.data(); }
  TEnvelopeTreeWindow* EnvelopeWindow() const { return envelopeWindow_.data(); }

  /// What opens the ledgers that the list windows ask for; without them the ledger commands of
  /// the lists stay disabled.
  void SetAccountLedgerHook(TAccountTreeWindow::TLedgerHook hook);
  void SetEnvelopeLedgerHook(TEnvelopeTreeWindow::TLedgerHook hook);

  /// Closes every child window; false when one of them refuses.
  bool CloseDocumentWindows();
  /// Redraws the list windows after the display switches changed.
  void RefreshLists();

  /// Places the windows that are not minimised side by side, in equal columns.
  void TileVertically();
  /// Places them one above the other, in equal rows.
  void TileHorizontally();
  /// Lines the minimised windows up along the bottom edge.
  void ArrangeIcons();

 private:
  void ShowList(TEnhancedListWindow* window, bool accounts);
  void Tile(bool sideBySide);

  TEnhancedListWindow::TOptionsSource options_;
  TVorlaData* document_ = nullptr;
  QPointer<TAccountTreeWindow> accountWindow_;
  QPointer<TEnvelopeTreeWindow> envelopeWindow_;
  TAccountTreeWindow::TLedgerHook accountLedgerHook_;
  TEnvelopeTreeWindow::TLedgerHook envelopeLedgerHook_;
};
