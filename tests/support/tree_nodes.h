#pragma once

#include <memory>
#include <string_view>

#include "core/tree_list.h"

/// Adds a `Node` named `name` under `under`, with the next identifier of `list`: the model
/// suites build their trees this way, without the properties dialogs.
template <class Node, class List>
Node& AddNode(List& list, TTreeItem& under, std::string_view name) {
  auto& node = static_cast<Node&>(under.AddChild(std::make_unique<Node>(list.NewId())));
  node.SetName(name);
  return node;
}
