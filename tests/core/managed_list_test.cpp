#include "core/managed_list.h"

#include <gtest/gtest.h>

#include "core/pstream.h"
#include "tests/support/byte_builder.h"

namespace {

class TNamedItem : public TManagedItem {
 public:
  explicit TNamedItem(std::string name = {}) : name_(std::move(name)) {}
  void Write(opstream& os) const override {
    TManagedItem::Write(os);
    os.WriteString(name_);
  }
  void Read(ipstream& is) override {
    TManagedItem::Read(is);
    is.ReadString(name_, 32);
  }
  std::string Name() const override { return name_; }

 private:
  std::string name_;
};

class TNamedList : public TManagedList {
 public:
  TNamedList() : TManagedList(10, 10) {}

 protected:
  std::unique_ptr<TManagedItem> CreateItem() const override {
    return std::make_unique<TNamedItem>();
  }
};

TEST(ManagedListTest, AddGivesIdentifiersAndKeepsOrder) {
  TNamedList list;
  list.Add(std::make_unique<TNamedItem>("Rent"));
  list.Add(std::make_unique<TNamedItem>("Payday"));
  auto kept = std::make_unique<TNamedItem>("Kept");
  kept->SetId(7);
  list.Add(std::move(kept));
  TManagedItem& fresh = list.AddNew();
  ASSERT_EQ(list.Count(), 4u);
  EXPECT_EQ(list.At(1)->Id(), 1u);
  EXPECT_EQ(list.At(2)->Id(), 2u);
  EXPECT_EQ(list.At(3)->Id(), 7u);
  EXPECT_EQ(fresh.Id(), 3u);
  EXPECT_EQ(fresh.Owner(), &list);
  EXPECT_EQ(list.At(5), nullptr);
}

TEST(ManagedListTest, LookupsByNameIgnoreCaseAndMissesHaveFixedAnswers) {
  TNamedList list;
  list.Add(std::make_unique<TNamedItem>("Rent"));
  list.Add(std::make_unique<TNamedItem>("rent"));
  EXPECT_EQ(list.IdOfName("RENT"), 1u);
  EXPECT_EQ(list.IdOfName("Food"), 0u);
  EXPECT_EQ(list.NameOfId(2), "rent");
  EXPECT_EQ(list.NameOfId(9), "error");
  EXPECT_EQ(list.FindByName("nothing"), nullptr);
}

TEST(ManagedListTest, RemoveRetiresTheIdentifier) {
  TNamedList list;
  list.Add(std::make_unique<TNamedItem>("A"));
  list.Add(std::make_unique<TNamedItem>("B"));
  EXPECT_TRUE(list.Remove(1));
  EXPECT_FALSE(list.Remove(1));
  EXPECT_EQ(list.Count(), 1u);
  EXPECT_TRUE(list.Ids().IsTaken(1));
  EXPECT_EQ(list.AddNew().Id(), 3u);
}

TEST(ManagedListTest, WrittenAndReadBackGivesTheSameBytes) {
  TNamedList list;
  list.Add(std::make_unique<TNamedItem>("A"));
  list.Add(std::make_unique<TNamedItem>("B"));
  list.Remove(1);
  opstream os;
  list.Write(os);
  std::vector<uint8_t> expected =
      TByteBuilder().Header().Word32(1).Word32(2).String("B").Word32(1).Word32(10).Word32(10).Bytes(
          {0, 2, 1, 0, 0, 0, 0, 0, 0, 0});
  ASSERT_EQ(os.Bytes(), expected);

  ipstream is(os.Bytes());
  TNamedList back;
  back.Read(is);
  EXPECT_TRUE(is.Good());
  ASSERT_EQ(back.Count(), 1u);
  EXPECT_EQ(back.At(1)->Id(), 2u);
  EXPECT_EQ(back.At(1)->Name(), "B");
  opstream again;
  back.Write(again);
  EXPECT_EQ(again.Bytes(), expected);
}

TEST(ManagedListTest, CountBeyondTheDataFailsWithoutReadingItems) {
  std::vector<uint8_t> bytes = TByteBuilder().Header().Word32(0x7FFFFFFF).Word32(1);
  ipstream is(bytes);
  TNamedList list;
  list.Read(is);
  EXPECT_EQ(is.GetState(), pstream::kFailed);
  EXPECT_EQ(list.Count(), 0u);
}

}  // namespace
