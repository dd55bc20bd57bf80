#include "ui/vorla_client.h"

#include <QMdiSubWindow>

#include "core/vorla_data.h"

TVorlaClient::TVorlaClient(TTreeWindow::TOptionsSource options, QWidget* parent)
    : QMdiArea(parent), options_(std::move(options)) {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void TVorlaClient::ShowAccountList() {
  ShowList(accountWindow_, true);
}

void TVorlaClient::ShowEnvelopeList() {
  ShowList(envelopeWindow_, false);
}

void TVorlaClient::ShowList(QPointer<TTreeWindow>& window, bool accounts) {
  if (document_ == nullptr)
    return;
  if (window && window->IsAttached()) {
    if (window->isMinimized())
      window->showNormal();
    setActiveSubWindow(window);
    return;
  }
  TTreeList& list = accounts ? static_cast<TTreeList&>(document_->Accounts())
                             : static_cast<TTreeList&>(document_->Envelopes());
  TTreeWindowLayout& layout = accounts ? document_->AccountLayout() : document_->EnvelopeLayout();
  window =
      new TTreeWindow(accounts ? QStringLiteral("Account List") : QStringLiteral("Envelope List"),
                      list, layout, options_);
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
