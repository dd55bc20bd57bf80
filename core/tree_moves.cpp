#include "core/tree_moves.h"

#include <algorithm>

#include "core/account_node.h"
#include "core/envelope_node.h"
#include "core/tree_list.h"

namespace {

template <class T>
bool Is(const TTreeItem* node) {
  return dynamic_cast<const T*>(node) != nullptr;
}

// The number of levels of the subtree below and including `node`.
int SubtreeHeight(const TTreeItem& node) {
  const int base = node.Depth();
  int deepest = base;
  for (const TTreeItem* item = &node; item != nullptr;) {
    deepest = std::max(deepest, item->Depth());
    if (item->FirstChild() != nullptr) {
      item = item->FirstChild();
      continue;
    }
    while (item != &node && item->NextSibling() == nullptr)
      item = item->Parent();
    item = item == &node ? nullptr : item->NextSibling();
  }
  return deepest - base + 1;
}

// Groups and bundles become parents of what is dropped on them; accounts, envelopes and aliases
// make it their sibling.
bool TakesAsChild(const TTreeItem& target) {
  return Is<TAccountRoot>(&target) || Is<TAccountGroup>(&target) || Is<TEnvelopeRoot>(&target) ||
         Is<TBundle>(&target) || Is<TAssociation>(&target);
}

bool Admits(const TTreeItem& target, const TTreeItem& node);

// The kinds each target takes. Bundles are kept out of associations as well: an association is
// left out of the envelope total, so the envelopes of a bundle inside it would drop out of the
// total while their money stays in the accounts.
bool KindAdmits(const TTreeItem& target, const TTreeItem& node) {
  const TTreeItem* parent = target.Parent();
  if (Is<TAccountRoot>(&target) || Is<TAccountGroup>(&target)) {
    return Is<TAccount>(&node) || Is<TAccountGroup>(&node);
  }
  if (Is<TAccount>(&target)) {
    return Is<TAccount>(&node) && parent != nullptr && Admits(*parent, node);
  }
  if (Is<TEnvelopeRoot>(&target)) {
    return Is<TEnv>(&node) || Is<TBundle>(&node) || Is<TAssociation>(&node);
  }
  if (Is<TBundle>(&target))
    return Is<TEnv>(&node) || Is<TBundle>(&node);
  if (Is<TAssociation>(&target))
    return Is<TEnvelopeAlias>(&node) || Is<TEnv>(&node);
  if (Is<TEnv>(&target)) {
    return Is<TEnv>(&node) && parent != nullptr && !Is<TAssociation>(parent) &&
           Admits(*parent, node);
  }
  if (Is<TEnvelopeAlias>(&target)) {
    return Is<TEnvelopeAlias>(&node) && parent != nullptr && Admits(*parent, node);
  }
  return false;
}

bool Admits(const TTreeItem& target, const TTreeItem& node) {
  if (&target == &node || node.IsAncestorOf(target))
    return false;
  if (!KindAdmits(target, node))
    return false;
  const TTreeItem* newParent = TakesAsChild(target) ? &target : target.Parent();
  return newParent != nullptr && newParent->Depth() + SubtreeHeight(node) <= kMaxTreeDepth;
}

TTreeItem& Place(TTreeItem& target, std::unique_ptr<TTreeItem> node) {
  if (TakesAsChild(target))
    return target.AddChild(std::move(node));
  return target.Parent()->InsertChildBefore(std::move(node), &target);
}

}  // namespace

bool Accepts(const TTreeItem& target, const TTreeItem& node) {
  return target.OwnerList() == node.OwnerList() && Admits(target, node);
}

bool Drop(TTreeItem& target, TTreeItem& node) {
  if (!Accepts(target, node))
    return false;
  TTreeList* list = target.OwnerList();
  if (Is<TAssociation>(&target) && Is<TEnv>(&node)) {
    target.AddChild(static_cast<TEnv&>(node).MakeAlias());
  } else {
    std::unique_ptr<TTreeItem> moved = node.Detach();
    if (moved == nullptr)
      return false;
    Place(target, std::move(moved));
  }
  if (list != nullptr) {
    list->MarkModified();
    list->ListChanged();
  }
  return true;
}

TTreeItem* PlaceNew(TTreeItem& target, std::unique_ptr<TTreeItem> node) {
  if (node == nullptr || !Admits(target, *node))
    return nullptr;
  // A new envelope handed to an association would only gain an alias there and have no place
  // of its own.
  if (Is<TAssociation>(&target) && Is<TEnv>(node.get()))
    return nullptr;
  return &Place(target, std::move(node));
}
