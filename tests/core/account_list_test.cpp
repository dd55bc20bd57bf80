#include "core/account_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/envelope_list.h"
#include "core/list_display_options.h"
#include "core/model_error.h"
#include "core/unique_label.h"
#include "tests/support/byte_builder.h"
#include "tests/support/fake_document.h"
#include "tests/support/tree_nodes.h"

namespace {

TAccount& NewAccount(TAccountList& list, TTreeItem& under, std::string name, int32_t balance = 0) {
  auto& account = AddNode<TAccount>(list, under, name);
  if (balance != 0)
    account.ChangeBalance(balance);
  return account;
}

std::vector<std::string> ChildNames(const TTreeItem& node) {
  std::vector<std::string> names;
  for (TTreeItem* child : node.Children())
    names.push_back(child->Name());
  return names;
}

std::vector<std::string> DisplayNames(const TTreeList& list) {
  std::vector<std::string> names;
  for (TTreeItem* node : list.NodesInDisplayOrder(true))
    names.push_back(node->Name());
  return names;
}

// Where the first occurrence of `text` starts in `bytes`.
size_t Find(const std::vector<uint8_t>& bytes, std::string_view text) {
  auto it = std::search(bytes.begin(), bytes.end(), text.begin(), text.end());
  return static_cast<size_t>(it - bytes.begin());
}

class AccountListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    list.SetContext(&document);
    envelopes.SetContext(&document);
  }

  TFakeDocument document;
  TAccountList list;
  TEnvelopeList envelopes;
};

// ---- stream form ----------------------------------------------------------

TEST(AccountListStreamTest, EmptyListHasTheDocumentedBytes) {
  TAccountList list;
  opstream os;
  os.WriteObject(&list);
  os.WriteObject(&list.Root());  // a second pointer to the root names its index
  // The root: node base version, expanded, identifier, children and name; then the identifiers.
  TByteBuilder expected;
  expected.Header().BeginObject("TAccountList", 1).BeginObject("TAccountRoot", 1);
  expected.Word32(1).Word32(1).Word32(0).Word32(0).String("Accounts").EndObject();
  expected.Word32(1).Word32(25).Word32(0).EndObject().Byte(0x01).Word32(2);
  EXPECT_EQ(os.Bytes(), expected.Get());

  uint32_t state = 99;
  auto back = ReadBack<TAccountList>(os.Bytes(), &state);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(state, pstream::kGood);
  EXPECT_EQ(back->Root().Name(), "Accounts");
  EXPECT_EQ(back->Ids().Growth(), 25u);
  EXPECT_EQ(back->Ids().Size(), 0u);
}

TEST(AccountListStreamTest, SeveralLevelsComeBackAsTheyWereWritten) {
  TAccountList list;
  TAccountGroup& banks = AddNode<TAccountGroup>(list, list.Root(), "Banks");
  banks.SetDescription("Everything at the bank");
  TAccountGroup& old = AddNode<TAccountGroup>(list, banks, "Old");
  old.SetExpanded(false);
  TAccount& closed = NewAccount(list, old, "Closed", 0);
  closed.SetType(2);
  NewAccount(list, old, "Former", -5);
  TAccount& checking = NewAccount(list, banks, "Checking", 123456);
  checking.SetDescription("Main account");
  checking.SetDefaultEnvelope(4);
  checking.ChangeClearedBalance(100000);
  NewAccount(list, list.Root(), "Wallet", 2000).SetType(3);
  AddNode<TAccountGroup>(list, list.Root(), "Cards");
  list.Ids().Retire(list.NewId());  // a cancelled creation

  const std::vector<uint8_t> first = StreamBytes(list);
  uint32_t state = 99;
  auto back = ReadBack<TAccountList>(first, &state);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(state, pstream::kGood);
  EXPECT_EQ(StreamBytes(*back), first);
  // Children are written from the last to the first.
  EXPECT_LT(Find(first, "Banks"), Find(first, "Cards"));
  EXPECT_LT(Find(first, "Cards"), Find(first, "Wallet"));
  EXPECT_LT(Find(first, "Closed"), Find(first, "Former"));

  EXPECT_EQ(DisplayNames(*back), DisplayNames(list));
  EXPECT_EQ(DisplayNames(*back), (std::vector<std::string>{"Accounts", "Wallet", "Cards", "Banks",
                                                           "Checking", "Old", "Former", "Closed"}));
  TAccount* read = back->Account(checking.Id());
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Description(), "Main account");
  EXPECT_EQ(read->DefaultEnvelope(), 4u);
  EXPECT_EQ(read->StoredBalance(), 123456);
  EXPECT_EQ(read->ClearedBalance(), 100000);
  EXPECT_FALSE(back->FindNode(old.Id())->Expanded());
  EXPECT_EQ(back->Account(closed.Id())->Type(), 2u);
  EXPECT_EQ(back->Total(), TAmount(123456 - 5 + 2000));
  EXPECT_EQ(back->Ids().States(), list.Ids().States());
  EXPECT_EQ(back->Root().OwnerList(), back.get());
  EXPECT_EQ(back->Account(closed.Id())->OwnerList(), back.get());
}

