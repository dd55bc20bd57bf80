#include "core/envelope_list.h"

#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <vector>

#include "core/account_list.h"
#include "core/list_display_options.h"
#include "core/model_error.h"
#include "tests/support/byte_builder.h"
#include "tests/support/fake_document.h"
#include "tests/support/tree_nodes.h"

namespace {

TEnv& NewEnv(TEnvelopeList& list, TTreeItem& under, std::string name, int32_t balance = 0) {
  auto& env = AddNode<TEnv>(list, under, name);
  if (balance != 0)
    env.ChangeBalance(balance);
  return env;
}

TEnvelopeAlias& NewAlias(TTreeItem& under, TEnv& env) {
  return static_cast<TEnvelopeAlias&>(under.AddChild(env.MakeAlias()));
}

std::vector<std::string> ChildTexts(const TTreeItem& node) {
  std::vector<std::string> texts;
  TListDisplayOptions options;
  options.showEnvelopeBalances = options.showBundleBalances = false;
  for (TTreeItem* child : node.Children())
    texts.push_back(child->DisplayText(options));
  return texts;
}

uint32_t FloatBits(float value) {
  return std::bit_cast<uint32_t>(value);
}

class EnvelopeListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    list.SetContext(&document);
    accounts.SetContext(&document);
    document.cascades = &cascades;
  }

  TFakeDocument document;
  TFakeCascades cascades;
  TEnvelopeList list;
  TAccountList accounts;
};

// ---- stream form ----------------------------------------------------------

TEST(EnvelopeListStreamTest, SeveralLevelsWithAliasesComeBackAsWritten) {
  TFakeDocument document;
  TEnvelopeList list;
  list.Root().SetId(list.NewId());
  TBundle& home = AddNode<TBundle>(list, list.Root(), "Home");
  home.SetDescription("The house");
  home.SetThreshold(12.5f);
  TBundle& utilities = AddNode<TBundle>(list, home, "Utilities");
  utilities.SetWatchdog(false);
  TEnv& power = NewEnv(list, utilities, "Power", 4000);
  power.ChangeClearedBalance(1500);
  power.SetThreshold(50.0f);
  power.SetInAllocationPlan(false);
  TEnv& rent = NewEnv(list, home, "Rent", 90000);
  rent.SetDescription("Monthly");
  NewEnv(list, list.Root(), "Unallocated", -300);
  TAssociation& bills = AddNode<TAssociation>(list, list.Root(), "Bills");
  bills.SetDescription("Due monthly");
  NewAlias(bills, power);
  NewAlias(bills, rent).SetExpanded(false);
  list.Ids().Retire(list.NewId());

  const std::vector<uint8_t> first = StreamBytes(list);
  uint32_t state = 99;
  auto back = ReadBack<TEnvelopeList>(first, &state, &document.Environment());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(state, pstream::kGood);
  EXPECT_TRUE(document.user.Messages().empty());
  EXPECT_EQ(StreamBytes(*back), first);

  TListDisplayOptions options;
  std::vector<std::string> texts;
  for (TTreeItem* node : back->NodesInDisplayOrder(true))
    texts.push_back(node->DisplayText(options));
  EXPECT_EQ(texts,
            (std::vector<std::string>{"Envelopes: 937.00", "Unallocated: -3.00", "Home: 940.00",
                                      "Rent: 900.00", "Utilities: 40.00", "Power: 40.00", "Bills",
                                      "Rent [alias]", "Power [alias]"}));
  TEnv* readPower = back->Envelope(power.Id());
  ASSERT_NE(readPower, nullptr);
  EXPECT_EQ(readPower->ClearedBalance(), 1500);
  EXPECT_EQ(readPower->Threshold(), 50.0f);
  EXPECT_FALSE(readPower->InAllocationPlan());
  EXPECT_FALSE(back->FindNode(utilities.Id())->Watchdog());
  EXPECT_EQ(static_cast<TBundle*>(back->FindNode(home.Id()))->Threshold(), 12.5f);
  EXPECT_EQ(back->FindNode(bills.Id())->Balance(), TAmount(94000));

  // The aliases are bound to their envelopes and pass changes on to their association.
  auto* alias = dynamic_cast<TEnvelopeAlias*>(back->FindNode(bills.Id())->LastChild());
  ASSERT_NE(alias, nullptr);
  EXPECT_EQ(alias->Target(), readPower);
  EXPECT_EQ(readPower->FirstAlias(), alias);
  EXPECT_EQ(alias->Id(), power.Id());
  EXPECT_EQ(alias->Name(), "Power");
  EXPECT_EQ(alias->Balance(), TAmount(4000));
  back->EnvelopeChangeBalance(power.Id(), 500);
  EXPECT_EQ(back->FindNode(bills.Id())->Balance(), TAmount(94500));
}

