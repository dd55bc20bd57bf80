#include "ui/ledger_window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "core/user_port.h"
#include "presentation/typing_completion.h"
#include "ui/model_text.h"

namespace {

QColor FromRgb(uint32_t rgb) {
  return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

QRect ToQRect(const TCellRect& cell) {
  return QRect(QPoint(cell.left, cell.top), QPoint(cell.right - 1, cell.bottom - 1));
}

/// Draws the cells a row describes with the grid font and the system colours.
class TQtCellPainter final : public TCellPainter {
 public:
  TQtCellPainter(QPainter& painter, const QPalette& palette)
      : painter_(painter), palette_(palette) {}

  void DrawCellText(const TCellRect& rect, std::string_view text, TCellAlignment alignment,
                    bool highlighted) override {
    const QRect cell = ToQRect(rect);
    if (highlighted) {
      painter_.fillRect(cell, palette_.color(QPalette::Highlight));
      painter_.setPen(palette_.color(QPalette::HighlightedText));
    } else {
      painter_.setPen(palette_.color(QPalette::ButtonText));
    }
    constexpr int kMargin = 2;
    const QRect inner = cell.adjusted(kMargin, 0, -kMargin, 0);
    int flags = Qt::AlignVCenter | Qt::TextSingleLine;
    switch (alignment) {
      case TCellAlignment::Left:
        flags |= Qt::AlignLeft;
        break;
      case TCellAlignment::Center:
        flags |= Qt::AlignHCenter;
        break;
      case TCellAlignment::Right:
        flags |= Qt::AlignRight;
        break;
    }
    painter_.save();
    painter_.setClipRect(cell);
    painter_.drawText(inner, flags, FromModel(std::string(text)));
    painter_.restore();
  }

 private:
  QPainter& painter_;
  const QPalette& palette_;
};

/// The font height the grid asks for is the height of a line; Qt sizes fonts by their em, so
/// the pixel size is scaled until a line fits.
int PixelSizeForLine(int lineHeight) {
  QFont font(QStringLiteral("Tahoma"));
  font.setPixelSize(std::max(1, lineHeight));
  const int actual = QFontMetrics(font).height();
  if (actual <= lineHeight || actual == 0)
    return std::max(1, lineHeight);
  return std::max(1, lineHeight * lineHeight / actual);
}

/// The grid's meaning of a key, if it has one.
std::optional<TLedgerKey> LedgerKeyOf(const QKeyEvent& event) {
  const bool ctrl = (event.modifiers() & Qt::ControlModifier) != 0;
  const bool shift = (event.modifiers() & Qt::ShiftModifier) != 0;
  switch (event.key()) {
    case Qt::Key_Tab:
      return TLedgerKey::Tab;
    case Qt::Key_Backtab:
      return TLedgerKey::ShiftTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return shift ? TLedgerKey::ShiftEnter : TLedgerKey::Enter;
    case Qt::Key_Backspace:
      return TLedgerKey::Backspace;
    case Qt::Key_Escape:
      return TLedgerKey::Escape;
    case Qt::Key_Up:
      return TLedgerKey::Up;
    case Qt::Key_Down:
      return TLedgerKey::Down;
    case Qt::Key_PageUp:
      return ctrl ? TLedgerKey::CtrlPageUp : TLedgerKey::PageUp;
    case Qt::Key_PageDown:
      return ctrl ? TLedgerKey::CtrlPageDown : TLedgerKey::PageDown;
    case Qt::Key_Home:
      return ctrl ? TLedgerKey::CtrlHome : TLedgerKey::Home;
    case Qt::Key_End:
      return ctrl ? TLedgerKey::CtrlEnd : TLedgerKey::End;
    case Qt::Key_Insert:
      if (ctrl)
        return TLedgerKey::CtrlInsert;
      if (shift)
        return TLedgerKey::ShiftInsert;
      return std::nullopt;
    case Qt::Key_Delete:
      if (ctrl)
        return TLedgerKey::CtrlDelete;
      if (shift)
        return TLedgerKey::ShiftDelete;
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

/// The keys that close an in-place editor and move the grid on.
bool ClosesEditor(int key) {
  return key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Return ||
         key == Qt::Key_Enter || key == Qt::Key_Escape || key == Qt::Key_PageUp ||
         key == Qt::Key_PageDown || key == Qt::Key_Up || key == Qt::Key_Down;
}

}  // namespace

TLedgerWindow::TLedgerWindow(TLedgerList& rows, const TRowPresenter& presenter, QWidget* parent,
                             bool footer)
    : QAbstractScrollArea(parent),
      logic_(new TLedger(rows, presenter, static_cast<TLedgerHost&>(*this), footer)),
      footer_(footer) {
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  viewport()->setAutoFillBackground(false);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setMouseTracking(true);
  QScrollBar* bar = verticalScrollBar();
  connect(bar, &QScrollBar::actionTriggered, this, &TLedgerWindow::OnScrollAction);
  connect(bar, &QScrollBar::sliderReleased, this, [this] {
    logic_->DropScrollBox(static_cast<uint32_t>(verticalScrollBar()->sliderPosition()));
    RefreshRows();
    emit CursorChanged();
  });
}

TLedgerWindow::~TLedgerWindow() {
  // A pending edit is kept, as it would be when the user moved away from it.
  if (logic_->EditorOpen())
    logic_->CloseEditor();
}

QRect TLedgerWindow::FooterTextRect(int index) const {
  const QRect header = ToQRect(logic_->HeaderRect(index));
  const int height = logic_->HeaderHeight();
  return QRect(header.left() + 2, viewport()->height() - height, header.width() - 4, height);
}

QFont TLedgerWindow::GridFont() const {
  QFont font(QStringLiteral("Tahoma"));
  font.setPixelSize(PixelSizeForLine(std::max(1, logic_->FontHeight())));
  return font;
}

int TLedgerWindow::SystemFontHeight() const {
  return QFontMetrics(QApplication::font()).height();
}

TLedgerFontMetrics TLedgerWindow::MetricsForHeight(int pixelHeight) const {
  QFont font(QStringLiteral("Tahoma"));
  font.setPixelSize(PixelSizeForLine(pixelHeight));
  const QFontMetrics metrics(font);
  // Most fonts here ask for no space between lines; a little keeps rows readable.
  const int leading = std::max(metrics.leading(), std::max(2, pixelHeight / 6));
  return TLedgerFontMetrics{pixelHeight, leading};
}

bool TLedgerWindow::IsMinimised() const {
  const QWidget* top = window();
  if (isMinimized() || (top != nullptr && top->isMinimized()))
    return true;
  for (const QWidget* widget = parentWidget(); widget != nullptr; widget = widget->parentWidget()) {
    if (widget->isMinimized())
      return true;
  }
  return false;
}

void TLedgerWindow::Repaint() {
  viewport()->update();
  // The scroll bar asks the store where the rows stand; one look per turn of the event loop is
  // enough however many moves a key made.
  if (scrollBarPending_)
    return;
  scrollBarPending_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        scrollBarPending_ = false;
        SyncScrollBar();
      },
      Qt::QueuedConnection);
}

void TLedgerWindow::RefreshRows() {
  Repaint();
}

void TLedgerWindow::SyncScrollBar(bool fromAction) {
  if (syncingScrollBar_)
    return;
  syncingScrollBar_ = true;
  QScrollBar* bar = verticalScrollBar();
  const TLedger::TScrollBar range = logic_->ScrollBar();
  bar->setRange(static_cast<int>(range.minimum), static_cast<int>(range.maximum));
  bar->setPageStep(std::max(1, logic_->VisibleRows()));
  bar->setSingleStep(1);
  // Inside an action the slider's own step is replaced by where the grid really went; while
  // the user drags the box it stays where the user holds it.
  if (fromAction)
    bar->setSliderPosition(static_cast<int>(range.value));
  else if (!bar->isSliderDown())
    bar->setValue(static_cast<int>(range.value));
  syncingScrollBar_ = false;
}

void TLedgerWindow::OnScrollAction(int action) {
  using A = TLedger::TScrollAction;
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
      logic_->Scroll(A::LineDown);
      break;
    case QAbstractSlider::SliderSingleStepSub:
      logic_->Scroll(A::LineUp);
      break;
    case QAbstractSlider::SliderPageStepAdd:
      logic_->Scroll(A::PageDown);
      break;
    case QAbstractSlider::SliderPageStepSub:
      logic_->Scroll(A::PageUp);
      break;
    default:
      // Dragging the box moves it alone; the rows follow when it is dropped.
      return;
  }
  viewport()->update();
  SyncScrollBar(true);
  emit CursorChanged();
}

