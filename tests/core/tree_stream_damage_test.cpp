// Damaged account and envelope lists: every reader must end in a failed stream (or the
// unregistered-class error), never crash, hang or allocate without bound.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/account_list.h"
#include "core/envelope_list.h"
#include "core/model_error.h"
#include "tests/support/byte_builder.h"
#include "tests/support/fake_document.h"

namespace {

std::vector<uint8_t> SampleAccountList() {
  TAccountList list;
  auto add = [&](TTreeItem& under, std::unique_ptr<TAccountNode> node, std::string name) {
    node->SetName(name);
    return static_cast<TAccountNode*>(&under.AddChild(std::move(node)));
  };
  TAccountNode* bank = add(list.Root(), std::make_unique<TAccountGroup>(list.NewId()), "Bank");
  TAccountNode* old = add(*bank, std::make_unique<TAccountGroup>(list.NewId()), "Old");
  add(*old, std::make_unique<TAccount>(list.NewId()), "Closed");
  add(*bank, std::make_unique<TAccount>(list.NewId()), "Checking")->ChangeBalance(1234);
  add(list.Root(), std::make_unique<TAccount>(list.NewId()), "Wallet");
  return StreamBytes(list);
}

std::vector<uint8_t> SampleEnvelopeList() {
  TEnvelopeList list;
  list.Root().SetId(list.NewId());
  auto add = [&](TTreeItem& under, std::unique_ptr<TEnvelopeNode> node, std::string name) {
    node->SetName(name);
    return static_cast<TEnvelopeNode*>(&under.AddChild(std::move(node)));
  };
  TEnvelopeNode* home = add(list.Root(), std::make_unique<TBundle>(list.NewId()), "Home");
  auto* rent = static_cast<TEnv*>(add(*home, std::make_unique<TEnv>(list.NewId()), "Rent"));
  rent->ChangeBalance(5000);
  add(list.Root(), std::make_unique<TEnv>(list.NewId()), "Food");
  TEnvelopeNode* bills = add(list.Root(), std::make_unique<TAssociation>(list.NewId()), "Bills");
  bills->AddChild(rent->MakeAlias());
  return StreamBytes(list);
}

// Reads a list of class T; the state comes back, an unregistered class counts as failed.
template <class T>
uint32_t ReadState(const std::vector<uint8_t>& bytes, const TModelEnvironment* environment) {
  try {
    uint32_t state = 0;
    std::unique_ptr<T> list = ReadBack<T>(bytes, &state, environment);
    if (list != nullptr && state == pstream::kGood) {
      // Whatever was accepted must be a sound tree: it can be walked and written again.
      list->NodesInDisplayOrder(true);
      StreamBytes(*list);
    }
    return state;
  } catch (const TModelError&) {
    return pstream::kFailed;
  }
}

template <class T>
void CheckTruncationsAndFlips(const std::vector<uint8_t>& whole) {
  TFakeDocument document;
  ASSERT_EQ(ReadState<T>(whole, &document.Environment()), pstream::kGood);
  for (size_t length = 0; length < whole.size(); ++length) {
    std::vector<uint8_t> cut(whole.begin(), whole.begin() + length);
    EXPECT_NE(ReadState<T>(cut, &document.Environment()), pstream::kGood) << "length " << length;
  }
  for (size_t at = 0; at < whole.size(); ++at) {
    for (uint8_t mask : {0xFF, 0x01, 0x80}) {
      std::vector<uint8_t> flipped = whole;
      flipped[at] ^= mask;
      ReadState<T>(flipped, &document.Environment());
    }
  }
}

TEST(TreeStreamDamageTest, AccountListTruncatedOrFlippedAnywhere) {
  CheckTruncationsAndFlips<TAccountList>(SampleAccountList());
}

TEST(TreeStreamDamageTest, EnvelopeListTruncatedOrFlippedAnywhere) {
  CheckTruncationsAndFlips<TEnvelopeList>(SampleEnvelopeList());
}

// The beginning of an account list whose root claims `count` children; they follow.
TByteBuilder AccountRootWithChildren(uint32_t count) {
  TByteBuilder b;
  b.Header().BeginObject("TAccountList", 1).BeginObject("TAccountRoot", 1);
  b.Word32(1).Word32(1).Word32(0).Word32(count);
  return b;
}

TByteBuilder& AccountRootEnd(TByteBuilder& b) {
  return b.String("Accounts").EndObject().Word32(1).Word32(25).Word32(0).EndObject();
}

TByteBuilder& EmptyAccount(TByteBuilder& b, const char* className = "TAccount") {
  b.BeginObject(className, 1).Word32(1).Word32(0).Word32(3).Word32(0).Word32(0x1002);
  return b.String("A").String("").Word32(1).Word32(0).Word32(0).Word32(0).EndObject();
}

TEST(TreeStreamDamageTest, MalformedChildrenFailTheStream) {
  struct Case {
    const char* label;
    std::vector<uint8_t> bytes;
  };
  std::vector<Case> cases;
  {
    TByteBuilder b = AccountRootWithChildren(0xFFFFFFFF);
    EmptyAccount(b);
    cases.push_back({"a count far beyond the data", AccountRootEnd(b).Get()});
  }
  {
    TByteBuilder b = AccountRootWithChildren(1);
    b.Byte(0x01).Word32(1);  // the list itself, as a child of its own root
    cases.push_back({"a back-reference as a child", AccountRootEnd(b).Get()});
  }
  {
    TByteBuilder b = AccountRootWithChildren(1);
    b.BeginObject("TEnvelopeAlias", 1).Word32(1).Word32(0).Word32(0).Word32(3).Word32(0);
    b.EndObject();
    cases.push_back({"an envelope-tree node under the account root", AccountRootEnd(b).Get()});
  }
  {
    TByteBuilder b = AccountRootWithChildren(1);
    b.BeginObject("TAccountRoot", 1).Word32(1).Word32(0).Word32(0).Word32(0).String("Again");
    b.EndObject();
    cases.push_back({"a second root as a child", AccountRootEnd(b).Get()});
  }
  {
    TByteBuilder b = AccountRootWithChildren(1);
    b.BeginObject("TAccount", 1).Word32(1).Word32(0).Word32(3).Word32(1);
    EmptyAccount(b);
    b.Word32(0x1002).String("A").String("").Word32(1).Word32(0).Word32(0).Word32(0).EndObject();
    cases.push_back({"an account with a child", AccountRootEnd(b).Get()});
  }
  {
    TByteBuilder b;
    b.Header().BeginObject("TAccountList", 1).Byte(0x00).Word32(1).Word32(25).Word32(0);
    cases.push_back({"no root", b.EndObject().Get()});
  }
  {
    TByteBuilder b;
    b.Header().BeginObject("TAccountList", 2).Byte(0x00);
    cases.push_back({"a newer list version", b.EndObject().Get()});
  }
  {
    TByteBuilder b = AccountRootWithChildren(1);
    b.Byte(0x02).Byte('[').String("TAccount").Word32(2);
    b.Word32(1).Word32(0).Word32(3).Word32(0).Word32(0x1002).String("A").String("");
    b.Word32(1).Word32(0).Word32(0).Word32(0).EndObject();
    cases.push_back({"a newer account version", AccountRootEnd(b).Get()});
  }
  {
    TByteBuilder b = AccountRootWithChildren(1);
    b.BeginObject("TAccount", 1).Word32(1).Word32(0).Word32(3).Word32(0).Word32(0x1002);
    b.Word32(200).Chars(std::string(200, 'x'));
    cases.push_back({"a name longer than its field", AccountRootEnd(b).Get()});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    uint32_t state = 0;
    std::unique_ptr<TAccountList> list = ReadBack<TAccountList>(c.bytes, &state);
    EXPECT_EQ(state, pstream::kFailed);
    if (list != nullptr) {
      EXPECT_NE(list->RootItem(), nullptr);
    }
  }
}

TEST(TreeStreamDamageTest, EnvelopeListWithTheWrongRootFails) {
  TByteBuilder b;
  b.Header().BeginObject("TEnvelopeList", 1);
  b.BeginObject("TAccountRoot", 1).Word32(1).Word32(1).Word32(0).Word32(0).String("Accounts");
  b.EndObject().Word32(1).Word32(25).Word32(0).EndObject();
  uint32_t state = 0;
  std::unique_ptr<TEnvelopeList> list = ReadBack<TEnvelopeList>(b.Get(), &state);
  EXPECT_EQ(state, pstream::kFailed);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Root().Name(), "Envelopes");
}