TEST(EnvelopeListStreamTest, RootWithoutIdentifierGetsOneWhenRead) {
  TEnvelopeList list;
  EXPECT_EQ(list.Root().Id(), 0u);
  auto back = ReadBack<TEnvelopeList>(StreamBytes(list));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->Root().Id(), 1u);
  EXPECT_TRUE(back->Ids().IsTaken(1));
  EXPECT_EQ(back->Ids().Size(), 25u);
}

// An envelope list whose root holds one envelope record of the given class version.
std::vector<uint8_t> ListWithEnvelope(uint32_t version, bool withCleared, bool withPlan,
                                      uint32_t plan = 0) {
  TByteBuilder b;
  b.Header().BeginObject("TEnvelopeList", 1).BeginObject("TEnvelopeRoot", 1);
  b.Word32(1).Word32(1).Word32(1).Word32(1).Word32(1).BeginObject("TEnv", version);
  b.Word32(1).Word32(0).Word32(1).Word32(2).Word32(0).String("Groceries").String("Food");
  b.Word32(FloatBits(25.0f)).Word32(static_cast<uint32_t>(-1250));
  if (withCleared)
    b.Word32(700);
  if (withPlan)
    b.Word32(plan);
  b.EndObject().String("Envelopes").EndObject().Word32(1).Word32(25).Word32(3).Bytes({0, 1, 1});
  return b.EndObject();
}

TEST(EnvelopeListStreamTest, ReadsEveryKnownEnvelopeVersionAndWritesTheCurrentOne) {
  struct Case {
    uint32_t version;
    bool withCleared;
    bool withPlan;
    int32_t cleared;
    bool inPlan;
  };
  for (Case c : {Case{1, false, false, 0, true}, Case{2, true, false, 700, true},
                 Case{3, true, true, 700, false}}) {
    SCOPED_TRACE(c.version);
    uint32_t state = 99;
    auto list =
        ReadBack<TEnvelopeList>(ListWithEnvelope(c.version, c.withCleared, c.withPlan), &state);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(state, pstream::kGood);
    TEnv* env = list->Envelope(2);
    ASSERT_NE(env, nullptr);
    EXPECT_EQ(env->Name(), "Groceries");
    EXPECT_EQ(env->Description(), "Food");
    EXPECT_EQ(env->Threshold(), 25.0f);
    EXPECT_EQ(env->StoredBalance(), -1250);
    EXPECT_EQ(env->ClearedBalance(), c.cleared);
    EXPECT_EQ(env->InAllocationPlan(), c.inPlan);
    EXPECT_FALSE(env->Expanded());
    EXPECT_TRUE(env->Watchdog());
    std::vector<uint8_t> current = ListWithEnvelope(3, true, true, c.inPlan ? 1 : 0);
    if (!c.withCleared) {
      // Version 1 had no cleared balance: it is written as 0.
      std::vector<uint8_t> seven = TByteBuilder().Word32(700);
      auto at = std::search(current.begin(), current.end(), seven.begin(), seven.end());
      ASSERT_NE(at, current.end());
      std::fill(at, at + 4, uint8_t{0});
    }
    EXPECT_EQ(StreamBytes(*list), current);
  }
  uint32_t state = 0;
  ReadBack<TEnvelopeList>(ListWithEnvelope(4, true, true, 1), &state);
  EXPECT_EQ(state, pstream::kFailed) << "a newer version is refused";
}

