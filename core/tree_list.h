#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TDocumentContext;
struct TListDisplayOptions;
class TTreeList;

/// A node of a display tree. A parent owns its children, which keep the order that the
/// goes-after tests give them; the list that shows the tree is told of every change so that a
/// window can redraw and forget nodes that go away.
class TTreeItem {
 public:
  TTreeItem() = default;
  /// Tells the owner list that the node goes away, then destroys the children.
  virtual ~TTreeItem();
  TTreeItem(const TTreeItem&) = delete;
  TTreeItem& operator=(const TTreeItem&) = delete;

  TTreeItem* Parent() const { return parent_; }
  TTreeItem* FirstChild() const { return firstChild_; }
  TTreeItem* NextSibling() const { return next_; }
  TTreeItem* PreviousSibling() const { return previous_; }
  TTreeItem* LastChild() const;
  size_t ChildCount() const;
  /// The children in their order.
  std::vector<TTreeItem*> Children() const;
  bool HasChildren() const { return firstChild_ != nullptr; }
  /// The list that shows the node, or null while it belongs to none.
  TTreeList* OwnerList() const { return owner_; }

  bool Expanded() const { return expanded_; }
  void SetExpanded(bool expanded) { expanded_ = expanded; }
  /// A run-time mark for the windows; never stored.
  bool DisplayMark() const { return displayMark_; }
  void SetDisplayMark(bool mark) { displayMark_ = mark; }
  /// Flips the expanded flag (the expand box) and has the list redrawn.
  void ToggleExpanded();

  /// Adds a child before the first existing child whose goes-after test, asked about the new
  /// child, is false (at the end when there is none).
  TTreeItem& AddChild(std::unique_ptr<TTreeItem> child);
  /// Adds a child directly before `sibling`, which must be a child of this node (null appends).
  TTreeItem& InsertChildBefore(std::unique_ptr<TTreeItem> child, TTreeItem* sibling);
  /// Takes the node out of its parent and hands it to the caller; null for a node without
  /// parent, which belongs to its list or its caller already.
  std::unique_ptr<TTreeItem> Detach();

  /// The number of ancestors plus one.
  int Depth() const;
  bool IsAncestorOf(const TTreeItem& other) const;
  /// The next node in pre-order: children only of expanded nodes unless `allNodes`.
  TTreeItem* NextInDisplayOrder(bool allNodes) const;

  /// Whether this existing child goes after `other`, a child about to be added beside it.
  virtual bool GoesAfter(const TTreeItem& other) const;
  virtual std::string Name() const = 0;
  /// The text a list window shows for the node.
  virtual std::string DisplayText(const TListDisplayOptions& options) const = 0;
  /// The kind of node as the document dump names it ("account", "bundle", ...).
  virtual std::string_view Kind() const = 0;

 protected:
  /// Tells the owner list that the node's text or picture changed.
  void NotifyChanged() const;
  /// Tells the owner list that rows may have moved.
  void NotifyRedraw() const;

 private:
  friend class TTreeList;
  void Link(TTreeItem* child, TTreeItem* before);
  void Unlink();
  void SetOwnerOfSubtree(TTreeList* owner);

  TTreeItem* previous_ = nullptr;
  TTreeItem* next_ = nullptr;
  TTreeItem* firstChild_ = nullptr;
  TTreeItem* parent_ = nullptr;
  TTreeList* owner_ = nullptr;
  bool expanded_ = true;
  bool displayMark_ = false;
};

/// Hears about the nodes of one tree list: what a window needs to repaint rows and to drop
/// vanished nodes from its selection.
class TTreeListener {
 public:
  virtual ~TTreeListener() = default;
  /// The node's text or picture changed.
  virtual void NodeChanged(const TTreeItem& node) = 0;
  /// The node is being destroyed; only its address may be used now.
  virtual void NodeRemoved(const TTreeItem& node) = 0;
  /// Rows were added, moved, expanded or collapsed.
  virtual void ListChanged() = 0;
};

/// The model behind a tree window: the root node it owns and the rows that the shown nodes make.
/// Rows count from 1 in display order; the root is row 1.
class TTreeList {
 public:
  TTreeList() = default;
  virtual ~TTreeList();
  TTreeList(const TTreeList&) = delete;
  TTreeList& operator=(const TTreeList&) = delete;

  /// The document the list belongs to; the document sets it after it makes or reads the list.
  void SetContext(TDocumentContext* context) { context_ = context; }
  TDocumentContext* Context() const { return context_; }
  /// Marks the document modified, when the list belongs to one.
  void MarkModified() const;

  TTreeItem* RootItem() const { return root_.get(); }
  /// Destroys the previous root and makes `root` the root, with this list as the owner of its
  /// whole subtree.
  void AttachRoot(std::unique_ptr<TTreeItem> root);
  /// Takes the whole tree of `other` (which keeps an empty one) in place of this list's own:
  /// the listeners of this list hear of every node that goes and that the list changed.
  void TakeTreeOf(TTreeList& other) { AttachRoot(std::move(other.root_)); }

  /// The nodes in display order: only shown ones, or all when `allNodes`.
  std::vector<TTreeItem*> NodesInDisplayOrder(bool allNodes) const;
  size_t ShownCount() const;
  /// The node at a 1-based row, or null.
  TTreeItem* ShownAt(size_t row) const;
  /// The row of a node, or 0 when it is not shown.
  size_t ShownPosition(const TTreeItem& node) const;
  /// The widest display text of the shown nodes in characters.
  size_t WidestTextLength(const TListDisplayOptions& options) const;
  /// The widest shown row as the caller measures a node's text, in the caller's own unit.
  int WidestText(const TListDisplayOptions& options,
                 const std::function<int(const TTreeItem&, std::string_view)>& width) const;

  void AddListener(TTreeListener& listener);
  void RemoveListener(TTreeListener& listener);
  void NodeChanged(const TTreeItem& node) const;
  void NodeGoesAway(const TTreeItem& node) const;
  void ListChanged() const;

 protected:
  /// Destroys the tree while the derived list is still whole, for the derived destructors.
  void DestroyRoot();

 private:
  template <class Notice>
  void TellListeners(Notice notice) const;

  std::unique_ptr<TTreeItem> root_;
  std::vector<TTreeListener*> listeners_;
  TDocumentContext* context_ = nullptr;
};
