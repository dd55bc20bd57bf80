#include "ui/xview_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

#include "core/envelope_list.h"
#include "presentation/row_presenters.h"
#include "transactions/editable_filter.h"
#include "transactions/xitem.h"
#include "transactions/xmanager.h"
#include "ui/command_icons.h"
#include "ui/commands.h"
#include "ui/ledger_window.h"
#include "ui/model_text.h"

/// The strip below the grid: the memo line, the view's picture, the label and the value box.
class TXViewStatusStrip final : public QWidget {
 public:
  explicit TXViewStatusStrip(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("statusStrip"));
    const QFontMetrics metrics(QApplication::font());
    setFixedHeight(metrics.height() * 5 / 2);
  }

  void SetContent(QString label, QString value, bool negative, QIcon icon) {
    label_ = std::move(label);
    value_ = std::move(value);
    negative_ = negative;
    icon_ = std::move(icon);
    update();
  }
  void SetMemo(QString memo) {
    memo_ = std::move(memo);
    update();
  }
  const QString& Label() const { return label_; }
  const QString& Value() const { return value_; }
  const QString& Memo() const { return memo_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QPalette& colours = palette();
    painter.fillRect(rect(), colours.color(QPalette::Button));
    painter.setPen(colours.color(QPalette::Mid));
    painter.drawLine(0, 0, width(), 0);
    const QFontMetrics metrics(font());
    const int digit = std::max(1, metrics.horizontalAdvance(QStringLiteral("8888888888")) / 10);
    const int middle = height() / 2;
    const int lineHeight = metrics.height() + 4;

    // The value box, from 15 digit widths to one before the right edge.
    const QRect valueBox(width() - 15 * digit, middle - lineHeight / 2, 14 * digit, lineHeight);
    painter.fillRect(valueBox, colours.color(QPalette::Base));
    painter.setPen(colours.color(QPalette::Mid));
    painter.drawRect(valueBox.adjusted(0, 0, -1, -1));
    painter.setPen(negative_ ? QColor(255, 0, 0) : colours.color(QPalette::ButtonText));
    painter.drawText(valueBox.adjusted(2, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter, value_);

    // The label, and the picture left of it.
    const int labelWidth = metrics.horizontalAdvance(label_) + digit;
    const QRect labelBox(valueBox.left() - labelWidth, valueBox.top(), labelWidth, lineHeight);
    painter.setPen(colours.color(QPalette::ButtonText));
    painter.drawText(labelBox, Qt::AlignRight | Qt::AlignVCenter, label_);
    const int iconSize = std::min(height() - 4, lineHeight + 4);
    const QRect iconBox(labelBox.left() - iconSize - digit / 2, middle - iconSize / 2, iconSize,
                        iconSize);
    if (!icon_.isNull())
      icon_.paint(&painter, iconBox);

    // The memo line takes what is left, when that is worth showing.
    const QRect memoBox(2 * digit, valueBox.top(), iconBox.left() - 4 * digit, lineHeight);
    if (memoBox.width() > 0 && !memo_.isEmpty()) {
      painter.setPen(colours.color(QPalette::ButtonText));
      painter.drawText(memoBox, Qt::AlignLeft | Qt::AlignVCenter,
                       metrics.elidedText(memo_, Qt::ElideRight, memoBox.width()));
    }
  }

 private:
  QString label_;
  QString value_;
  QString memo_;
  QIcon icon_;
  bool negative_ = false;
};