TEST(EnvelopeListStreamTest, AliasWithoutEnvelopeIsDroppedWithAMessage) {
  TEnvelopeList list;
  TAssociation& association = AddNode<TAssociation>(list, list.Root(), "Bills");
  TEnv& power = NewEnv(list, list.Root(), "Power");
  NewAlias(association, power);
  NewAlias(association, power);
  // The envelope goes while its aliases stay, as in a file that lost the envelope's record.
  power.SetId(99);
  std::vector<uint8_t> bytes = StreamBytes(list);
  power.SetId(association.Id() + 1);

  TFakeDocument document;
  uint32_t state = 99;
  auto back = ReadBack<TEnvelopeList>(bytes, &state, &document.Environment());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(state, pstream::kGood);
  EXPECT_FALSE(back->FindNode(association.Id())->HasChildren());
  ASSERT_EQ(document.user.Messages().size(), 2u);
  EXPECT_EQ(document.user.Messages()[0].caption, "Error");
  EXPECT_EQ(document.user.Messages()[0].text, "Can't bind envelope items to list.");
  EXPECT_NE(back->Envelope(99), nullptr);
}

// ---- balances and order ---------------------------------------------------

class TEnvelopeChangeLog : public TTreeListener {
 public:
  void NodeChanged(const TTreeItem& node) override { changed.push_back(node.DisplayText({})); }
  void NodeRemoved(const TTreeItem& node) override { removed.push_back(&node); }
  void ListChanged() override {}
  std::vector<std::string> changed;
  std::vector<const TTreeItem*> removed;
};

TEST_F(EnvelopeListTest, BalanceChangesRollUpThroughBundlesAndAliases) {
  TBundle& outer = AddNode<TBundle>(list, list.Root(), "Outer");
  TBundle& inner = AddNode<TBundle>(list, outer, "Inner");
  TEnv& env = NewEnv(list, inner, "Gas", 1000);
  TAssociation& association = AddNode<TAssociation>(list, list.Root(), "Car");
  NewAlias(association, env);
  TEnvelopeChangeLog log;
  list.AddListener(log);
  const int before = document.modifiedCount;

  list.EnvelopeChangeBalance(env.Id(), -400);

  EXPECT_EQ(env.StoredBalance(), 600);
  EXPECT_EQ(inner.Balance(), TAmount(600));
  EXPECT_EQ(outer.Balance(), TAmount(600));
  EXPECT_EQ(association.Balance(), TAmount(600));
  EXPECT_EQ(list.Total(), TAmount(600));  // the association's alias is not counted again
  EXPECT_EQ(log.changed,
            (std::vector<std::string>{"Gas: 6.00", "Inner: 6.00", "Outer: 6.00", "Envelopes: 6.00",
                                      "Gas [alias]", "Car", "Envelopes: 6.00"}));
  EXPECT_GT(document.modifiedCount, before);

  list.EnvelopeChangeRecBalance(env.Id(), 250);
  EXPECT_EQ(list.EnvelopeRecBalance(env.Id()), 250);
  EXPECT_EQ(list.EnvelopeBalance(env.Id()), 600);
  list.RemoveListener(log);
}

TEST_F(EnvelopeListTest, SiblingsGoEnvelopesAliasesBundlesAssociationsNewestFirst) {
  TAssociation& association = AddNode<TAssociation>(list, list.Root(), "Assoc1");
  AddNode<TBundle>(list, list.Root(), "Bundle1");
  TEnv& env1 = NewEnv(list, list.Root(), "Env1");
  AddNode<TAssociation>(list, list.Root(), "Assoc2");
  AddNode<TBundle>(list, list.Root(), "Bundle2");
  TEnv& env2 = NewEnv(list, list.Root(), "Env2");
  NewAlias(list.Root(), env1);
  NewAlias(list.Root(), env2);
  EXPECT_EQ(ChildTexts(list.Root()),
            (std::vector<std::string>{"Env2", "Env1", "Env2 [alias]", "Env1 [alias]", "Bundle2",
                                      "Bundle1", "Assoc2", "Assoc1"}));
  NewAlias(association, env1);
  NewAlias(association, env2);
  EXPECT_EQ(ChildTexts(association), (std::vector<std::string>{"Env2 [alias]", "Env1 [alias]"}));
  // The chain holds the newest alias first.
  EXPECT_EQ(env1.FirstAlias()->Parent(), &association);
  EXPECT_EQ(env1.FirstAlias()->NextAlias()->Parent(), &list.Root());
}