// The account record with each of the data blocks that files have carried.
std::vector<uint8_t> AccountRecord(const std::vector<uint8_t>& block) {
  TByteBuilder b;
  b.Header().BeginObject("TAccount", 1).Word32(1).Word32(0).Word32(5).Word32(0);
  return b.Append(block).EndObject();
}

TEST(AccountListStreamTest, ReadsAllThreeAccountDataBlocks) {
  auto tail = [](TByteBuilder& b) -> TByteBuilder& {
    return b.String("Main").Word32(2).Word32(7).Word32(static_cast<uint32_t>(-250)).Word32(1234);
  };
  TByteBuilder oldest;
  oldest.Word32(8).Chars("Checking");
  TByteBuilder withDate;
  withDate.Word32(0x1001).String("Checking");
  tail(withDate).Byte(15).Byte(3).Word32(2009);
  TByteBuilder current;
  current.Word32(0x1002).String("Checking");
  tail(current);
  tail(oldest);

  struct Case {
    const char* label;
    std::vector<uint8_t> block;
  };
  for (const Case& c : {Case{"unmarked", oldest.Get()}, Case{"0x1001", withDate.Get()},
                        Case{"0x1002", current.Get()}}) {
    SCOPED_TRACE(c.label);
    uint32_t state = 99;
    auto account = ReadBack<TAccount>(AccountRecord(c.block), &state);
    ASSERT_NE(account, nullptr);
    EXPECT_EQ(state, pstream::kGood);
    EXPECT_EQ(account->Id(), 5u);
    EXPECT_EQ(account->Name(), "Checking");
    EXPECT_EQ(account->Description(), "Main");
    EXPECT_EQ(account->Type(), 2u);
    EXPECT_EQ(account->DefaultEnvelope(), 7u);
    EXPECT_EQ(account->StoredBalance(), -250);
    EXPECT_EQ(account->ClearedBalance(), 1234);
    // Whatever it was read from, it is written in the current form.
    EXPECT_EQ(StreamBytes(*account), AccountRecord(current.Get()));
  }
  // An unmarked block whose name is longer than the field fails.
  TByteBuilder overlong;
  overlong.Word32(40)
      .Chars(std::string(40, 'x'))
      .String("")
      .Word32(1)
      .Word32(0)
      .Word32(0)
      .Word32(0);
  uint32_t state = 0;
  ReadBack<TAccount>(AccountRecord(overlong.Get()), &state);
  EXPECT_EQ(state, pstream::kFailed);
}

// ---- balances -------------------------------------------------------------

class TChangeLog : public TTreeListener {
 public:
  void NodeChanged(const TTreeItem& node) override { changed.push_back(node.Name()); }
  void NodeRemoved(const TTreeItem&) override {}
  void ListChanged() override {}
  std::vector<std::string> changed;
};

