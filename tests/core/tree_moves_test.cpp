#include "core/tree_moves.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/account_list.h"
#include "core/envelope_list.h"
#include "tests/support/fake_document.h"

namespace {

template <class Node>
Node& New(TTreeItem& under, uint32_t id, std::string name) {
  auto& node = static_cast<Node&>(under.AddChild(std::make_unique<Node>(id)));
  node.SetName(name);
  return node;
}

std::vector<std::string> ChildNames(const TTreeItem& node) {
  std::vector<std::string> names;
  for (TTreeItem* child : node.Children())
    names.push_back(child->Name());
  return names;
}

struct TPair {
  const char* label;
  TTreeItem* target;
  TTreeItem* node;
  bool accepted;
};

void ExpectPairs(const std::vector<TPair>& pairs) {
  for (const TPair& pair : pairs) {
    SCOPED_TRACE(pair.label);
    EXPECT_EQ(Accepts(*pair.target, *pair.node), pair.accepted);
  }
}

// Accounts:  root: A1, G1 [A2, A3, G2 [A4]], G3 []
class AccountMovesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    list.SetContext(&document);
    TAccountRoot& root = list.Root();
    g3 = &New<TAccountGroup>(root, 7, "G3");
    g1 = &New<TAccountGroup>(root, 2, "G1");
    a1 = &New<TAccount>(root, 1, "A1");
    g2 = &New<TAccountGroup>(*g1, 5, "G2");
    a4 = &New<TAccount>(*g2, 6, "A4");
    a3 = &New<TAccount>(*g1, 4, "A3");
    a2 = &New<TAccount>(*g1, 3, "A2");
    document.modifiedCount = 0;
  }

  TFakeDocument document;
  TAccountList list;
  TAccount *a1, *a2, *a3, *a4;
  TAccountGroup *g1, *g2, *g3;
};

TEST_F(AccountMovesTest, WhatEachAccountTargetAccepts) {
  TAccountRoot* root = &list.Root();
  ExpectPairs({
      {"root takes an account", root, a2, true},
      {"root takes a group", root, g2, true},
      {"root never takes itself", root, root, false},
      {"group takes an account", g1, a1, true},
      {"group takes a group", g1, g3, true},
      {"group never takes itself", g1, g1, false},
      {"group never takes its ancestor", g2, g1, false},
      {"group never takes the root", g3, root, false},
      {"account takes an account its parent takes", a2, a1, true},
      {"account takes an account from below", a1, a4, true},
      {"account refuses a group", a2, g3, false},
      {"account never takes itself", a2, a2, false},
      {"account refuses the root", a2, root, false},
  });
}

TEST_F(AccountMovesTest, DroppedAccountBecomesTheGroupsFirstAccount) {
  EXPECT_TRUE(Drop(*g1, *a1));
  EXPECT_EQ(ChildNames(*g1), (std::vector<std::string>{"A1", "A2", "A3", "G2"}));
  EXPECT_EQ(ChildNames(list.Root()), (std::vector<std::string>{"G1", "G3"}));
  EXPECT_EQ(document.modifiedCount, 1);
  // The window hands over a selection from the last selected to the first; an empty group
  // takes them all.
  EXPECT_TRUE(Drop(*g3, *a3));
  EXPECT_TRUE(Drop(*g3, *a2));
  EXPECT_EQ(ChildNames(*g3), (std::vector<std::string>{"A2", "A3"}));
  EXPECT_EQ(document.modifiedCount, 3);
}

TEST_F(AccountMovesTest, AccountDroppedOnAnAccountOfAnotherGroupStandsBeforeIt) {
  a1->ChangeBalance(500);
  EXPECT_TRUE(Drop(*a3, *a1));
  EXPECT_EQ(ChildNames(*g1), (std::vector<std::string>{"A2", "A1", "A3", "G2"}));
  EXPECT_EQ(g1->Balance(), TAmount(500));
  EXPECT_TRUE(Drop(*a2, *a4));
  EXPECT_EQ(ChildNames(*g1), (std::vector<std::string>{"A4", "A2", "A1", "A3", "G2"}));
  EXPECT_FALSE(g2->HasChildren());
}

