#include "core/tree_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/list_display_options.h"

namespace {

// A node whose kind is a number: lower kinds go first, the newest first within a kind.
class TTestNode : public TTreeItem {
 public:
  explicit TTestNode(std::string name, int kind = 0) : name_(std::move(name)), kind_(kind) {}
  bool GoesAfter(const TTreeItem& other) const override {
    return static_cast<const TTestNode&>(other).kind_ > kind_;
  }
  std::string Name() const override { return name_; }
  std::string DisplayText(const TListDisplayOptions&) const override { return name_; }
  std::string_view Kind() const override { return "test"; }

 private:
  std::string name_;
  int kind_;
};

TTreeItem& Add(TTreeItem& parent, std::string name, int kind = 0) {
  return parent.AddChild(std::make_unique<TTestNode>(std::move(name), kind));
}

std::vector<std::string> NamesOf(const std::vector<TTreeItem*>& nodes) {
  std::vector<std::string> names;
  for (TTreeItem* node : nodes)
    names.push_back(node->Name());
  return names;
}

class TRecordingListener : public TTreeListener {
 public:
  void NodeChanged(const TTreeItem& node) override { events.push_back("changed " + Known(node)); }
  void NodeRemoved(const TTreeItem& node) override { events.push_back("removed " + Known(node)); }
  void ListChanged() override { events.push_back("list"); }

  // Removed nodes may only be identified by address, so the test names them up front.
  std::string Known(const TTreeItem& node) const {
    for (const auto& [address, name] : names) {
      if (address == &node)
        return name;
    }
    return "?";
  }
  // Names every node of `list` and starts listening to it.
  void Listen(TTreeList& list) {
    for (TTreeItem* node : list.NodesInDisplayOrder(true))
      names.emplace_back(node, node->Name());
    list.AddListener(*this);
  }

  std::vector<std::pair<const TTreeItem*, std::string>> names;
  std::vector<std::string> events;
};

// root
//   a: a1, a2
//   b (collapsed): b1
//   c
class TreeListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    list.AttachRoot(std::make_unique<TTestNode>("root"));
    TTreeItem& root = *list.RootItem();
    // Added in reverse, as the stream reader does, to come out as a, b, c.
    c = &Add(root, "c");
    b = &Add(root, "b");
    a = &Add(root, "a");
    a2 = &Add(*a, "a2");
    a1 = &Add(*a, "a1");
    b1 = &Add(*b, "b1");
    b->SetExpanded(false);
  }

  TTreeList list;
  TTreeItem* a = nullptr;
  TTreeItem* a1 = nullptr;
  TTreeItem* a2 = nullptr;
  TTreeItem* b = nullptr;
  TTreeItem* b1 = nullptr;
  TTreeItem* c = nullptr;
};

TEST_F(TreeListTest, DisplayOrderAndRowsCountShownNodesOnly) {
  EXPECT_EQ(NamesOf(list.NodesInDisplayOrder(true)),
            (std::vector<std::string>{"root", "a", "a1", "a2", "b", "b1", "c"}));
  EXPECT_EQ(NamesOf(list.NodesInDisplayOrder(false)),
            (std::vector<std::string>{"root", "a", "a1", "a2", "b", "c"}));
  EXPECT_EQ(list.ShownCount(), 6u);
  EXPECT_EQ(list.ShownAt(1), list.RootItem());
  EXPECT_EQ(list.ShownAt(5), b);
  EXPECT_EQ(list.ShownAt(6), c);
  EXPECT_EQ(list.ShownAt(0), nullptr);
  EXPECT_EQ(list.ShownAt(7), nullptr);
  EXPECT_EQ(list.ShownPosition(*a2), 4u);
  EXPECT_EQ(list.ShownPosition(*c), 6u);
  EXPECT_EQ(list.ShownPosition(*b1), 0u);
  b->ToggleExpanded();
  EXPECT_EQ(list.ShownPosition(*b1), 6u);
  EXPECT_EQ(list.ShownCount(), 7u);
  list.RootItem()->SetExpanded(false);
  EXPECT_EQ(list.ShownCount(), 1u);
  EXPECT_EQ(list.ShownPosition(*a), 0u);
}

