#include "ui/vorla_client.h"

#include <QMdiSubWindow>
#include <QMenu>
#include <algorithm>

#include "core/vorla_data.h"
#include "transactions/xitem.h"
#include "transactions/xmanager.h"
#include "ui/ledger_window.h"

TVorlaClient::TVorlaClient(TEnhancedListWindow::TOptionsSource options, QWidget* parent)
    : QMdiArea(parent), options_(std::move(options)) {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void TVorlaClient::ShowAccountList() {
  if (document_ == nullptr)
    return;
  if (!accountWindow_ || !accountWindow_->IsAttached()) {
    accountWindow_ = new TAccountTreeWindow(*document_, options_);
    accountWindow_->SetLedgerHook(accountLedgerHook_);
  }
  ShowList(accountWindow_, true);
}

void TVorlaClient::ShowEnvelopeList() {
  if (document_ == nullptr)
    return;
  if (!envelopeWindow_ || !envelopeWindow_->IsAttached()) {
    envelopeWindow_ = new TEnvelopeTreeWindow(*document_, options_);
    envelopeWindow_->SetLedgerHook(envelopeLedgerHook_);
  }
  ShowList(envelopeWindow_, false);
}

void TVorlaClient::SetAccountLedgerHook(TAccountTreeWindow::TLedgerHook hook) {
  accountLedgerHook_ = std::move(hook);
  if (accountWindow_)
    accountWindow_->SetLedgerHook(accountLedgerHook_);
}

void TVorlaClient::SetEnvelopeLedgerHook(TEnvelopeTreeWindow::TLedgerHook hook) {
  envelopeLedgerHook_ = std::move(hook);
  if (envelopeWindow_)
    envelopeWindow_->SetLedgerHook(envelopeLedgerHook_);
}

void TVorlaClient::AddChild(QMdiSubWindow* child) {
  addSubWindow(child);
  // Every child's own close entry would claim Ctrl+F4 in the one main window, and keys that
  // several actions claim do nothing at all; the main window's "Close Window" has the key.
  if (QMenu* system = child->systemMenu()) {
    for (QAction* action : system->actions()) {
      if (action->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_F4))
        action->setShortcut(QKeySequence());
    }
  }
}

void TVorlaClient::ShowList(TEnhancedListWindow* window, bool accounts) {
  if (window->mdiArea() == this) {
    if (window->isMinimized())
      window->showNormal();
    setActiveSubWindow(window);
    return;
  }
  window->setObjectName(accounts ? QStringLiteral("accountList") : QStringLiteral("envelopeList"));
  AddChild(window);
  window->ShowFromLayout();
  setActiveSubWindow(window);
}

TXManager* TVorlaClient::Manager() const {
  if (document_ == nullptr)
    return nullptr;
  return &TransactionsOf(*document_);
}

QList<TXView*> TVorlaClient::Views() const {
  QList<TXView*> views;
  for (QMdiSubWindow* window : subWindowList(QMdiArea::CreationOrder)) {
    if (auto* view = qobject_cast<TXView*>(window); view != nullptr && view->Model() != nullptr)
      views.append(view);
  }
  return views;
}

bool TVorlaClient::IsTyping() const {
  const QList<TXView*> views = Views();
  return std::any_of(views.begin(), views.end(), [](const TXView* view) {
    return view->Grid() != nullptr && view->Grid()->Editor() != nullptr;
  });
}

TXView* TVorlaClient::CurrentView() const {
  auto* view = qobject_cast<TXView*>(currentSubWindow());
  return view != nullptr && view->Model() != nullptr ? view : nullptr;
}

TXView* TVorlaClient::FindView(TXViewMode mode, uint32_t subject, unsigned openFlags) const {
  for (TXView* view : Views()) {
    const TXViewModel& model = *view->Model();
    if (model.Mode() == mode && model.SubjectId() == subject &&
        (mode == TXViewMode::Multiple || model.OpenForm() == openFlags)) {
      return view;
    }
  }
  return nullptr;
}

