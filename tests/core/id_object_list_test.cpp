#include "core/id_object_list.h"

#include <gtest/gtest.h>

#include "core/account_list.h"
#include "core/bx_string_list.h"

namespace {

TEST(BxStringListTest, PositionsCountFromOneAndCompareExactly) {
  TBxStringList list;
  list.Append("Food");
  list.Append("Rent");
  list.Append("Food");
  EXPECT_EQ(list.Count(), 3u);
  EXPECT_EQ(list.PositionOf("Food"), 1u);
  EXPECT_EQ(list.PositionOf("Rent"), 2u);
  EXPECT_EQ(list.PositionOf("food"), 0u);
  EXPECT_EQ(list.At(2), "Rent");
  EXPECT_EQ(list.At(0), "");
  EXPECT_EQ(list.At(4), "");
  EXPECT_TRUE(list.Remove("Food"));
  EXPECT_EQ(list.At(1), "Rent");
  EXPECT_EQ(list.At(2), "Food");
  EXPECT_FALSE(list.Remove("Gas"));
}

TEST(SimpleIdObjectListTest, IdentifiersArePositionsAndNamesIgnoreCase) {
  TSimpleIdObjectList list({"Alpha", "Beta"});
  EXPECT_EQ(list.IdOfName("BETA"), 2u);
  EXPECT_EQ(list.IdOfName("Gamma"), 0u);
  EXPECT_EQ(list.NameOfId(1), "Alpha");
  EXPECT_EQ(list.NameOfId(0), "error");
  EXPECT_EQ(list.NameOfId(3), "error");
  EXPECT_EQ(list.Names().Texts(), (std::vector<std::string>{"Alpha", "Beta"}));
}

TEST(AccountTypeListTest, UnknownNamesAreInvestments) {
  TAccountTypeList types;
  struct Case {
    const char* name;
    uint32_t id;
  };
  for (Case c :
       {Case{"Checking", 1}, Case{"savings", 2}, Case{"CASH", 3}, Case{"Electronic Cash", 4},
        Case{"Credit", 5}, Case{"Investment", 6}, Case{"Brokerage", 6}, Case{"", 6}}) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(types.IdOfName(c.name), c.id);
  }
  EXPECT_EQ(types.NameOfId(4), "Electronic Cash");
  EXPECT_EQ(types.NameOfId(7), "error");
}

}  // namespace