TEST_F(AccountListTest, BalanceChangesRollUpThroughGroups) {
  TAccountGroup& group = AddNode<TAccountGroup>(list, list.Root(), "Bank");
  TAccountGroup& inner = AddNode<TAccountGroup>(list, group, "Inner");
  TAccount& checking = NewAccount(list, inner, "Checking", 1000);
  NewAccount(list, group, "Savings", 500);
  checking.ChangeClearedBalance(300);
  TChangeLog log;
  list.AddListener(log);
  const int modifiedBefore = document.modifiedCount;

  list.ChangeBalance(checking.Id(), -250);

  EXPECT_EQ(list.GetBalance(checking.Id()), 750);
  EXPECT_EQ(inner.Balance(), TAmount(750));
  EXPECT_EQ(group.Balance(), TAmount(1250));
  EXPECT_EQ(list.Total(), TAmount(1250));
  EXPECT_EQ(list.GetRecBalance(checking.Id()), 300);
  EXPECT_EQ(log.changed, (std::vector<std::string>{"Checking", "Inner", "Bank", "Accounts"}));
  EXPECT_GT(document.modifiedCount, modifiedBefore);

  log.changed.clear();
  list.ChangeRecBalance(checking.Id(), -300);
  EXPECT_EQ(list.GetRecBalance(checking.Id()), 0);
  EXPECT_EQ(list.GetBalance(checking.Id()), 750);
  EXPECT_EQ(log.changed, (std::vector<std::string>{"Checking"}));
  list.RemoveListener(log);
}

TEST_F(AccountListTest, BalanceOperationsRefuseWhatIsNoAccount) {
  TAccountGroup& group = AddNode<TAccountGroup>(list, list.Root(), "Bank");
  TAccount& account = NewAccount(list, group, "Checking", 100);
  struct Case {
    const char* text;
    std::function<void(uint32_t)> call;
  };
  const std::vector<Case> cases = {
      {"Attempt to access non-account in GetBalance().", [&](uint32_t id) { list.GetBalance(id); }},
      {"Attempt to access non-account in GetRecBalance().",
       [&](uint32_t id) { list.GetRecBalance(id); }},
      {"Attempt to access non-account in ChangeBalance().",
       [&](uint32_t id) { list.ChangeBalance(id, 5); }},
      {"Attempt to access non-account in ChangeRecBalance().",
       [&](uint32_t id) { list.ChangeRecBalance(id, 5); }},
      {"Attempt to access non-account in GetDefaultEnvelope().",
       [&](uint32_t id) { list.GetDefaultEnvelope(id); }},
  };
  for (const Case& c : cases) {
    for (uint32_t id : {0u, group.Id(), 77u}) {
      SCOPED_TRACE(std::string(c.text) + " " + std::to_string(id));
      try {
        c.call(id);
        ADD_FAILURE() << "no error";
      } catch (const TModelError& error) {
        EXPECT_STREQ(error.what(), c.text);
      }
    }
  }
  EXPECT_EQ(account.StoredBalance(), 100);
  EXPECT_EQ(account.ClearedBalance(), 0);
  // Stored balances are 32-bit and wrap instead of overflowing.
  account.ChangeBalance(2147483647 - 100);
  account.ChangeBalance(1);
  EXPECT_EQ(account.StoredBalance(), -2147483647 - 1);
}

// ---- texts and names ------------------------------------------------------

TEST_F(AccountListTest, DisplayTextsFollowTheListOptions) {
  TAccountGroup& group = AddNode<TAccountGroup>(list, list.Root(), "Bank");
  TAccount& account = NewAccount(list, group, "Checking", 500000);
  account.ChangeClearedBalance(123456);
  struct Case {
    bool balance;
    bool cleared;
    const char* text;
  };
  for (Case c : {Case{false, false, "Checking"}, Case{true, false, "Checking: 5,000.00"},
                 Case{false, true, "Checking: [1,234.56]"},
                 Case{true, true, "Checking: 5,000.00 [1,234.56]"}}) {
    TListDisplayOptions options;
    options.showAccountBalances = c.balance;
    options.showReconcileBalances = c.cleared;
    EXPECT_EQ(account.DisplayText(options), c.text);
  }
  TListDisplayOptions options;
  EXPECT_EQ(group.DisplayText(options), "Bank: 5,000.00");
  EXPECT_EQ(list.Root().DisplayText(options), "Accounts: 5,000.00");
  options.showGroupBalances = false;
  options.showAccountRootBalance = false;
  EXPECT_EQ(group.DisplayText(options), "Bank");
  EXPECT_EQ(list.Root().DisplayText(options), "Accounts");
}

