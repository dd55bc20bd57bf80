#pragma once

#include <cstdint>
#include <memory>

#include "core/pstream.h"
#include "core/tree_list.h"

/// Reads `count` child pointer records of a tree node and places each child with AddChild, so
/// that children written from the last to the first come back in their order. A child of another
/// class than `Child`, or one that `fits` refuses, fails the stream; null records are skipped.
template <class Child, class Fits>
void ReadTreeChildren(ipstream& is, TTreeItem& parent, uint32_t count, Fits fits) {
  if (count == 0 || !is.CanHold(count, 1))
    return;
  for (uint32_t i = 0; i < count && is.Good(); ++i) {
    std::unique_ptr<TStreamableBase> object = is.ReadOwned<TStreamableBase>();
    if (object == nullptr)
      continue;
    Child* child = dynamic_cast<Child*>(object.get());
    if (child == nullptr || !fits(*child)) {
      is.SetState(pstream::kFailed);
      return;
    }
    object.release();
    parent.AddChild(std::unique_ptr<TTreeItem>(child));
  }
}

/// Writes the children of a tree node as pointer records from the last to the first.
inline void WriteTreeChildren(opstream& os, const TTreeItem& parent) {
  for (TTreeItem* child = parent.LastChild(); child != nullptr; child = child->PreviousSibling()) {
    os.WriteObject(dynamic_cast<const TStreamableBase*>(child));
  }
}
