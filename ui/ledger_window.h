#pragma once

#include <QAbstractScrollArea>
#include <QFont>
#include <QListWidget>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "presentation/ledger.h"

class QLineEdit;

class TTypingCompletion;
class TUserPort;
class QComboBox;

/// The editable ledger grid on the screen: it paints what the grid logic (`TLedger`) lays out
/// and what the rows say of their cells, and hands every key, click, wheel turn and scroll-bar
/// move to that logic. The in-place editors are a line edit with the column's text limit and,
/// for name cells, an editable list of the names with completion.
class TLedgerWindow : public QAbstractScrollArea, private TLedgerHost {
  Q_OBJECT

 public:
  /// The names a name-cell editor offers (the envelope names, in list order).
  using TNamesSource = std::function<QStringList()>;

  /// `footer` adds a band below the rows that shows the row source's footer texts (totals).
  /// `presenter` lays out the kind of row `rows` holds and must outlive the window.
  TLedgerWindow(TLedgerList& rows, const TRowPresenter& presenter, QWidget* parent = nullptr,
                bool footer = false);
  ~TLedgerWindow() override;

  TLedger& Logic() { return *logic_; }
  const TLedger& Logic() const { return *logic_; }
  void SetNamesSource(TNamesSource names) { names_ = std::move(names); }
  /// The known texts (model text) that start with a prefix, best first, for the cells whose
  /// entry completes as the user types (the payees).
  using TCompletionSource = std::function<std::vector<std::string>(std::string_view prefix)>;
  void SetCompletionSource(TCompletionSource source) { completions_ = std::move(source); }
  /// The list of completions under the open editor, null when none is open.
  QListWidget* CompletionList() const { return completionList_.data(); }
  /// Where the grid tells of typed text that a budget file cannot store.
  void SetUser(TUserPort* user) { user_ = user; }
  /// Repaints the rows and the scroll bar after the rows changed beneath the grid.
  void RefreshRows();
  /// The open editor (a QLineEdit or a QComboBox), null when none.
  QWidget* Editor() const { return editor_.data(); }
  /// The row under a point of the viewport (0 when none), for the memo line.
  int VisibleRowAt(const QPoint& point) const;
  /// The font the cells are drawn in now (it follows the grid's zoom).
  QFont GridFont() const;
  /// Where the footer band draws the text of a column (1-based index), inside its margins.
  QRect FooterTextRect(int index) const;

 signals:
  /// The right button was pressed at a global point (the view opens its pop-up menu).
  void ContextMenuRequested(const QPoint& globalPoint);
  /// The cursor moved or the rows changed (the view refreshes its memo line and commands).
  void CursorChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  bool focusNextPrevChild(bool next) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // TLedgerHost.
  int SystemFontHeight() const override;
  TLedgerFontMetrics MetricsForHeight(int pixelHeight) const override;
  void ShowEditor(const TCellRect& cell, int column, const TCellEditorSpec& editor) override;
  TLedgerEditorResult TakeEditor() override;
  void Repaint() override;
  bool IsMinimised() const override;

  void SyncScrollBar(bool fromAction = false);
  void OnScrollAction(int action);
  /// A key that closes the editor and moves the grid on.
  bool EditorKey(QKeyEvent* event);
  void CommitEditorFromFocusLoss();
  /// Completes `line` as it is typed from `matcher`, with a list of the matches under `place`.
  void OfferCompletion(QLineEdit* line, const QRect& place, const QFont& font,
                       TCompletionSource matcher);
  /// The line of the open editor (a name list's own line), null when none is open.
  QLineEdit* EditorLine() const;
  /// Shows the completion's text in the line (the completed tail selected) and its list.
  void ShowCompletion();
  /// Up, Down and Esc walk or drop an offered completion; true when the key was taken.
  bool CompletionKey(int key);

  std::unique_ptr<TLedger> logic_;
  TNamesSource names_;
  TCompletionSource completions_;
  std::unique_ptr<TTypingCompletion> completion_;
  QPointer<QListWidget> completionList_;
  TUserPort* user_ = nullptr;
  QPointer<QWidget> editor_;
  bool editorCancelled_ = false;
  bool syncingScrollBar_ = false;
  bool scrollBarPending_ = false;
  bool closingEditor_ = false;
  bool footer_ = false;
};
