#pragma once

#include <QMdiSubWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "core/date_value.h"
#include "presentation/xview_model.h"
#include "transactions/xlist.h"

class QAction;
class QMenu;
class TLedgerWindow;
class TXItem;
class TXViewStatusStrip;

/// What a ledger window reads from the configuration each time it lays out its columns.
struct TXViewSettings {
  TXViewColumnSettings columns;
  /// The memo line follows the mouse instead of the cursor.
  bool flyByMemo = false;
};

/// A ledger window: an account, envelope or multiple view in its own child window of the main
/// window. The grid fills it and the status strip below shows the balance that matters for the
/// view and the memo of the current row. Everything the view decides is the model's
/// (`TXViewModel`); the window paints, forwards the ledger commands with their keys, and closes
/// when the model says its subject went away.
class TXView : public QMdiSubWindow, private TXViewListener {
  Q_OBJECT

 public:
  using TSettingsSource = std::function<TXViewSettings()>;

  TXView(std::unique_ptr<TXViewModel> model, TSettingsSource settings, QWidget* parent = nullptr);
  ~TXView() override;

  /// Null once the view has let go of its subject (closed, or its subject went away).
  TXViewModel* Model() const { return model_.get(); }
  TLedgerWindow* Grid() const { return grid_; }
  /// The transaction under the grid cursor, null when none.
  TXItem* CurrentItem() const;

  /// Lets go of the subject without asking and closes: for when the budget goes regardless.
  void Discard();
  /// Carries out a ledger command (the menus', the keys' and the control bar's).
  void RunCommand(int command);
  bool IsCommandEnabled(int command) const;
  bool IsCommandChecked(int command) const;
  /// Enables the view's own command actions (and their keys) as the commands allow now.
  void UpdateActions();
  /// The view's commands in the order of its menu; null entries are separators.
  const std::vector<QAction*>& MenuActions() const { return menuActions_; }
  /// Rebuilds the grid's columns from the configuration.
  void ConfigureColumns();
  /// Narrows the ledger to the days from `from` to `to` through its filter's date range, as
  /// its filter dialog would (a chart's bar or point opens a ledger so).
  void ShowDates(TDateValue from, TDateValue to);
  /// The idle check of the memo line: redraws it when the text to show changed.
  void IdleCheckMemo();
  /// The memo line as last drawn.
  QString MemoText() const;
  /// The status strip's label and value texts as drawn.
  QString StatusLabelText() const;
  QString StatusValueText() const;

 signals:
  /// A multiple's view should open.
  void OpenMultipleRequested(uint32_t multipleId);
  /// "Modify Transaction View Configuration" was chosen.
  void ConfigurationRequested();
  /// The commands' enabling may have changed.
  void CommandsChanged();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Notify(TXViewNotice notice, uint32_t id) override;
  void Repaint() override;

  void MakeActions();
  void Relayout();
  /// Lets go of the subject: the grid goes first (it edits rows of the model's source).
  void Detach();
  void ShowPopup(const QPoint& globalPoint);

  std::unique_ptr<TXViewModel> model_;
  TSettingsSource settings_;
  TLedgerWindow* grid_ = nullptr;
  TXViewStatusStrip* strip_ = nullptr;
  std::map<int, QAction*> actions_;
  std::vector<QAction*> menuActions_;
  std::string cachedMemo_;
  bool registered_ = false;
};
