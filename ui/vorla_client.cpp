#include "ui/vorla_client.h"

#include <QMdiSubWindow>

#include "core/vorla_data.h"

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

void TVorlaClient::ShowList(TEnhancedListWindow* window, bool accounts) {
  if (window->mdiArea() == this) {
    if (window->isMinimized())
      window->showNormal();
    setActiveSubWindow(window);
    return;
  }
  window->setObjectName(accounts ? QStringLiteral("accountList") : QStringLiteral("envelopeList"));
  addSubWindow(window);
  window->ShowFromLayout();
  setActiveSubWindow(window);
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