namespace {

struct TViewCommandText {
  int id;
  const char* text;
  QKeySequence key;
};

// The ledger menu in its order; 0 is a separator.
const std::vector<TViewCommandText>& ViewCommands() {
  static const std::vector<TViewCommandText> commands = {
      {kXCmdDelete, "&Delete", QKeySequence(Qt::CTRL | Qt::Key_Delete)},
      {kXCmdErase, "E&rase", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete)},
      {0, "", {}},
      {kXCmdEditMemo, "Edit Mem&o", QKeySequence(Qt::CTRL | Qt::Key_O)},
      {kXCmdToday, "Toda&y", QKeySequence(Qt::CTRL | Qt::Key_D)},
      {kXCmdClearUnclear, "&Clear/Unclear", QKeySequence(Qt::CTRL | Qt::Key_X)},
      {kXCmdNextCheckNumber, "&Next Check No", QKeySequence(Qt::CTRL | Qt::Key_N)},
      {0, "", {}},
      {kXCmdMultiple, "Create/View &Multiple", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M)},
      {kXCmdCreateTransfer, "Create &Transfer", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T)},
      {kXCmdSelectEnvelope, "Select &Envelope", QKeySequence(Qt::CTRL | Qt::Key_E)},
      {kXCmdApplyTemplate, "A&pply Template", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P)},
      {0, "", {}},
      {kXCmdEditFilter, "Edit Filter...", {}},
      {kXCmdClearFilter, "Clear Filter", {}},
      {kXCmdAllUnreconciled, "View All Unreconciled", {}},
      {kXCmdUnreconciledDeposits, "View Unreconciled Deposits", {}},
      {kXCmdUnreconciledChecks, "View Unreconciled Checks", {}},
      {kXCmdUnreconciledNonChecks, "View Unreconciled Non-Checks", {}},
      {kXCmdNewlyImported, "View Newly Imported Transactions", {}},
      {0, "", {}},
      {kXCmdViewConfiguration, "Modify Transaction &View Configuration", {}},
  };
  return commands;
}

bool IsToggle(int command) {
  return command == kXCmdAllUnreconciled || command == kXCmdUnreconciledDeposits ||
         command == kXCmdUnreconciledChecks || command == kXCmdUnreconciledNonChecks ||
         command == kXCmdNewlyImported;
}

QIcon ViewIcon(TXViewMode mode) {
  switch (mode) {
    case TXViewMode::Account:
      return CommandIcon(kCmdAccountList);
    case TXViewMode::Envelope:
      return CommandIcon(kCmdEnvelopeList);
    case TXViewMode::Multiple:
      return CommandIcon(kCmdMultiple);
  }
  return {};
}

}  // namespace

TXView::TXView(std::unique_ptr<TXViewModel> model, TSettingsSource settings, QWidget* parent)
    : QMdiSubWindow(parent), model_(std::move(model)), settings_(std::move(settings)) {
  setAttribute(Qt::WA_DeleteOnClose);
  auto* content = new QWidget(this);
  auto* layout = new QVBoxLayout(content);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  static const TXItemPresenter presenter;
  grid_ = new TLedgerWindow(model_->Rows(), presenter, content);
  grid_->setObjectName(QStringLiteral("ledgerGrid"));
  TXManager& manager = model_->Manager();
  grid_->SetNamesSource([&manager] {
    QStringList names;
    for (const TItemChoice& envelope : manager.Envelopes().EnvelopeChoices())
      names.append(FromModel(envelope.name));
    return names;
  });
  grid_->SetCompletionSource(
      [&manager](std::string_view prefix) { return manager.Payees().Matches(prefix); });
  grid_->SetUser(&manager.User());
  strip_ = new TXViewStatusStrip(content);
  layout->addWidget(grid_, 1);
  layout->addWidget(strip_);
  setWidget(content);
  setWindowIcon(ViewIcon(model_->Mode()));
  MakeActions();

  connect(grid_, &TLedgerWindow::ContextMenuRequested, this, &TXView::ShowPopup);
  connect(grid_, &TLedgerWindow::CursorChanged, this, [this] {
    UpdateActions();
    IdleCheckMemo();
    emit CommandsChanged();
  });

  const QScreen* screen = QGuiApplication::primaryScreen();
  grid_->Logic().SetBackground(model_->Background(screen == nullptr || screen->depth() > 8));
  ConfigureColumns();
  Relayout();
  manager.AddView(*this);
  registered_ = true;
  Repaint();
}

