#include "core/tree_list.h"

#include <algorithm>

#include "core/document_context.h"

// ---- TTreeItem ------------------------------------------------------------

TTreeItem::~TTreeItem() {
  if (owner_ != nullptr)
    owner_->NodeGoesAway(*this);
  // Children are taken out one at a time from the front, because destroying one child may
  // remove others (an envelope takes its aliases with it).
  while (firstChild_ != nullptr) {
    TTreeItem* child = firstChild_;
    child->Unlink();
    delete child;
  }
  Unlink();
}

TTreeItem* TTreeItem::LastChild() const {
  TTreeItem* child = firstChild_;
  while (child != nullptr && child->next_ != nullptr)
    child = child->next_;
  return child;
}

size_t TTreeItem::ChildCount() const {
  size_t count = 0;
  for (TTreeItem* child = firstChild_; child != nullptr; child = child->next_)
    ++count;
  return count;
}

std::vector<TTreeItem*> TTreeItem::Children() const {
  std::vector<TTreeItem*> children;
  for (TTreeItem* child = firstChild_; child != nullptr; child = child->next_) {
    children.push_back(child);
  }
  return children;
}

void TTreeItem::ToggleExpanded() {
  expanded_ = !expanded_;
  NotifyRedraw();
}

bool TTreeItem::GoesAfter(const TTreeItem&) const {
  return false;
}

void TTreeItem::Link(TTreeItem* child, TTreeItem* before) {
  child->parent_ = this;
  if (before == nullptr) {
    TTreeItem* last = LastChild();
    child->previous_ = last;
    child->next_ = nullptr;
    if (last != nullptr) {
      last->next_ = child;
    } else {
      firstChild_ = child;
    }
    return;
  }
  child->next_ = before;
  child->previous_ = before->previous_;
  if (before->previous_ != nullptr) {
    before->previous_->next_ = child;
  } else {
    firstChild_ = child;
  }
  before->previous_ = child;
}

void TTreeItem::Unlink() {
  if (parent_ != nullptr && parent_->firstChild_ == this)
    parent_->firstChild_ = next_;
  if (previous_ != nullptr)
    previous_->next_ = next_;
  if (next_ != nullptr)
    next_->previous_ = previous_;
  previous_ = next_ = parent_ = nullptr;
}

void TTreeItem::SetOwnerOfSubtree(TTreeList* owner) {
  for (TTreeItem* node = this; node != nullptr;) {
    node->owner_ = owner;
    if (node->firstChild_ != nullptr) {
      node = node->firstChild_;
      continue;
    }
    while (node != this && node->next_ == nullptr)
      node = node->parent_;
    node = node == this ? nullptr : node->next_;
  }
}

TTreeItem& TTreeItem::AddChild(std::unique_ptr<TTreeItem> child) {
  TTreeItem* before = firstChild_;
  while (before != nullptr && before->GoesAfter(*child))
    before = before->next_;
  return InsertChildBefore(std::move(child), before);
}

TTreeItem& TTreeItem::InsertChildBefore(std::unique_ptr<TTreeItem> child, TTreeItem* sibling) {
  TTreeItem* node = child.release();
  if (sibling != nullptr && sibling->parent_ != this)
    sibling = nullptr;
  Link(node, sibling);
  node->SetOwnerOfSubtree(owner_);
  // The parent's sums changed, and so did the rows every window of the tree shows.
  NotifyChanged();
  NotifyRedraw();
  return *node;
}

std::unique_ptr<TTreeItem> TTreeItem::Detach() {
  if (parent_ == nullptr)
    return nullptr;
  TTreeItem* parent = parent_;
  Unlink();
  parent->NotifyChanged();
  parent->NotifyRedraw();
  return std::unique_ptr<TTreeItem>(this);
}

int TTreeItem::Depth() const {
  int depth = 1;
  for (const TTreeItem* node = parent_; node != nullptr; node = node->parent_)
    ++depth;
  return depth;
}

bool TTreeItem::IsAncestorOf(const TTreeItem& other) const {
  for (const TTreeItem* node = other.parent_; node != nullptr; node = node->parent_) {
    if (node == this)
      return true;
  }
  return false;
}