void TLedgerWindow::scrollContentsBy(int, int) {
  // The rows are not a scrolled picture: the grid logic decides what the scroll bar means.
}

void TLedgerWindow::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  logic_->Resize(viewport()->width(), viewport()->height());
  RefreshRows();
}

void TLedgerWindow::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const QPalette& colours = palette();
  const QColor background = FromRgb(logic_->Background());
  const QColor lines = colours.color(QPalette::Mid);
  const int width = viewport()->width();
  const int height = viewport()->height();
  painter.setFont(GridFont());

  // Header.
  const int headerHeight = logic_->HeaderHeight();
  painter.fillRect(QRect(0, 0, width, headerHeight), colours.color(QPalette::Button));
  painter.setPen(colours.color(QPalette::ButtonText));
  for (int index = 1; index <= logic_->ColumnCount(); ++index) {
    const QRect cell = ToQRect(logic_->HeaderRect(index));
    painter.drawText(cell, Qt::AlignCenter | Qt::TextSingleLine,
                     FromModel(logic_->Rows().HeaderText(logic_->ColumnNumber(index))));
  }
  painter.setPen(lines);
  painter.drawLine(0, headerHeight - 1, width, headerHeight - 1);

  // Rows, with the alternation continued below the last one.
  const int rowHeight = std::max(1, logic_->RowHeight());
  const int visible = logic_->VisibleRows();
  int band = 0;
  for (int top = headerHeight; top < height; top += rowHeight, ++band) {
    painter.fillRect(QRect(0, top, width, rowHeight), band % 2 == 0 ? background : Qt::white);
  }
  TQtCellPainter cells(painter, colours);
  logic_->PaintCells(cells);
  // Column separators over the whole height.
  painter.setPen(lines);
  for (int index = 1; index < logic_->ColumnCount(); ++index) {
    const TCellRect cell = logic_->HeaderRect(index);
    painter.drawLine(cell.right, 0, cell.right, height);
  }
  // The footer band: the first column's text at the left, the others' at the right.
  if (footer_) {
    const int footerTop = height - headerHeight;
    painter.fillRect(QRect(0, footerTop, width, headerHeight), colours.color(QPalette::Button));
    painter.setPen(lines);
    painter.drawLine(0, footerTop, width, footerTop);
    painter.setPen(colours.color(QPalette::ButtonText));
    for (int index = 1; index <= logic_->ColumnCount(); ++index) {
      painter.drawText(
          FooterTextRect(index),
          (index == 1 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter | Qt::TextSingleLine,
          FromModel(logic_->Rows().FooterText(logic_->ColumnNumber(index))));
    }
  }
  // The cursor cell stays visible when the grid has no focus.
  if (!logic_->HasFocus() && visible > 0 && logic_->CursorColumn() > 0) {
    painter.setPen(QPen(colours.color(QPalette::Highlight), 1, Qt::DotLine));
    painter.drawRect(ToQRect(logic_->CellRect(logic_->CursorRow(), logic_->CursorColumn()))
                         .adjusted(0, 0, -1, -1));
  }
}