TEST_F(AccountListTest, NamesAndIdentifiers) {
  TAccountGroup& group = AddNode<TAccountGroup>(list, list.Root(), "Bank");
  TAccount& checking = NewAccount(list, group, "Checking");
  TAccount& wallet = NewAccount(list, list.Root(), "Wallet");
  EXPECT_EQ(list.NameOfAccount(checking.Id()), "Checking");
  EXPECT_EQ(list.NameOfAccount(group.Id()), "None");
  EXPECT_EQ(list.NameOfId(group.Id()), "Bank");
  EXPECT_EQ(list.NameOfId(99), "Invalid Item Reference");
  EXPECT_EQ(list.IdOfName("CHECKING"), checking.Id());
  EXPECT_EQ(list.IdOfName("Nothing"), 0u);
  EXPECT_EQ(list.NumberOfAccounts(), 2u);
  EXPECT_EQ(list.NthAccountId(1), wallet.Id());
  EXPECT_EQ(list.NthAccountId(2), checking.Id());
  EXPECT_EQ(list.NthAccountId(3), 0u);
  EXPECT_EQ(list.Names(TAccountList::kAccountNames).Texts(),
            (std::vector<std::string>{"Wallet", "Checking"}));
  EXPECT_EQ(list.Names(TAccountList::kGroupNames | TAccountList::kOtherNames).Texts(),
            (std::vector<std::string>{"Accounts", "Bank"}));
  EXPECT_EQ(list.Names().Count(), 4u);
}

TEST_F(AccountListTest, ReplacingADefaultEnvelopeTouchesOnlyThoseThatUseIt) {
  TAccount& a = NewAccount(list, list.Root(), "A");
  TAccount& b = NewAccount(list, list.Root(), "B");
  TAccount& c = NewAccount(list, list.Root(), "C");
  a.SetDefaultEnvelope(3);
  b.SetDefaultEnvelope(3);
  c.SetDefaultEnvelope(4);
  list.ReplaceDefaultEnvelope(3, 9);
  EXPECT_EQ(list.GetDefaultEnvelope(a.Id()), 9u);
  EXPECT_EQ(list.GetDefaultEnvelope(b.Id()), 9u);
  EXPECT_EQ(list.GetDefaultEnvelope(c.Id()), 4u);
}

// ---- adding ---------------------------------------------------------------

TEST_F(AccountListTest, NoAccountWithoutAnEnvelope) {
  EXPECT_EQ(list.AddAccount(list.Root(), envelopes), nullptr);
  ASSERT_EQ(document.user.Messages().size(), 1u);
  const TMessage& message = document.user.Messages()[0];
  EXPECT_EQ(message.caption, "Quenbrook");
  EXPECT_EQ(message.text, TAccountList::kNoEnvelopeMessage);
  EXPECT_EQ(message.icon, TMessageIcon::Error);
  EXPECT_TRUE(document.user.Dialogs().empty());
  EXPECT_EQ(list.AddAccount(list.Root(), envelopes, "Cash", "", 3, "Unallocated"), nullptr);
  EXPECT_EQ(list.Ids().Size(), 0u);
  EXPECT_FALSE(list.Root().HasChildren());
}

TEST_F(AccountListTest, CancelledAccountKeepsItsIdentifierRetired) {
  envelopes.AddEnvelope(envelopes.Root(), "Unallocated", true);
  document.user.ScriptAccountDialog(std::nullopt);
  EXPECT_EQ(list.AddAccount(list.Root(), envelopes), nullptr);
  EXPECT_EQ(list.Ids().States()[1], TIdList::kRetired);
  EXPECT_FALSE(list.Root().HasChildren());

  document.user.ScriptAccountDialog(TAccountProperties{"Checking", "Main", 1, 1});
  TAccount* account = list.AddAccount(list.Root(), envelopes);
  ASSERT_NE(account, nullptr);
  EXPECT_EQ(account->Id(), 2u);
  EXPECT_EQ(account->Name(), "Checking");
  EXPECT_EQ(account->DefaultEnvelope(), 1u);
  ASSERT_EQ(document.user.Dialogs().size(), 2u);
  const auto& dialog = document.user.Dialogs()[1];
  EXPECT_EQ(dialog.dialog, "account");
  EXPECT_EQ(dialog.takenNames, (std::vector<std::string>{"Accounts"}));
  ASSERT_EQ(dialog.choices.size(), 1u);
  EXPECT_EQ(dialog.choices[0].name, "Unallocated");
}

