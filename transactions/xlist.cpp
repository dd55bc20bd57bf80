#include "transactions/xlist.h"

#include "transactions/xmanager.h"

TXList::TXList(TXManager& manager, std::unique_ptr<TXFilter> filter)
    : manager_(&manager), filter_(std::move(filter)) {
  if (!filter_)
    filter_ = std::make_unique<TXAnyFilter>();
  manager_->Register(*this);
}

TXList::~TXList() {
  if (manager_ != nullptr)
    manager_->Unregister(*this);
}