TEST_F(EnvelopeListTest, ReorderedSiblingsSurviveWritingAndReading) {
  TEnv& a = NewEnv(list, list.Root(), "A");
  NewEnv(list, list.Root(), "B");
  TEnv& c = NewEnv(list, list.Root(), "C");
  // A hand-made order within one kind: A, C, B.
  std::unique_ptr<TTreeItem> moved = a.Detach();
  list.Root().InsertChildBefore(std::move(moved), list.Root().FirstChild());
  std::unique_ptr<TTreeItem> movedC = c.Detach();
  list.Root().InsertChildBefore(std::move(movedC), list.Root().LastChild());
  ASSERT_EQ(ChildTexts(list.Root()), (std::vector<std::string>{"A", "C", "B"}));
  auto back = ReadBack<TEnvelopeList>(StreamBytes(list));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(ChildTexts(back->Root()), (std::vector<std::string>{"A", "C", "B"}));
}

TEST_F(EnvelopeListTest, AnEnvelopeTakesItsAliasesWithIt) {
  TAssociation& first = AddNode<TAssociation>(list, list.Root(), "First");
  TAssociation& second = AddNode<TAssociation>(list, list.Root(), "Second");
  TEnv& env = NewEnv(list, list.Root(), "Gas");
  TEnvelopeAlias& alias1 = NewAlias(first, env);
  TEnvelopeAlias& alias2 = NewAlias(second, env);
  TEnvelopeChangeLog log;
  list.AddListener(log);
  env.Detach().reset();
  EXPECT_EQ(log.removed,
            (std::vector<const TTreeItem*>{&alias2, &alias1, static_cast<TTreeItem*>(&env)}));
  EXPECT_FALSE(first.HasChildren());
  EXPECT_FALSE(second.HasChildren());
  list.RemoveListener(log);
}

TEST_F(EnvelopeListTest, AliasesLeavingFirstUnlinkFromTheirEnvelope) {
  TAssociation& association = AddNode<TAssociation>(list, list.Root(), "Assoc");
  TEnv& env = NewEnv(list, list.Root(), "Gas");
  TEnvelopeAlias& older = NewAlias(association, env);
  NewAlias(association, env).Detach().reset();
  EXPECT_EQ(env.FirstAlias(), &older);
  association.Detach().reset();
  EXPECT_EQ(env.FirstAlias(), nullptr);
  env.ChangeBalance(10);  // no alias left to pass the change to
  EXPECT_EQ(list.Total(), TAmount(10));
}

// ---- names, texts and flags -----------------------------------------------

TEST_F(EnvelopeListTest, NamesIdentifiersAndFlags) {
  TBundle& bundle = AddNode<TBundle>(list, list.Root(), "Home");
  TEnv& rent = NewEnv(list, bundle, "Rent");
  TAssociation& association = AddNode<TAssociation>(list, list.Root(), "Bills");
  NewAlias(association, rent);
  EXPECT_EQ(list.NumberOfEnvelopes(), 1u);
  EXPECT_EQ(list.NameOfEnvelope(rent.Id()), "Rent");
  EXPECT_EQ(list.NameOfEnvelope(bundle.Id()), "None");
  EXPECT_EQ(list.NameOfId(bundle.Id()), "Home");
  EXPECT_EQ(list.NameOfId(88), "Invalid Item Reference");
  EXPECT_EQ(list.IdOfName("RENT"), rent.Id());
  EXPECT_EQ(list.EnvelopeIdOfName("home"), 0u);
  EXPECT_EQ(list.Names().Texts(), (std::vector<std::string>{"Envelopes", "Home", "Rent", "Bills"}));

  EXPECT_TRUE(list.InAllocationPlan(rent.Id()));
  list.SetInAllocationPlan(rent.Id(), false);
  EXPECT_FALSE(list.InAllocationPlan(rent.Id()));
  EXPECT_FALSE(list.InAllocationPlan(bundle.Id()));

  TAmount before = list.Total();
  list.EnvelopeChangeBalance(bundle.Id(), 5);
  list.EnvelopeChangeRecBalance(999, 5);
  EXPECT_EQ(list.Total(), before) << "a posting to a non-envelope is dropped";
  EXPECT_EQ(list.EnvelopeRecBalance(rent.Id()), 0);
}