TXView::~TXView() {
  Detach();
}

void TXView::Detach() {
  if (registered_ && model_) {
    model_->Manager().RemoveView(*this);
    registered_ = false;
  }
  if (grid_ != nullptr) {
    // The grid edits rows of the model's source: it goes before the source does.
    delete grid_;
    grid_ = nullptr;
  }
  model_.reset();
}

void TXView::Discard() {
  Detach();
  close();
}

TXItem* TXView::CurrentItem() const {
  if (!model_ || grid_ == nullptr)
    return nullptr;
  return dynamic_cast<TXItem*>(grid_->Logic().CurrentItem());
}

void TXView::MakeActions() {
  for (const TViewCommandText& command : ViewCommands()) {
    if (command.id == 0) {
      menuActions_.push_back(nullptr);
      continue;
    }
    auto* action = new QAction(QString::fromLatin1(command.text), this);
    action->setObjectName(QStringLiteral("viewCommand%1").arg(command.id));
    if (!command.key.isEmpty()) {
      action->setShortcut(command.key);
      action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    }
    action->setCheckable(IsToggle(command.id));
    const int id = command.id;
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    addAction(action);
    actions_[id] = action;
    menuActions_.push_back(action);
  }
  // Esc closes the view; the grid's own Esc does nothing.
  auto* close = new QAction(this);
  close->setShortcut(QKeySequence(Qt::Key_Escape));
  close->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  connect(close, &QAction::triggered, this, [this] { RunCommand(kXCmdClose); });
  addAction(close);
  UpdateActions();
}

bool TXView::IsCommandEnabled(int command) const {
  if (!model_)
    return false;
  // The grid's own commands, as its row source offers them.
  switch (command) {
    case TLedger::kCmdCut:
    case TLedger::kCmdCopy:
      return grid_ != nullptr && CurrentItem() != nullptr && grid_->Logic().Rows().CanCopy();
    case TLedger::kCmdPaste:
      return grid_ != nullptr && grid_->Logic().Rows().CanPaste();
    case TLedger::kCmdDelete:
      return CurrentItem() != nullptr && CurrentItem()->CanDelete();
    default:
      return model_->IsEnabled(command, CurrentItem());
  }
}

bool TXView::IsCommandChecked(int command) const {
  return model_ && model_->IsChecked(command);
}

void TXView::UpdateActions() {
  for (auto& [id, action] : actions_) {
    action->setEnabled(IsCommandEnabled(id));
    if (action->isCheckable())
      action->setChecked(IsCommandChecked(id));
  }
}

void TXView::ShowPopup(const QPoint& globalPoint) {
  if (!model_)
    return;
  UpdateActions();
  QMenu menu(this);
  for (QAction* action : menuActions_) {
    if (action == nullptr)
      menu.addSeparator();
    else
      menu.addAction(action);
  }
  menu.exec(globalPoint);
}

void TXView::RunCommand(int command) {
  if (!model_ || grid_ == nullptr)
    return;
  if (command == kXCmdClose) {
    close();
    return;
  }
  if (command == kXCmdViewConfiguration) {
    emit ConfigurationRequested();
    return;
  }
  if (!IsCommandEnabled(command))
    return;
  TLedger& grid = grid_->Logic();
  if (command >= TLedger::kCmdCut && command <= TLedger::kCmdDelete) {
    grid.Command(command);
    return;
  }
  // A pending edit belongs to the row before any command acts on it.
  grid.CloseEditor();
  QPointer<TXView> self(this);
  const TXViewCommandResult result = model_->Run(command, CurrentItem(), grid.CurrentColumn());
  if (!self || !model_ || grid_ == nullptr)
    return;
  switch (result.cursor) {
    case TXViewCommandResult::TCursorMove::NextCell:
      grid_->Logic().NextCell();
      break;
    case TXViewCommandResult::TCursorMove::NextRow:
      grid_->Logic().NextRow();
      break;
    case TXViewCommandResult::TCursorMove::None:
      break;
  }
  if (result.relayout)
    Relayout();
  Repaint();
  UpdateActions();
  emit CommandsChanged();
  if (result.openMultiple != 0)
    emit OpenMultipleRequested(result.openMultiple);
}