int TLedgerWindow::VisibleRowAt(const QPoint& point) const {
  const int rowHeight = std::max(1, logic_->RowHeight());
  const int top = logic_->HeaderHeight();
  if (point.y() < top)
    return 0;
  const int row = (point.y() - top) / rowHeight + 1;
  return row <= logic_->VisibleRows() ? row : 0;
}

bool TLedgerWindow::focusNextPrevChild(bool) {
  // Tab and Shift+Tab move the grid's cursor, not the focus.
  return false;
}

bool TLedgerWindow::event(QEvent* event) {
  // Esc closes the view, unless it takes back the fill of a new row the user just chose.
  if (event->type() == QEvent::ShortcutOverride &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && logic_->FillToTakeBack()) {
    event->accept();
    return true;
  }
  return QAbstractScrollArea::event(event);
}

void TLedgerWindow::keyPressEvent(QKeyEvent* event) {
  const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
  // Tab belongs to the grid's cells; Ctrl+Tab leaves the grid for the window's next control,
  // Ctrl+Shift+Tab for the one before, keeping what was typed.
  if (ctrl && (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)) {
    logic_->CloseEditor();
    RefreshRows();
    QWidget::focusNextPrevChild(event->key() == Qt::Key_Tab &&
                                (event->modifiers() & Qt::ShiftModifier) == 0);
    return;
  }
  const std::optional<TLedgerKey> key = LedgerKeyOf(*event);
  if (key) {
    logic_->Key(*key);
    RefreshRows();
    emit CursorChanged();
    return;
  }
  const QString text = event->text();
  if (!text.isEmpty() && text.at(0).isPrint() && !ctrl &&
      (event->modifiers() & Qt::AltModifier) == 0) {
    if (logic_->Character(text.at(0).unicode()) && editor_) {
      QKeyEvent copy(event->type(), event->key(), event->modifiers(), text);
      QApplication::sendEvent(editor_, &copy);
    }
    return;
  }
  QAbstractScrollArea::keyPressEvent(event);
}

void TLedgerWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    emit ContextMenuRequested(event->globalPosition().toPoint());
    return;
  }
  if (event->button() != Qt::LeftButton)
    return;
  setFocus(Qt::MouseFocusReason);
  const QPoint point = event->position().toPoint();
  logic_->Click(point.x(), point.y());
  RefreshRows();
  emit CursorChanged();
}

void TLedgerWindow::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton)
    return;
  const QPoint point = event->position().toPoint();
  logic_->DoubleClick(point.x(), point.y());
  RefreshRows();
  emit CursorChanged();
}

void TLedgerWindow::wheelEvent(QWheelEvent* event) {
  logic_->Wheel(event->angleDelta().y(), (event->modifiers() & Qt::ControlModifier) != 0);
  RefreshRows();
  emit CursorChanged();
  event->accept();
}

void TLedgerWindow::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  logic_->SetFocus(true);
  RefreshRows();
}

void TLedgerWindow::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  logic_->SetFocus(false);
  viewport()->update();
}

void TLedgerWindow::ShowEditor(const TCellRect& cell, int, const TCellEditorSpec& spec) {
  if (editor_) {
    editor_->hide();
    editor_->deleteLater();
  }
  editorCancelled_ = false;
  const QFont font = GridFont();
  const QFontMetrics base(QApplication::font());
  QRect place = ToQRect(cell);
  const int wanted = spec.widthChars * base.averageCharWidth() * 4 / 3;
  place.setWidth(std::max(place.width(), wanted));
  place.setHeight(std::max(place.height(), base.lineSpacing() * 3 / 2));
  // An editor wider than the grid stays inside it, right-aligned with the grid's edge.
  if (place.right() > viewport()->width())
    place.moveRight(std::max(place.width() - 1, viewport()->width() - 1));

  QWidget* editor = nullptr;
  if (spec.kind == TColumnEntryKind::EnvelopeList) {
    auto* list = new QComboBox(viewport());
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    const QStringList names = names_ ? names_() : QStringList();
    list->addItems(names);
    const QString current = FromModel(spec.text);
    const int index = list->findText(current, Qt::MatchFixedString);
    list->setCurrentIndex(index >= 0 ? index : 0);
    list->lineEdit()->setMaxLength(1024);
    // Completion is ours, as in the payee cell: the names that begin with the typing, then
    // those with a later word that does, in a list under the cell.
    list->setCompleter(nullptr);
    std::vector<std::string> known;
    for (const QString& name : names)
      known.push_back(ToModel(name).value_or(std::string()));
    OfferCompletion(list->lineEdit(), place, font,
                    [known = std::move(known)](std::string_view typed) {
                      return NameMatches(known, typed, TTypingCompletion::kListed);
                    });
    list->lineEdit()->selectAll();
    list->lineEdit()->installEventFilter(this);
    editor = list;
  } else {
    auto* line = new QLineEdit(viewport());
    line->setMaxLength(static_cast<int>(std::max<size_t>(1, spec.maxLength)));
    line->setText(FromModel(spec.text));
    line->setFrame(true);
    line->selectAll();
    editor = line;
    if (spec.completes && completions_)
      OfferCompletion(line, place, font, completions_);
  }
  editor->setObjectName(QStringLiteral("ledgerEditor"));
  editor->setFont(font);
  editor->setGeometry(place);
  editor->installEventFilter(this);
  editor_ = editor;
  editor->show();
  editor->setFocus(Qt::OtherFocusReason);
}