TTreeItem* TTreeItem::NextInDisplayOrder(bool allNodes) const {
  if (firstChild_ != nullptr && (expanded_ || allNodes))
    return firstChild_;
  for (const TTreeItem* node = this; node != nullptr; node = node->parent_) {
    if (node->next_ != nullptr)
      return node->next_;
  }
  return nullptr;
}

void TTreeItem::NotifyChanged() const {
  if (owner_ != nullptr)
    owner_->NodeChanged(*this);
}

void TTreeItem::NotifyRedraw() const {
  if (owner_ != nullptr)
    owner_->ListChanged();
}

// ---- TTreeList ------------------------------------------------------------

TTreeList::~TTreeList() {
  DestroyRoot();
}

void TTreeList::DestroyRoot() {
  std::unique_ptr<TTreeItem> old = std::move(root_);
  old.reset();
}

void TTreeList::MarkModified() const {
  if (context_ != nullptr)
    context_->SetModified();
}

void TTreeList::AttachRoot(std::unique_ptr<TTreeItem> root) {
  DestroyRoot();
  root_ = std::move(root);
  if (root_ != nullptr)
    root_->SetOwnerOfSubtree(this);
  ListChanged();
}

std::vector<TTreeItem*> TTreeList::NodesInDisplayOrder(bool allNodes) const {
  std::vector<TTreeItem*> nodes;
  for (TTreeItem* node = root_.get(); node != nullptr; node = node->NextInDisplayOrder(allNodes)) {
    nodes.push_back(node);
  }
  return nodes;
}

size_t TTreeList::ShownCount() const {
  size_t count = 0;
  for (TTreeItem* node = root_.get(); node != nullptr; node = node->NextInDisplayOrder(false)) {
    ++count;
  }
  return count;
}

TTreeItem* TTreeList::ShownAt(size_t row) const {
  if (row == 0)
    return nullptr;
  TTreeItem* node = root_.get();
  for (size_t i = 1; node != nullptr && i < row; ++i)
    node = node->NextInDisplayOrder(false);
  return node;
}

size_t TTreeList::ShownPosition(const TTreeItem& target) const {
  size_t row = 1;
  for (TTreeItem* node = root_.get(); node != nullptr; node = node->NextInDisplayOrder(false)) {
    if (node == &target)
      return row;
    ++row;
  }
  return 0;
}

size_t TTreeList::WidestTextLength(const TListDisplayOptions& options) const {
  size_t widest = 0;
  for (TTreeItem* node = root_.get(); node != nullptr; node = node->NextInDisplayOrder(false)) {
    widest = std::max(widest, node->DisplayText(options).size());
  }
  return widest;
}

int TTreeList::WidestText(
    const TListDisplayOptions& options,
    const std::function<int(const TTreeItem&, std::string_view)>& width) const {
  int widest = 0;
  for (TTreeItem* node = root_.get(); node != nullptr; node = node->NextInDisplayOrder(false)) {
    widest = std::max(widest, width(*node, node->DisplayText(options)));
  }
  return widest;
}

void TTreeList::AddListener(TTreeListener& listener) {
  if (std::find(listeners_.begin(), listeners_.end(), &listener) == listeners_.end()) {
    listeners_.push_back(&listener);
  }
}

void TTreeList::RemoveListener(TTreeListener& listener) {
  std::erase(listeners_, &listener);
}

// Listeners may come and go while they are told something, so each notice goes to a copy of the
// list and skips those that left meanwhile.
template <class Notice>
void TTreeList::TellListeners(Notice notice) const {
  for (TTreeListener* listener : std::vector<TTreeListener*>(listeners_)) {
    if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end()) {
      notice(*listener);
    }
  }
}

void TTreeList::NodeChanged(const TTreeItem& node) const {
  TellListeners([&node](TTreeListener& listener) { listener.NodeChanged(node); });
}

void TTreeList::NodeGoesAway(const TTreeItem& node) const {
  TellListeners([&node](TTreeListener& listener) { listener.NodeRemoved(node); });
}

void TTreeList::ListChanged() const {
  TellListeners([](TTreeListener& listener) { listener.ListChanged(); });
}