TEST_F(AccountListTest, NewAccountsComeFirstOrBeforeTheirAccountAndGroupsFollowAccounts) {
  envelopes.AddEnvelope(envelopes.Root(), "Unallocated", true);
  TAccountGroup& parent = AddNode<TAccountGroup>(list, list.Root(), "Parent");
  AddNode<TAccountGroup>(list, parent, "G");
  NewAccount(list, parent, "Y");
  TAccount& x = NewAccount(list, parent, "X");
  ASSERT_EQ(ChildNames(parent), (std::vector<std::string>{"X", "Y", "G"}));

  document.user.ScriptAccountDialog(TAccountProperties{"New", "", 1, 0});
  ASSERT_NE(list.AddAccount(parent, envelopes), nullptr);
  EXPECT_EQ(ChildNames(parent), (std::vector<std::string>{"New", "X", "Y", "G"}));
  // Added on an account, the new one stands before it.
  document.user.ScriptAccountDialog(TAccountProperties{"Newer", "", 1, 0});
  ASSERT_NE(list.AddAccount(x, envelopes), nullptr);
  EXPECT_EQ(ChildNames(parent), (std::vector<std::string>{"New", "Newer", "X", "Y", "G"}));

  document.user.ScriptGroupDialog(TGroupProperties{"Group", "Mine"});
  TAccountGroup* group = list.AddGroup(parent);
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->Description(), "Mine");
  EXPECT_EQ(ChildNames(parent), (std::vector<std::string>{"New", "Newer", "X", "Y", "Group", "G"}));
  // Groups go only under the root and groups.
  EXPECT_EQ(list.AddGroup(x), nullptr);
}

TEST_F(AccountListTest, WizardAccountTakesItsDefaultEnvelopeByName) {
  envelopes.AddEnvelope(envelopes.Root(), "Food", true);
  TEnv* unallocated = envelopes.AddEnvelope(envelopes.Root(), "Unallocated", true);
  TAccount* account =
      list.AddAccount(list.Root(), envelopes, "Savings", "Rainy days", 2, "unallocated");
  ASSERT_NE(account, nullptr);
  EXPECT_EQ(account->DefaultEnvelope(), unallocated->Id());
  EXPECT_EQ(account->Type(), 2u);
  EXPECT_EQ(account->Description(), "Rainy days");
  EXPECT_TRUE(document.user.Dialogs().empty());
}

// Names longer than the stored fields would make a file that cannot be read back.
TEST_F(AccountListTest, DialogValuesAreCutToTheStoredFieldSizes) {
  envelopes.AddEnvelope(envelopes.Root(), "Unallocated", true);
  document.user.ScriptAccountDialog(
      TAccountProperties{std::string(40, 'n'), std::string(2000, 'd'), 1, 0});
  TAccount* account = list.AddAccount(list.Root(), envelopes);
  ASSERT_NE(account, nullptr);
  EXPECT_EQ(account->Name().size(), 31u);
  EXPECT_EQ(account->Description().size(), 1023u);
  uint32_t state = 99;
  ReadBack<TAccountList>(StreamBytes(list), &state);
  EXPECT_EQ(state, pstream::kGood);
}

TEST_F(AccountListTest, EditingPropertiesAppliesOnOkOnly) {
  TAccount& account = NewAccount(list, list.Root(), "Checking");
  NewAccount(list, list.Root(), "Cash");
  document.user.ScriptAccountDialog(std::nullopt);
  EXPECT_FALSE(list.EditProperties(account, envelopes));
  EXPECT_EQ(account.Name(), "Checking");
  document.user.ScriptAccountDialog(TAccountProperties{"Current", "", 5, 0});
  EXPECT_TRUE(list.EditProperties(account, envelopes));
  EXPECT_EQ(account.Name(), "Current");
  EXPECT_EQ(account.Type(), 5u);
  // The dialog is told the other nodes' names, not the account's own.
  EXPECT_EQ(document.user.Dialogs()[1].takenNames, (std::vector<std::string>{"Accounts", "Cash"}));

  document.user.ScriptRootDialog(std::string("Everything"));
  EXPECT_TRUE(list.EditProperties(list.Root(), envelopes));
  EXPECT_EQ(list.Root().Name(), "Everything");
}

// ---- deleting -------------------------------------------------------------