TEST_F(AccountMovesTest, GroupDroppedOnAnAccountMovesNothing) {
  EXPECT_FALSE(Drop(*a2, *g3));
  EXPECT_FALSE(Drop(*g2, *g1));
  EXPECT_EQ(ChildNames(list.Root()), (std::vector<std::string>{"A1", "G1", "G3"}));
  EXPECT_EQ(ChildNames(*g1), (std::vector<std::string>{"A2", "A3", "G2"}));
  EXPECT_EQ(document.modifiedCount, 0);
}

TEST_F(AccountMovesTest, NodesOfAnotherTreeAreRefused) {
  TAccountList other;
  TAccount& stranger = New<TAccount>(other.Root(), 1, "Stranger");
  TEnvelopeList envelopes;
  TEnv& env = New<TEnv>(envelopes.Root(), 1, "Env");
  EXPECT_FALSE(Accepts(*g1, stranger));
  EXPECT_FALSE(Accepts(list.Root(), env));
  EXPECT_FALSE(Accepts(envelopes.Root(), *a1));
}

// Trees deeper than the stream reader follows could be saved but never opened again.
TEST_F(AccountMovesTest, NoMoveMakesTheTreeTooDeep) {
  TTreeItem* deepest = g3;
  uint32_t id = 100;
  while (deepest->Depth() < kMaxTreeDepth)
    deepest = &New<TAccountGroup>(*deepest, ++id, "Deep");
  TAccountGroup& loose = New<TAccountGroup>(list.Root(), ++id, "Loose");
  EXPECT_FALSE(Accepts(*deepest, loose));
  EXPECT_FALSE(Accepts(*deepest, *a1));
  EXPECT_TRUE(Accepts(*deepest->Parent(), loose));
  EXPECT_TRUE(Accepts(*deepest->Parent(), *a1));
  // A group with a child needs one more level.
  EXPECT_FALSE(Accepts(*deepest->Parent(), *g2));
}

// Envelopes:  root: E1, B1 [E2, B2 [E3]], S1 [alias of E2], S2 [alias of E3]
class EnvelopeMovesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    list.SetContext(&document);
    TEnvelopeRoot& root = list.Root();
    s2 = &New<TAssociation>(root, 8, "S2");
    s1 = &New<TAssociation>(root, 7, "S1");
    b1 = &New<TBundle>(root, 2, "B1");
    e1 = &New<TEnv>(root, 1, "E1");
    b2 = &New<TBundle>(*b1, 4, "B2");
    e2 = &New<TEnv>(*b1, 3, "E2");
    e3 = &New<TEnv>(*b2, 5, "E3");
    alias2 = &static_cast<TEnvelopeAlias&>(s1->AddChild(e2->MakeAlias()));
    alias3 = &static_cast<TEnvelopeAlias&>(s2->AddChild(e3->MakeAlias()));
    e1->ChangeBalance(1000);
    e2->ChangeBalance(2000);
    e3->ChangeBalance(4000);
    document.modifiedCount = 0;
  }

  TFakeDocument document;
  TEnvelopeList list;
  TEnv *e1, *e2, *e3;
  TBundle *b1, *b2;
  TAssociation *s1, *s2;
  TEnvelopeAlias *alias2, *alias3;
};

TEST_F(EnvelopeMovesTest, WhatEachEnvelopeTargetAccepts) {
  TEnvelopeRoot* root = &list.Root();
  ExpectPairs({
      {"root takes an envelope", root, e2, true},
      {"root takes a bundle", root, b2, true},
      {"root takes an association", root, s1, true},
      {"root refuses an alias", root, alias2, false},
      {"root never takes itself", root, root, false},
      {"bundle takes an envelope", b1, e1, true},
      {"bundle never takes itself", b2, b2, false},
      {"bundle takes another bundle", b1, b2, true},
      {"bundle refuses its ancestor", b2, b1, false},
      {"bundle refuses an association", b1, s2, false},
      {"bundle refuses an alias", b1, alias2, false},
      {"association takes an alias", s1, alias3, true},
      {"association takes an envelope", s1, e1, true},
      {"association refuses an association", s1, s2, false},
      {"association refuses a bundle", s1, b2, false},
      {"envelope takes an envelope", e2, e1, true},
      {"envelope takes an envelope from deeper down", e1, e3, true},
      {"envelope refuses a bundle", e2, b2, false},
      {"envelope refuses an alias", e2, alias3, false},
      {"envelope never takes itself", e2, e2, false},
      {"alias takes an alias", alias2, alias3, true},
      {"alias refuses an envelope", alias2, e1, false},
      {"alias never takes itself", alias2, alias2, false},
  });
}