TEST(TreeStreamDamageTest, EnvelopeWithChildrenFails) {
  TByteBuilder b;
  b.Header().BeginObject("TEnvelopeList", 1);
  b.BeginObject("TEnvelopeRoot", 1).Word32(1).Word32(1).Word32(1).Word32(1).Word32(1);
  b.BeginObject("TEnv", 3).Word32(1).Word32(1).Word32(1).Word32(2).Word32(1);
  b.BeginObject("TEnvelopeAlias", 1).Word32(1).Word32(1).Word32(1).Word32(2).Word32(0).EndObject();
  uint32_t state = 0;
  ReadBack<TEnvelopeList>(b.Get(), &state);
  EXPECT_EQ(state, pstream::kFailed);
}

TEST(TreeStreamDamageTest, UnregisteredChildClassIsReported) {
  TByteBuilder b = AccountRootWithChildren(1);
  EmptyAccount(b, "TNoSuchAccount");
  AccountRootEnd(b);
  try {
    ReadBack<TAccountList>(b.Get());
    ADD_FAILURE() << "no error";
  } catch (const TModelError& error) {
    EXPECT_STREQ(error.what(), "Attempt to stream unregistered type 'TNoSuchAccount'");
  }
}

TEST(TreeStreamDamageTest, GroupsNestedBeyondTheReaderLimitFail) {
  constexpr int kLevels = 1000;
  TByteBuilder b = AccountRootWithChildren(1);
  for (int i = 0; i < kLevels; ++i)
    b.BeginObject("TAccountGroup", 1).Word32(1).Word32(1).Word32(10 + i).Word32(1);
  uint32_t state = 0;
  ReadBack<TAccountList>(b.Get(), &state);
  EXPECT_EQ(state, pstream::kFailed);
}

}  // namespace