TEST_F(AccountListTest, DeletingAnAccountAsksFirstOnlyWhenItHasTransactions) {
  TFakeCascades cascades;
  document.cascades = &cascades;
  TAccount& quiet = NewAccount(list, list.Root(), "Cash");
  const uint32_t quietId = quiet.Id();
  EXPECT_TRUE(list.DeleteItem(quiet));
  EXPECT_TRUE(document.user.Messages().empty());
  EXPECT_EQ(list.FindNode(quietId), nullptr);
  EXPECT_EQ(list.Ids().States()[quietId], TIdList::kRetired);
  EXPECT_EQ(cascades.calls, (std::vector<std::string>{"delete-account 1"}));

  cascades.calls.clear();
  TAccount& account = NewAccount(list, list.Root(), "Checking");
  const std::string deleteCall = "delete-account " + std::to_string(account.Id());
  cascades.accountsWithTransactions.insert(account.Id());
  document.user.Script(TMessageAnswer::No);
  EXPECT_FALSE(list.DeleteItem(account));
  EXPECT_EQ(list.Account(account.Id()), &account);
  EXPECT_TRUE(cascades.calls.empty());
  ASSERT_EQ(document.user.Messages().size(), 1u);
  EXPECT_EQ(document.user.Messages()[0].text, TAccountList::kDeleteQuestion);
  EXPECT_EQ(document.user.Messages()[0].buttons, TMessageButtons::YesNo);

  document.user.Script(TMessageAnswer::Yes);
  const int modifiedBefore = document.modifiedCount;
  EXPECT_TRUE(list.DeleteItem(account));
  EXPECT_EQ(cascades.calls, std::vector<std::string>{deleteCall});
  EXPECT_EQ(list.NumberOfAccounts(), 0u);
  EXPECT_GT(document.modifiedCount, modifiedBefore);
}

TEST_F(AccountListTest, GroupsAreDeletedOnlyWhenEmptyAndTheRootNever) {
  TAccountGroup& group = AddNode<TAccountGroup>(list, list.Root(), "Old Accounts");
  NewAccount(list, group, "Closed");
  EXPECT_FALSE(list.DeleteItem(group));
  EXPECT_EQ(document.user.Beeps(), 1);
  ASSERT_EQ(document.user.Messages().size(), 1u);
  EXPECT_EQ(document.user.Messages()[0].text,
            "Account Group \"Old Accounts\" is not empty.  You cannot delete groups that are not "
            "empty.  Delete or move contents first.");
  EXPECT_EQ(document.user.Messages()[0].icon, TMessageIcon::Error);

  EXPECT_TRUE(list.DeleteItem(static_cast<TAccount&>(*group.FirstChild())));
  const uint32_t id = group.Id();
  EXPECT_TRUE(list.DeleteItem(group));
  EXPECT_EQ(list.FindNode(id), nullptr);
  EXPECT_FALSE(list.DeleteItem(list.Root()));
}

// ---- name rules -----------------------------------------------------------

TEST(UniqueLabelTest, TrimsAndRefusesEmptyOrTakenNames) {
  const std::vector<std::string> taken = {"Rent", "Food"};
  struct Case {
    const char* entered;
    const char* accepted;  // null when refused
    const char* message;
  };
  for (Case c : {Case{"  Gas\t", "Gas", nullptr}, Case{"rent", "rent", nullptr},
                 Case{"   ", nullptr, "You must provide a label."},
                 Case{"", nullptr, "You must provide a label."},
                 Case{" Rent ", nullptr,
                      "Label \"Rent\" is already in use.  You must use a unique label."}}) {
    SCOPED_TRACE(c.entered);
    TRecordingUserPort user;
    std::optional<std::string> result = CheckUniqueLabel(c.entered, taken, user);
    if (c.accepted != nullptr) {
      EXPECT_EQ(result, std::optional<std::string>(c.accepted));
      EXPECT_TRUE(user.Messages().empty());
      EXPECT_EQ(user.Beeps(), 0);
    } else {
      EXPECT_FALSE(result.has_value());
      ASSERT_EQ(user.Messages().size(), 1u);
      EXPECT_EQ(user.Messages()[0].caption, "Error");
      EXPECT_EQ(user.Messages()[0].text, c.message);
      EXPECT_EQ(user.Messages()[0].icon, TMessageIcon::Error);
      EXPECT_EQ(user.Beeps(), 1);
    }
  }
}

}  // namespace