void TLedgerWindow::OfferCompletion(QLineEdit* line, const QRect& place, const QFont& font,
                                    TCompletionSource matcher) {
  completion_ = std::make_unique<TTypingCompletion>(std::move(matcher));
  auto* list = new QListWidget(viewport());
  list->setObjectName(QStringLiteral("ledgerCompletions"));
  list->setFocusPolicy(Qt::NoFocus);
  list->setFont(font);
  list->setGeometry(place.left(), place.bottom() + 1, place.width(), place.height() * 6);
  list->hide();
  // A click takes the match as Down would reach it; the editor keeps the focus.
  connect(list, &QListWidget::itemClicked, this, [this, list](QListWidgetItem* item) {
    if (!completion_)
      return;
    const int row = list->row(item);
    while (completion_->Selected() < row && completion_->Next()) {
    }
    while (completion_->Selected() > row && completion_->Previous()) {
    }
    ShowCompletion();
  });
  completionList_ = list;
  connect(line, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (!completion_)
      return;
    // Text the budget file cannot hold completes nothing.
    completion_->Typed(ToModel(text).value_or(std::string()));
    if (ToModel(text).has_value())
      ShowCompletion();
  });
}

QLineEdit* TLedgerWindow::EditorLine() const {
  if (auto* list = qobject_cast<QComboBox*>(editor_.data()))
    return list->lineEdit();
  return qobject_cast<QLineEdit*>(editor_.data());
}

void TLedgerWindow::ShowCompletion() {
  QLineEdit* line = EditorLine();
  QListWidget* list = completionList_.data();
  if (line == nullptr || list == nullptr || !completion_)
    return;
  const QString kept = FromModel(completion_->Text().substr(0, completion_->TailStart()));
  const QString shown = FromModel(completion_->Text());
  line->setText(shown);
  line->setSelection(static_cast<int>(shown.size()), static_cast<int>(kept.size() - shown.size()));
  list->clear();
  for (const std::string& match : completion_->Matches())
    list->addItem(FromModel(match));
  list->setCurrentRow(completion_->Selected());
  list->setVisible(list->count() > 0);
  if (list->count() > 0) {
    list->setFixedHeight(list->sizeHintForRow(0) * list->count() + 2 * list->frameWidth());
    list->raise();
  }
}

bool TLedgerWindow::CompletionKey(int key) {
  if (!completion_)
    return false;
  bool taken = false;
  if (key == Qt::Key_Down)
    taken = completion_->Next();
  else if (key == Qt::Key_Up)
    taken = completion_->Previous();
  else if (key == Qt::Key_Escape)
    taken = completion_->Drop();
  if (taken)
    ShowCompletion();
  return taken;
}