void TXView::Relayout() {
  if (!model_ || grid_ == nullptr)
    return;
  TLedger& grid = grid_->Logic();
  if (model_->TopMode())
    grid.SetTopMode(model_->CursorColumn(), true);
  else
    grid.SetEndMode(model_->CursorColumn(), true);
  Repaint();
}

void TXView::ShowDates(TDateValue from, TDateValue to) {
  TEditableFilter* filter = model_ ? model_->Filter() : nullptr;
  if (filter == nullptr)
    return;
  filter->SetDateRange(from, to);
  filter->SetDateRangeActive(true);
  Relayout();
}

void TXView::ConfigureColumns() {
  if (!model_ || grid_ == nullptr)
    return;
  TLedger& grid = grid_->Logic();
  grid.CloseEditor();
  grid.ClearColumns();
  const TXViewSettings settings = settings_ ? settings_() : TXViewSettings{};
  for (const TXViewColumn& column : model_->Columns(settings.columns))
    grid.AddColumn(column.widthChars, column.column);
  grid.FinishColumns(true);
  grid_->RefreshRows();
}

void TXView::Notify(TXViewNotice notice, uint32_t id) {
  if (!model_ || !model_->ClosesOn(notice, id))
    return;
  // The subject is going away: let go of its rows at once (before the deletions start), then
  // close the window when the event loop comes back.
  Detach();
  hide();
  deleteLater();
}

void TXView::Repaint() {
  if (!model_)
    return;
  setWindowTitle(FromModel(model_->Caption()));
  const double value = model_->StatusValue();
  strip_->SetContent(FromModel(model_->StatusLabel()),
                     FromModel(TXViewModel::StatusValueText(value)),
                     TXViewModel::StatusValueNegative(value), ViewIcon(model_->Mode()));
  if (grid_ != nullptr)
    grid_->RefreshRows();
  // The next idle check draws the memo line again.
  cachedMemo_ = "~no memo~";
  // The commands follow the current row from the moment the rows are there, and after every
  // change of them, not only when the cursor moves.
  UpdateActions();
}

void TXView::IdleCheckMemo() {
  if (!model_ || grid_ == nullptr)
    return;
  const TXViewSettings settings = settings_ ? settings_() : TXViewSettings{};
  const TXItem* item = nullptr;
  if (settings.flyByMemo) {
    const QPoint point = grid_->viewport()->mapFromGlobal(QCursor::pos());
    if (grid_->viewport()->rect().contains(point)) {
      const int row = grid_->VisibleRowAt(point);
      if (row > 0)
        item = model_->Rows().TransactionAt(grid_->Logic().TopRow() + row - 1);
    }
  } else {
    item = CurrentItem();
  }
  const std::string memo = TXViewModel::MemoLine(item);
  if (memo == cachedMemo_)
    return;
  cachedMemo_ = memo;
  strip_->SetMemo(FromModel(memo));
}

QString TXView::MemoText() const {
  return strip_->Memo();
}

QString TXView::StatusLabelText() const {
  return strip_->Label();
}

QString TXView::StatusValueText() const {
  return strip_->Value();
}

void TXView::closeEvent(QCloseEvent* event) {
  if (model_ && grid_ != nullptr) {
    grid_->Logic().CloseEditor();
    grid_->setFocus(Qt::OtherFocusReason);
    if (!model_->CanClose()) {
      event->ignore();
      return;
    }
  }
  Detach();
  QMdiSubWindow::closeEvent(event);
}