TEST_F(TreeListTest, LinksDepthAndAncestors) {
  EXPECT_EQ(list.RootItem()->Depth(), 1);
  EXPECT_EQ(a->Depth(), 2);
  EXPECT_EQ(a2->Depth(), 3);
  EXPECT_EQ(a1->NextSibling(), a2);
  EXPECT_EQ(a2->PreviousSibling(), a1);
  EXPECT_EQ(a->LastChild(), a2);
  EXPECT_EQ(a->ChildCount(), 2u);
  EXPECT_EQ(a2->Parent(), a);
  EXPECT_TRUE(list.RootItem()->IsAncestorOf(*b1));
  EXPECT_TRUE(b->IsAncestorOf(*b1));
  EXPECT_FALSE(a->IsAncestorOf(*b1));
  EXPECT_FALSE(a->IsAncestorOf(*a));
  EXPECT_FALSE(b1->IsAncestorOf(*b));
  EXPECT_EQ(b1->OwnerList(), &list);
}

TEST(TreeItemTest, AddChildPutsEachKindFirstWithinItsKind) {
  TTestNode parent("p");
  Add(parent, "x1", 0);
  Add(parent, "g1", 1);
  Add(parent, "x2", 0);
  Add(parent, "g2", 1);
  Add(parent, "late", 2);
  Add(parent, "x3", 0);
  EXPECT_EQ(NamesOf(parent.Children()),
            (std::vector<std::string>{"x3", "x2", "x1", "g2", "g1", "late"}));
}

TEST_F(TreeListTest, DetachAndInsertBeforeMoveASubtree) {
  std::unique_ptr<TTreeItem> moved = a->Detach();
  ASSERT_EQ(moved.get(), a);
  EXPECT_EQ(a->Parent(), nullptr);
  EXPECT_EQ(list.RootItem()->FirstChild(), b);
  c->Parent()->InsertChildBefore(std::move(moved), c);
  EXPECT_EQ(NamesOf(list.NodesInDisplayOrder(true)),
            (std::vector<std::string>{"root", "b", "b1", "a", "a1", "a2", "c"}));
  EXPECT_EQ(list.RootItem()->Detach(), nullptr);
}

TEST_F(TreeListTest, WidestTextByCharactersOrByMeasure) {
  TListDisplayOptions options;
  EXPECT_EQ(list.WidestTextLength(options), 4u);  // "root"; "b1" is hidden
  // A measure that counts the indentation finds the deepest shown row widest.
  int widest = list.WidestText(options, [](const TTreeItem& node, std::string_view text) {
    return node.Depth() * 100 + static_cast<int>(text.size());
  });
  EXPECT_EQ(widest, 302);
}

TEST_F(TreeListTest, ListenersHearChangesRedrawsAndRemovals) {
  TRecordingListener listener;
  listener.Listen(list);

  a->ToggleExpanded();
  Add(*c, "c1");
  std::unique_ptr<TTreeItem> gone = a->Detach();
  gone.reset();
  // An added or detached node changes the rows as well as its parent.
  EXPECT_EQ(listener.events,
            (std::vector<std::string>{"list", "changed c", "list", "changed root", "list",
                                      "removed a", "removed a1", "removed a2"}));

  listener.events.clear();
  list.RemoveListener(listener);
  b->ToggleExpanded();
  EXPECT_TRUE(listener.events.empty());
}

TEST_F(TreeListTest, AttachingANewRootDestroysTheOldTree) {
  TRecordingListener listener;
  listener.Listen(list);
  list.AttachRoot(std::make_unique<TTestNode>("fresh"));
  EXPECT_EQ(listener.events.size(), 8u);  // seven removals and one redraw
  EXPECT_EQ(listener.events.front(), "removed root");
  EXPECT_EQ(listener.events.back(), "list");
  EXPECT_EQ(list.ShownCount(), 1u);
  list.RemoveListener(listener);
}

// A window may close (and stop listening) while it hears of a change.
TEST_F(TreeListTest, ListenerThatLeavesDuringANoticeIsNotCalledAgain) {
  struct TLeaving : TTreeListener {
    TTreeList* list = nullptr;
    TTreeListener* other = nullptr;
    int heard = 0;
    void NodeChanged(const TTreeItem&) override {}
    void NodeRemoved(const TTreeItem&) override {}
    void ListChanged() override {
      ++heard;
      list->RemoveListener(*other);
    }
  };
  TLeaving first;
  TLeaving second;
  first.list = second.list = &list;
  first.other = &second;
  second.other = &first;
  list.AddListener(first);
  list.AddListener(second);
  list.ListChanged();
  EXPECT_EQ(first.heard, 1);
  EXPECT_EQ(second.heard, 0);
  list.RemoveListener(first);
}

}  // namespace
