#pragma once

#include <QAbstractScrollArea>
#include <QMdiSubWindow>
#include <functional>
#include <vector>

#include "core/list_display_options.h"
#include "core/tree_list.h"
#include "presentation/tree_selection.h"
#include "ui/tree_pictures.h"

class QMenu;
struct TTreeWindowLayout;
class TEnhancedListWindow;

/// The rows of a list window: it paints the shown nodes of the tree itself, one row each, with
/// the connectors, pictures and texts, and turns mouse, wheel and arrow keys into the window's
/// selection, drag and scroll rules.
class TEnhancedListView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit TEnhancedListView(TEnhancedListWindow& window);

  /// Recomputes the scroll ranges from the rows and the widest text.
  void UpdateRanges();
  /// The row and column under a point of the viewport.
  TRowHit HitAt(const QPoint& point) const;
  /// Scrolls just enough to show a row whole.
  void ScrollToRow(size_t row);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void PaintRow(QPainter& painter, const TTreeItem& node, size_t row, bool focused);

  TEnhancedListWindow& window_;
  int wheelRemainder_ = 0;
};

/// A child window that shows one tree of the open budget as rows: the account list and the
/// envelope list derive from it and add their pictures and commands. It keeps a multiple
/// selection, lets the user drag nodes onto other nodes, follows the tree through the list's
/// notices, and keeps the document's window layout for its tree up to date: place, size and show
/// state while it is open, and the open flag. Once detached (closed, or its budget going away) it
/// no longer touches the tree or the layout.
class TEnhancedListWindow : public QMdiSubWindow, private TTreeListener {
  Q_OBJECT

 public:
  /// Reads the display switches of the configuration at each redraw.
  using TOptionsSource = std::function<TListDisplayOptions()>;

  ~TEnhancedListWindow() override;

  /// Places the window as its layout says (a layout never used gets the area's choice) and
  /// shows it; from then on the layout follows the window.
  void ShowFromLayout();
  /// Redraws every row, for changed display switches.
  void RefreshTexts();
  /// Stops following the tree and the layout.
  void Detach();
  bool IsAttached() const { return list_ != nullptr; }

  /// The rows as drawn, for tests and screenshots.
  TEnhancedListView* View() const { return view_; }
  TTreeSelection& Selection() { return selection_; }
  /// The display texts of the shown rows, top to bottom.
  QStringList RowTexts() const;
  /// Where a row's cell of `column` (1-based), or with column 0 its text, lies in the view's
  /// viewport.
  QRect RowRect(size_t row, int column) const;
  int RowHeight() const { return geometry_.rowHeight; }
  int ColumnWidth() const { return geometry_.columnWidth; }

  /// The command with the id, as its menu item, key and context-menu entry share it; null when
  /// the window has no such command.
  QAction* Command(int id) const;
  /// The window's own commands in menu order (separators included), for a menu bar.
  const QList<QAction*>& Commands() const { return commands_; }
  /// The context menu as the right button shows it.
  QMenu* ContextMenu() const { return contextMenu_; }
  /// Enables the commands by the selection.
  void UpdateCommands();

 protected:
  TEnhancedListWindow(const QString& title, TTreeList& list, TTreeWindowLayout& layout,
                      TOptionsSource options, QWidget* parent);

  TTreeList* List() const { return list_; }
  /// The picture of a node and whether its watchdog mark shows.
  virtual TPictureKind PictureKind(const TTreeItem& node) const = 0;
  virtual bool ShowsWatchdog(const TTreeItem& node) const;
  /// A double-click on a node's column; the base toggles a node with children on its picture.
  virtual void DoubleClicked(TTreeItem& node, int column);
  /// Enables each command by the current selection.
  virtual void EnableCommands() = 0;

  /// The undo step a command of this window makes, named after it and the node it acts on.
  QString StepNameFor(const QString& commandText) const;
  /// Adds a command of the window with the keys that run it while the window has the focus.
  QAction* AddCommand(int id, const char* text, const QList<QKeySequence>& keys,
                      std::function<void()> run);
  /// Adds an entry of the context menu that the main window carries out (configuration and
  /// reports); it is enabled as the main window's command is.
  QAction* AddMainWindowCommand(int id, const char* text);
  void AddSeparator();
  /// The selected nodes as they were when a command started; the command checks each with
  /// StillSelected before it uses it, since earlier steps may have destroyed some.
  std::vector<TTreeItem*> SelectionCopy() const { return selection_.Nodes(); }
  bool StillSelected(const TTreeItem& node) const { return selection_.IsSelected(node); }
  /// Makes a node that a command created the only selected one.
  void SelectNew(TTreeItem* node);

  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  friend class TEnhancedListView;

  void NodeChanged(const TTreeItem& node) override;
  void NodeRemoved(const TTreeItem& node) override;
  void ListChanged() override;

  /// The shown nodes in row order, rebuilt after the tree changed.
  const std::vector<TTreeItem*>& Rows() const;
  void ScheduleRanges();
  void RecordPlacement();
  void Redraw();

  TTreeList* list_;
  TTreeWindowLayout* layout_;
  TOptionsSource options_;
  TTreeSelection selection_;
  TRowGeometry geometry_;
  TEnhancedListView* view_;
  QMenu* contextMenu_;
  QList<QAction*> commands_;
  std::vector<std::pair<QAction*, int>> mainWindowCommands_;
  mutable std::vector<TTreeItem*> rows_;
  mutable bool rowsValid_ = false;
  bool rangesPending_ = false;
  bool placed_ = false;
};
