#pragma once

#include <QMdiArea>
#include <QPointer>

#include "ui/account_tree_window.h"
#include "ui/envelope_tree_window.h"
#include "ui/xview_window.h"

class TVorlaData;
class TXManager;

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

  /// Where the ledger windows read their columns and memo switch.
  void SetViewSettings(TXView::TSettingsSource settings) { viewSettings_ = std::move(settings); }
  /// Opens the ledger of an account (open flags of TXViewModel: reconcile, newly imported), or
  /// brings up the one already showing it the same way.
  TXView* OpenAccountLedger(uint32_t accountId, unsigned openFlags = 0);
  TXView* OpenEnvelopeLedger(uint32_t envelopeId, unsigned openFlags = 0);
  /// Opens the view of a multiple, or brings up the one already showing it.
  TXView* OpenMultiple(uint32_t multipleId);
  /// The ledger windows that are open.
  QList<TXView*> Views() const;
  /// Whether a cell of an open ledger is being typed into.
  bool IsTyping() const;
  /// The ledger window the ledger commands act on: the current child window when it is one.
  TXView* CurrentView() const;
  /// Rebuilds every ledger's columns after the configuration changed.
  void ConfigureViews();
  /// The idle check of every ledger's memo line.
  void IdleCheckViews();

  /// Closes every child window without asking, for when the budget goes whatever they say.
  void DropDocumentWindows();
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

 signals:
  /// A ledger asked for "Modify Transaction View Configuration".
  void ViewConfigurationRequested();
  /// The current ledger's commands may have changed their enabling.
  void LedgerCommandsChanged();

 private:
  void ShowList(TEnhancedListWindow* window, bool accounts);
  /// Adds a child window to the area.
  void AddChild(QMdiSubWindow* child);
  TXManager* Manager() const;
  /// The open view of that kind, subject and form (its open flags), for bringing up instead of
  /// opening twice.
  TXView* FindView(TXViewMode mode, uint32_t subject, unsigned openFlags) const;
  TXView* AddView(std::unique_ptr<TXViewModel> model);
  void Tile(bool sideBySide);

  TEnhancedListWindow::TOptionsSource options_;
  TXView::TSettingsSource viewSettings_;
  TVorlaData* document_ = nullptr;
  QPointer<TAccountTreeWindow> accountWindow_;
  QPointer<TEnvelopeTreeWindow> envelopeWindow_;
  TAccountTreeWindow::TLedgerHook accountLedgerHook_;
  TEnvelopeTreeWindow::TLedgerHook envelopeLedgerHook_;
};
