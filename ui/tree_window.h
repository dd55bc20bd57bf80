#pragma once

#include <QMdiSubWindow>
#include <functional>
#include <unordered_map>

#include "core/list_display_options.h"
#include "core/tree_list.h"

class QTreeWidget;
class QTreeWidgetItem;
struct TTreeWindowLayout;

/// A child window that shows one tree of the open budget, the account tree or the envelope
/// tree, one row per node with the node's display text. It follows the tree through the list's
/// notices, and keeps the document's window layout for its tree up to date: place, size and
/// show state while it is open, and the open flag. Once detached (closed, or its budget going
/// away) it no longer touches the tree or the layout.
class TTreeWindow : public QMdiSubWindow, private TTreeListener {
  Q_OBJECT

 public:
  /// Reads the display switches of the configuration at each redraw.
  using TOptionsSource = std::function<TListDisplayOptions()>;

  TTreeWindow(const QString& title, TTreeList& list, TTreeWindowLayout& layout,
              TOptionsSource options, QWidget* parent = nullptr);
  ~TTreeWindow() override;

  /// Places the window as its layout says (a layout never used gets the area's choice) and
  /// shows it; from then on the layout follows the window.
  void ShowFromLayout();
  /// Redraws every row, for changed display switches.
  void RefreshTexts();
  /// Stops following the tree and the layout.
  void Detach();
  bool IsAttached() const { return list_ != nullptr; }

  /// The rows as shown, for tests and screenshots.
  QTreeWidget* View() const { return view_; }

 protected:
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void NodeChanged(const TTreeItem& node) override;
  void NodeRemoved(const TTreeItem& node) override;
  void ListChanged() override;

  void ScheduleRebuild();
  void Rebuild();
  void AddRows(const TTreeItem& node, QTreeWidgetItem* parent, const TListDisplayOptions& options);
  void RecordPlacement();

  TTreeList* list_;
  TTreeWindowLayout* layout_;
  TOptionsSource options_;
  QTreeWidget* view_;
  std::unordered_map<const TTreeItem*, QTreeWidgetItem*> rows_;
  bool rebuildPending_ = false;
  bool placed_ = false;
};