TLedgerEditorResult TLedgerWindow::TakeEditor() {
  TLedgerEditorResult result;
  QWidget* editor = editor_.data();
  if (completionList_) {
    completionList_->hide();
    completionList_->deleteLater();
  }
  const std::unique_ptr<TTypingCompletion> completion = std::move(completion_);
  if (editor == nullptr) {
    result.cancelled = true;
    return result;
  }
  QString text;
  if (auto* list = qobject_cast<QComboBox*>(editor))
    text = list->currentText();
  else if (auto* line = qobject_cast<QLineEdit*>(editor))
    text = line->text();
  // A character that the budget file cannot hold is not taken; the cell keeps its text.
  const std::optional<std::string> converted = ToModel(text);
  result.text = converted.value_or(std::string());
  result.cancelled = editorCancelled_ || !converted.has_value();
  if (completion && completion->Chosen() && !result.cancelled &&
      completion->Text() == result.text) {
    result.text = completion->Accepted();
    result.chosen = true;
  }
  if (!converted && !editorCancelled_ && user_ != nullptr) {
    // Told once the editor is gone, so that the message does not fight it for the focus.
    QMetaObject::invokeMethod(
        this,
        [this] {
          user_->Tell("Error",
                      "The cell holds a character that a Quenbrook file cannot store, so it "
                      "keeps what it had.  Please use only the letters, digits and signs of "
                      "Western European languages.",
                      TMessageIcon::Error);
        },
        Qt::QueuedConnection);
  }
  editor_ = nullptr;
  closingEditor_ = true;
  const bool hadFocus = editor->hasFocus() || editor->isAncestorOf(QApplication::focusWidget());
  editor->removeEventFilter(this);
  editor->hide();
  editor->deleteLater();
  if (hadFocus)
    setFocus(Qt::OtherFocusReason);
  closingEditor_ = false;
  viewport()->update();
  return result;
}

void TLedgerWindow::CommitEditorFromFocusLoss() {
  if (closingEditor_ || !editor_)
    return;
  QWidget* focus = QApplication::focusWidget();
  // Focus moving inside the editor (a list's own line) or to its pop-up is not leaving it.
  if (focus != nullptr && (focus == editor_ || editor_->isAncestorOf(focus)))
    return;
  if (auto* list = qobject_cast<QComboBox*>(editor_.data());
      list != nullptr && list->view() != nullptr && list->view()->isVisible()) {
    return;
  }
  logic_->CloseEditor();
  RefreshRows();
  emit CursorChanged();
}

bool TLedgerWindow::EditorKey(QKeyEvent* event) {
  const bool isList = qobject_cast<QComboBox*>(editor_.data()) != nullptr;
  // Alt+Down opens a name list's choices instead.
  if (!ClosesEditor(event->key()) ||
      (isList && event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier) != 0)) {
    return false;
  }
  if (event->key() == Qt::Key_Escape && !isList) {
    // A text editor's Esc keeps the cell as it was; a name list always hands its text back.
    editorCancelled_ = true;
    logic_->CloseEditor();
  } else {
    // Inside an editor the page keys move the cursor, whatever Ctrl says.
    std::optional<TLedgerKey> key = LedgerKeyOf(*event);
    if (key == TLedgerKey::CtrlPageUp)
      key = TLedgerKey::PageUp;
    else if (key == TLedgerKey::CtrlPageDown)
      key = TLedgerKey::PageDown;
    logic_->CloseEditor();
    logic_->Key(*key);
  }
  RefreshRows();
  emit CursorChanged();
  return true;
}

bool TLedgerWindow::eventFilter(QObject* watched, QEvent* event) {
  const bool fromEditor =
      editor_ && (watched == editor_ || (editor_->isAncestorOf(qobject_cast<QWidget*>(watched))));
  if (fromEditor) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
      auto* key = static_cast<QKeyEvent*>(event);
      const int code = key->key();
      const bool moves = code == Qt::Key_Tab || code == Qt::Key_Backtab || code == Qt::Key_Return ||
                         code == Qt::Key_Enter || code == Qt::Key_Escape ||
                         code == Qt::Key_PageUp || code == Qt::Key_PageDown || code == Qt::Key_Up ||
                         code == Qt::Key_Down;
      if (moves && event->type() == QEvent::ShortcutOverride) {
        // The editor takes these keys itself, before any window shortcut sees them.
        event->accept();
        return true;
      }
      if (moves && event->type() == QEvent::KeyPress)
        return CompletionKey(code) || EditorKey(key);
    } else if (event->type() == QEvent::FocusOut) {
      // Leaving the editor keeps what was typed, as moving on with Tab would.
      QMetaObject::invokeMethod(
          this, [this] { CommitEditorFromFocusLoss(); }, Qt::QueuedConnection);
    }
  }
  return QAbstractScrollArea::eventFilter(watched, event);
}