TEST_F(EnvelopeListTest, DisplayTextsFollowTheListOptions) {
  TBundle& bundle = AddNode<TBundle>(list, list.Root(), "Home");
  TEnv& rent = NewEnv(list, bundle, "Rent", 123456);
  TAssociation& association = AddNode<TAssociation>(list, list.Root(), "Bills");
  TEnvelopeAlias& alias = NewAlias(association, rent);
  TListDisplayOptions options;
  EXPECT_EQ(list.Root().DisplayText(options), "Envelopes: 1,234.56");
  EXPECT_EQ(bundle.DisplayText(options), "Home: 1,234.56");
  EXPECT_EQ(rent.DisplayText(options), "Rent: 1,234.56");
  EXPECT_EQ(association.DisplayText(options), "Bills");
  EXPECT_EQ(alias.DisplayText(options), "Rent [alias]");
  options = {false, false, true, false};
  EXPECT_EQ(list.Root().DisplayText(options), "Envelopes");
  EXPECT_EQ(bundle.DisplayText(options), "Home");
  EXPECT_EQ(rent.DisplayText(options), "Rent");
  EXPECT_EQ(association.DisplayText(options), "Bills: 1,234.56");
}

// ---- adding and editing ---------------------------------------------------

TEST_F(EnvelopeListTest, AddingAnEnvelopeOpensItsDialog) {
  document.user.ScriptEnvelopeDialog(std::nullopt);
  EXPECT_EQ(list.AddEnvelope(list.Root()), nullptr);
  EXPECT_EQ(list.Ids().States()[1], TIdList::kRetired);

  document.user.ScriptEnvelopeDialog(TEnvelopeProperties{"Food", "Groceries", 75.5f, false});
  TEnv* food = list.AddEnvelope(list.Root());
  ASSERT_NE(food, nullptr);
  EXPECT_EQ(food->Id(), 2u);
  EXPECT_EQ(food->Description(), "Groceries");
  EXPECT_EQ(food->Threshold(), 75.5f);
  EXPECT_FALSE(food->InAllocationPlan());
  EXPECT_TRUE(food->Watchdog());

  // On an envelope the new one stands before it; an association takes no new envelope.
  document.user.ScriptEnvelopeDialog(TEnvelopeProperties{"Rent", "", 0.0f, true});
  TBundle& bundle = AddNode<TBundle>(list, list.Root(), "Home");
  TEnv& gas = NewEnv(list, bundle, "Gas");
  NewEnv(list, bundle, "Water");
  ASSERT_NE(list.AddEnvelope(gas), nullptr);
  EXPECT_EQ(ChildTexts(bundle), (std::vector<std::string>{"Water", "Rent", "Gas"}));
  TAssociation& association = AddNode<TAssociation>(list, list.Root(), "Bills");
  EXPECT_EQ(list.AddEnvelope(association), nullptr);
  EXPECT_EQ(list.AddEnvelope(association, "Lost", true), nullptr);
  EXPECT_EQ(document.user.UnansweredDialogs(), 0);
  // The wizard's envelope takes its name and watchdog without a dialog.
  const size_t dialogs = document.user.Dialogs().size();
  TEnv* unallocated = list.AddEnvelope(list.Root(), "Unallocated", false);
  ASSERT_NE(unallocated, nullptr);
  EXPECT_EQ(unallocated->Name(), "Unallocated");
  EXPECT_FALSE(unallocated->Watchdog());
  EXPECT_EQ(document.user.Dialogs().size(), dialogs);
}

