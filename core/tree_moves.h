#pragma once

#include <memory>

class TTreeItem;

/// The deepest a node may sit in either tree; deeper trees could not be read back.
inline constexpr int kMaxTreeDepth = 200;

/// Whether a node of a tree window may be dropped on `target`: by the kinds of both, never onto
/// itself or below itself, and only within one tree.
bool Accepts(const TTreeItem& target, const TTreeItem& node);

/// Drops `node` on `target`. Under a root, group, bundle or association the node becomes a child
/// (an envelope dropped on an association stays where it is and gains an alias there); on an
/// account, envelope or alias it moves to stand directly before the target. Marks the document
/// modified. False, and nothing changes, when the target does not accept the node.
bool Drop(TTreeItem& target, TTreeItem& node);

/// Hands a new node to `target`'s add operation as a drop would (the insert commands). Gives the
/// placed node, or null when the target does not take it (the node is then destroyed).
TTreeItem* PlaceNew(TTreeItem& target, std::unique_ptr<TTreeItem> node);