TEST_F(EnvelopeMovesTest, EnvelopeDroppedOnAnAssociationGainsAnAlias) {
  const TAmount total = list.Total();
  EXPECT_TRUE(Drop(*s2, *e1));
  EXPECT_EQ(e1->Parent(), &list.Root());
  ASSERT_EQ(s2->ChildCount(), 2u);
  auto* alias = dynamic_cast<TEnvelopeAlias*>(s2->FirstChild());
  ASSERT_NE(alias, nullptr);
  EXPECT_EQ(alias->Target(), e1);
  EXPECT_EQ(alias->Id(), e1->Id());
  EXPECT_EQ(e1->FirstAlias(), alias);
  EXPECT_EQ(s2->Balance(), TAmount(5000));
  EXPECT_EQ(list.Total(), total);
  EXPECT_EQ(document.modifiedCount, 1);
  e1->ChangeBalance(10);
  EXPECT_EQ(s2->Balance(), TAmount(5010));
}

TEST_F(EnvelopeMovesTest, AliasMovesBetweenAssociations) {
  EXPECT_TRUE(Drop(*s2, *alias2));
  EXPECT_FALSE(s1->HasChildren());
  EXPECT_EQ(ChildNames(*s2), (std::vector<std::string>{"E2", "E3"}));
  EXPECT_EQ(alias2->Target(), e2);
  EXPECT_TRUE(Drop(*alias2, *alias3));
  EXPECT_EQ(ChildNames(*s2), (std::vector<std::string>{"E3", "E2"}));
}

TEST_F(EnvelopeMovesTest, EnvelopesAndBundlesMoveAndTheSumsFollow) {
  EXPECT_TRUE(Drop(*e2, *e1));
  EXPECT_EQ(ChildNames(*b1), (std::vector<std::string>{"E1", "E2", "B2"}));
  EXPECT_EQ(b1->Balance(), TAmount(7000));
  EXPECT_TRUE(Drop(list.Root(), *b2));
  EXPECT_EQ(ChildNames(list.Root()), (std::vector<std::string>{"B2", "B1", "S1", "S2"}));
  EXPECT_EQ(b1->Balance(), TAmount(3000));
  EXPECT_EQ(list.Total(), TAmount(7000));
  EXPECT_TRUE(Drop(*b2, *e1));
  EXPECT_EQ(ChildNames(*b2), (std::vector<std::string>{"E1", "E3"}));
  EXPECT_EQ(document.modifiedCount, 3);
}

TEST_F(EnvelopeMovesTest, RefusedDropsChangeNothing) {
  EXPECT_FALSE(Drop(*s1, *b2));
  EXPECT_FALSE(Drop(list.Root(), *alias2));
  EXPECT_FALSE(Drop(*b2, *b1));
  EXPECT_FALSE(Drop(*e1, *alias3));
  EXPECT_EQ(ChildNames(list.Root()), (std::vector<std::string>{"E1", "B1", "S1", "S2"}));
  EXPECT_EQ(document.modifiedCount, 0);
  EXPECT_EQ(list.Total(), TAmount(7000));
}

TEST_F(EnvelopeMovesTest, NewNodesArePlacedLikeDroppedOnes) {
  TTreeItem* placed = PlaceNew(*e2, std::make_unique<TEnv>(20));
  ASSERT_NE(placed, nullptr);
  EXPECT_EQ(placed->NextSibling(), e2);
  EXPECT_EQ(PlaceNew(*s1, std::make_unique<TEnv>(21)), nullptr);
  EXPECT_EQ(PlaceNew(*e1, std::make_unique<TBundle>(22)), nullptr);
  EXPECT_NE(PlaceNew(*b2, std::make_unique<TBundle>(23)), nullptr);
}

}  // namespace