TEST_F(EnvelopeListTest, BundlesAndAssociationsGoWhereTheCommandsAllow) {
  TEnv& env = NewEnv(list, list.Root(), "Gas");
  document.user.ScriptBundleDialog(TBundleProperties{"Car", "Wheels", 20.0f});
  TBundle* bundle = list.AddBundle(list.Root());
  ASSERT_NE(bundle, nullptr);
  EXPECT_EQ(bundle->Threshold(), 20.0f);
  EXPECT_EQ(list.AddBundle(env), nullptr);
  EXPECT_EQ(list.AddAssociation(*bundle), nullptr);
  document.user.ScriptAssociationDialog(TGroupProperties{"Bills", "Monthly"});
  TAssociation* association = list.AddAssociation(list.Root());
  ASSERT_NE(association, nullptr);
  EXPECT_EQ(association->Description(), "Monthly");
  EXPECT_EQ(list.AddBundle(*association), nullptr);
  EXPECT_EQ(document.user.Dialogs().size(), 2u);
}

TEST_F(EnvelopeListTest, EditingTellsTheDialogTheOtherNames) {
  TEnv& food = NewEnv(list, list.Root(), "Food");
  NewEnv(list, list.Root(), "Rent");
  TAssociation& association = AddNode<TAssociation>(list, list.Root(), "Bills");
  TEnvelopeAlias& alias = NewAlias(association, food);
  document.user.ScriptEnvelopeDialog(TEnvelopeProperties{"Groceries", "", 10.0f, true});
  EXPECT_TRUE(list.EditProperties(food));
  EXPECT_EQ(food.Name(), "Groceries");
  EXPECT_EQ(alias.Name(), "Groceries");
  EXPECT_EQ(document.user.Dialogs()[0].takenNames,
            (std::vector<std::string>{"Envelopes", "Rent", "Bills"}));
  EXPECT_FALSE(list.EditProperties(alias));
  EXPECT_EQ(document.user.Dialogs().size(), 1u);
}

// ---- deleting -------------------------------------------------------------

TEST_F(EnvelopeListTest, TheLastEnvelopeStays) {
  TEnv& only = NewEnv(list, list.Root(), "Only");
  AddNode<TBundle>(list, list.Root(), "Empty");
  EXPECT_FALSE(list.DeleteItem(only, accounts));
  ASSERT_EQ(document.user.Messages().size(), 1u);
  EXPECT_EQ(document.user.Messages()[0].text, "Can't delete last envelope.");
  EXPECT_EQ(document.user.Messages()[0].caption, "Quenbrook");
  EXPECT_TRUE(document.user.Dialogs().empty());
  EXPECT_FALSE(list.DeleteItem(list.Root(), accounts));
}

TEST_F(EnvelopeListTest, DeletedEnvelopeHandsEverythingToItsReplacement) {
  TEnv& old = NewEnv(list, list.Root(), "Old");
  TEnv& food = NewEnv(list, list.Root(), "Food");
  TEnv& rent = NewEnv(list, list.Root(), "Rent");
  TAssociation& association = AddNode<TAssociation>(list, list.Root(), "Bills");
  NewAlias(association, old);
  auto addAccount = [&](uint32_t envelope) {
    auto& account = AddNode<TAccount>(accounts, accounts.Root(), "");
    account.SetDefaultEnvelope(envelope);
    return &account;
  };
  TAccount* first = addAccount(old.Id());
  TAccount* second = addAccount(old.Id());
  TAccount* other = addAccount(rent.Id());
  const uint32_t oldId = old.Id();

  document.user.ScriptEnvelopeChoice(std::nullopt);
  EXPECT_FALSE(list.DeleteItem(old, accounts));
  EXPECT_TRUE(cascades.calls.empty());
  ASSERT_EQ(document.user.Dialogs().size(), 1u);
  ASSERT_EQ(document.user.Dialogs()[0].choices.size(), 2u);
  EXPECT_EQ(document.user.Dialogs()[0].dialog, "delete-envelope");

  document.user.ScriptEnvelopeChoice(food.Id());
  EXPECT_TRUE(list.DeleteItem(old, accounts));
  EXPECT_EQ(cascades.calls,
            (std::vector<std::string>{
                "move-envelope " + std::to_string(oldId) + " " + std::to_string(food.Id()),
                "replace-template " + std::to_string(oldId) + " " + std::to_string(food.Id())}));
  EXPECT_EQ(first->DefaultEnvelope(), food.Id());
  EXPECT_EQ(second->DefaultEnvelope(), food.Id());
  EXPECT_EQ(other->DefaultEnvelope(), rent.Id());
  EXPECT_EQ(list.Envelope(oldId), nullptr);
  EXPECT_EQ(list.Ids().States()[oldId], TIdList::kRetired);
  EXPECT_FALSE(association.HasChildren());
}

