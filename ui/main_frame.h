#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <vector>

#include "ui/commands.h"

class QAction;
class QLabel;
class QMenu;
class QToolBar;
class TVorlaClient;

/// The program's main window: the menus and the control bar with every command, the status bar
/// with its "Modified" field, and the area of child windows. It carries out nothing itself:
/// each command goes to the handler its owner sets, and closing asks the owner first.
class TMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  explicit TMainFrame(TVorlaClient* client, QWidget* parent = nullptr);

  TVorlaClient& Client() const { return *client_; }

  /// Receives every command chosen from a menu, a key or the control bar.
  void SetCommandHandler(std::function<void(TCommandId)> handler) {
    commandHandler_ = std::move(handler);
  }
  /// Asked when the window is to close; false keeps it open.
  void SetCloseHandler(std::function<bool()> handler) { closeHandler_ = std::move(handler); }
  /// Told whenever the window moves, is resized or changes its state.
  void SetPlacementHandler(std::function<void()> handler) {
    placementHandler_ = std::move(handler);
  }

  /// The action of a command (menu item, control-bar button and key share it).
  QAction* Action(TCommandId id) const { return actions_.at(id); }
  /// Enables the commands that this build carries out, those that need a budget only while one
  /// is open; the commands that act on the current ledger ask `LedgerState`.
  void UpdateCommands(bool fileOpen);
  /// Whether a ledger command is enabled and checked, for the current ledger window; none
  /// while no ledger window is current.
  struct TLedgerCommandState {
    bool enabled = false;
    bool checked = false;
  };
  void SetLedgerState(std::function<TLedgerCommandState(TCommandId)> state) {
    ledgerState_ = std::move(state);
  }
  /// Names Undo and Redo after the steps they would take (empty: nothing to take, disabled).
  void ShowHistory(const QString& undoStep, const QString& redoStep);
  /// The menu of the current child window (a ledger or a list): shown while one is current,
  /// under the title it gives, and filled with its commands each time it opens.
  void SetLedgerMenu(std::function<std::vector<QAction*>()> actions);
  void ShowLedgerMenu(bool shown, const QString& title = QStringLiteral("&Ledger"));
  QMenu* LedgerMenu() const { return ledgerMenu_; }
  /// File, "Recent Budgets": filled by the application each time it opens.
  QMenu* RecentMenu() const { return recentMenu_; }
  /// Creates or removes the status bar and the control bar as the switches say.
  void ShowBars(bool statusBar, bool controlBar);
  /// The status bar's text field: "Modified" or empty.
  void ShowModified(bool modified);
  /// The status bar's text field as shown; empty when there is no status bar.
  QString ModifiedText() const;
  /// A lasting notice about the open budget's file in the status bar (empty clears it).
  void ShowFileNotice(const QString& text);
  QString FileNoticeText() const;
  QToolBar* ControlBar() const { return controlBar_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void MakeActions();
  void MakeMenus();
  void MakeControlBar();
  void PlacementChanged();

  TVorlaClient* client_;
  std::map<TCommandId, QAction*> actions_;
  QToolBar* controlBar_ = nullptr;
  QMenu* ledgerMenu_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  std::function<std::vector<QAction*>()> ledgerActions_;
  std::function<TLedgerCommandState(TCommandId)> ledgerState_;
  QString undoStep_;
  QString redoStep_;
  QLabel* modifiedField_ = nullptr;
  QLabel* fileNoticeField_ = nullptr;
  QString fileNotice_;
  bool modified_ = false;
  std::function<void(TCommandId)> commandHandler_;
  std::function<bool()> closeHandler_;
  std::function<void()> placementHandler_;
};