TXView* TVorlaClient::AddView(std::unique_ptr<TXViewModel> model) {
  auto* view = new TXView(std::move(model), viewSettings_);
  view->setObjectName(QStringLiteral("ledgerView"));
  connect(view, &TXView::OpenMultipleRequested, this,
          [this](uint32_t multipleId) { OpenMultiple(multipleId); });
  connect(view, &TXView::ConfigurationRequested, this, &TVorlaClient::ViewConfigurationRequested);
  connect(view, &TXView::CommandsChanged, this, &TVorlaClient::LedgerCommandsChanged);
  AddChild(view);
  // A ledger wants room: most of the area, placed in the usual cascade.
  const QSize area = viewport()->size();
  view->resize(std::max(480, area.width() * 3 / 4), std::max(320, area.height() * 3 / 4));
  view->show();
  setActiveSubWindow(view);
  if (view->Grid() != nullptr)
    view->Grid()->setFocus(Qt::OtherFocusReason);
  return view;
}

TXView* TVorlaClient::OpenAccountLedger(uint32_t accountId, unsigned openFlags) {
  TXManager* manager = Manager();
  if (manager == nullptr)
    return nullptr;
  // An open view of the same form comes up instead of a second one; after an import the
  // newly imported view has gathered its rows again already.
  if (TXView* open = FindView(TXViewMode::Account, accountId, openFlags)) {
    setActiveSubWindow(open);
    return open;
  }
  return AddView(TXViewModel::ForAccount(*manager, document_->Clock(), accountId, openFlags));
}

TXView* TVorlaClient::OpenEnvelopeLedger(uint32_t envelopeId, unsigned openFlags) {
  TXManager* manager = Manager();
  if (manager == nullptr)
    return nullptr;
  if (TXView* open = FindView(TXViewMode::Envelope, envelopeId, openFlags)) {
    setActiveSubWindow(open);
    return open;
  }
  return AddView(TXViewModel::ForEnvelope(*manager, document_->Clock(), envelopeId, openFlags));
}

TXView* TVorlaClient::OpenMultiple(uint32_t multipleId) {
  TXManager* manager = Manager();
  if (manager == nullptr || multipleId == 0 || manager->FindRecord(multipleId) == nullptr)
    return nullptr;
  if (TXView* open = FindView(TXViewMode::Multiple, multipleId, 0)) {
    setActiveSubWindow(open);
    return open;
  }
  TXHold multiple(manager->Get(multipleId));
  return AddView(TXViewModel::ForMultiple(*manager, *multiple));
}

void TVorlaClient::ConfigureViews() {
  for (TXView* view : Views())
    view->ConfigureColumns();
}

void TVorlaClient::IdleCheckViews() {
  for (TXView* view : Views())
    view->IdleCheckMemo();
}

void TVorlaClient::DropDocumentWindows() {
  for (QMdiSubWindow* window : subWindowList()) {
    if (auto* view = qobject_cast<TXView*>(window))
      view->Discard();
    else if (auto* list = qobject_cast<TEnhancedListWindow*>(window))
      list->Detach();
  }
  CloseDocumentWindows();
}

bool TVorlaClient::CloseDocumentWindows() {
  for (QMdiSubWindow* window : subWindowList()) {
    if (!window->close())
      return false;
  }
  document_ = nullptr;
  return true;
}

void TVorlaClient::RefreshLists() {
  if (accountWindow_)
    accountWindow_->RefreshTexts();
  if (envelopeWindow_)
    envelopeWindow_->RefreshTexts();
}

void TVorlaClient::TileVertically() {
  Tile(true);
}

void TVorlaClient::TileHorizontally() {
  Tile(false);
}

void TVorlaClient::Tile(bool sideBySide) {
  QList<QMdiSubWindow*> windows;
  for (QMdiSubWindow* window : subWindowList(QMdiArea::CreationOrder)) {
    if (window->isVisible() && !window->isMinimized())
      windows.append(window);
  }
  if (windows.isEmpty())
    return;
  const QRect area = viewport()->rect();
  const int count = static_cast<int>(windows.size());
  for (int i = 0; i < count; ++i) {
    QMdiSubWindow* window = windows[i];
    if (window->isMaximized())
      window->showNormal();
    QRect cell;
    if (sideBySide) {
      const int left = area.width() * i / count;
      const int right = area.width() * (i + 1) / count;
      cell = QRect(left, 0, right - left, area.height());
    } else {
      const int top = area.height() * i / count;
      const int bottom = area.height() * (i + 1) / count;
      cell = QRect(0, top, area.width(), bottom - top);
    }
    window->setGeometry(cell);
  }
}

void TVorlaClient::ArrangeIcons() {
  int left = 0;
  for (QMdiSubWindow* window : subWindowList(QMdiArea::CreationOrder)) {
    if (!window->isMinimized())
      continue;
    const QSize size = window->size();
    window->move(left, viewport()->height() - size.height());
    left += size.width();
  }
}