TEST_F(EnvelopeListTest, ReplacementMustBeAnotherEnvelope) {
  TEnv& old = NewEnv(list, list.Root(), "Old");
  NewEnv(list, list.Root(), "Food");
  TBundle& bundle = AddNode<TBundle>(list, list.Root(), "Home");
  for (uint32_t chosen : {old.Id(), bundle.Id(), 77u}) {
    document.user.ScriptEnvelopeChoice(chosen);
    EXPECT_FALSE(list.DeleteItem(old, accounts));
  }
  EXPECT_TRUE(cascades.calls.empty());
  EXPECT_EQ(list.Envelope(old.Id()), &old);
}

TEST_F(EnvelopeListTest, BundlesGoOnlyWhenEmptyAliasesKeepTheIdentifier) {
  TBundle& bundle = AddNode<TBundle>(list, list.Root(), "Home");
  TEnv& rent = NewEnv(list, bundle, "Rent");
  NewEnv(list, list.Root(), "Food");
  TAssociation& association = AddNode<TAssociation>(list, list.Root(), "Bills");
  TEnvelopeAlias& alias = NewAlias(association, rent);

  EXPECT_FALSE(list.DeleteItem(bundle, accounts));
  ASSERT_EQ(document.user.Messages().size(), 1u);
  EXPECT_EQ(document.user.Messages()[0].text,
            "Bundle \"Home\" is not empty.  Cannot delete bundles that are not empty.  Delete or "
            "move contents first.");

  EXPECT_TRUE(list.DeleteItem(alias, accounts));
  EXPECT_EQ(rent.FirstAlias(), nullptr);
  EXPECT_EQ(list.Ids().States()[rent.Id()], TIdList::kInUse);

  NewAlias(association, rent);
  EXPECT_TRUE(list.DeleteItem(association, accounts));
  EXPECT_EQ(rent.FirstAlias(), nullptr);

  std::unique_ptr<TTreeItem> moved = rent.Detach();
  list.Root().AddChild(std::move(moved));
  const uint32_t id = bundle.Id();
  EXPECT_TRUE(list.DeleteItem(bundle, accounts));
  EXPECT_EQ(list.FindNode(id), nullptr);
}

// ---- watchdog switch ------------------------------------------------------

TEST_F(EnvelopeListTest, TogglingTheWatchdogAsksFirst) {
  TEnv& env = NewEnv(list, list.Root(), "Food");
  TAssociation& association = AddNode<TAssociation>(list, list.Root(), "Bills");
  TEnvelopeAlias& alias = NewAlias(association, env);
  struct Case {
    TMessageAnswer answer;
    bool flipped;
  };
  for (Case c : {Case{TMessageAnswer::No, false}, Case{TMessageAnswer::Cancel, false},
                 Case{TMessageAnswer::Yes, true}}) {
    const bool before = env.Watchdog();
    document.user.Script(c.answer);
    EXPECT_EQ(list.AskToggleWatchdog(env), c.flipped);
    EXPECT_EQ(env.Watchdog(), c.flipped ? !before : before);
  }
  const TMessage& question = document.user.Messages().back();
  EXPECT_EQ(question.caption, "Toggle Watchdog");
  EXPECT_EQ(question.text, "Are you sure you would like to toggle the watchdog?");
  EXPECT_EQ(question.buttons, TMessageButtons::YesNoCancel);

  const size_t asked = document.user.Messages().size();
  EXPECT_FALSE(list.AskToggleWatchdog(association));
  EXPECT_FALSE(list.AskToggleWatchdog(alias));
  EXPECT_EQ(document.user.Messages().size(), asked);
  const bool rootBefore = list.Root().Watchdog();
  EXPECT_TRUE(list.ToggleWatchdog(list.Root()));
  EXPECT_NE(list.Root().Watchdog(), rootBefore);
}

}  // namespace
