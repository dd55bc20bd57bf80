#include "core/id_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/pstream.h"
#include "tests/support/byte_builder.h"

namespace {

std::vector<uint32_t> AllocateMany(TIdList& ids, int count) {
  std::vector<uint32_t> given;
  for (int i = 0; i < count; ++i)
    given.push_back(ids.Allocate());
  return given;
}

TIdList ReadIds(const std::vector<uint8_t>& bytes, uint32_t* state = nullptr) {
  ipstream is(bytes);
  TIdList ids(99);
  ids.Read(is);
  if (state != nullptr)
    *state = is.GetState();
  return ids;
}

TEST(IdListTest, GivesOneTwoThreeAndGrowsAtTheTwentyFifth) {
  TIdList ids(25);
  std::vector<uint32_t> given = AllocateMany(ids, 24);
  for (uint32_t i = 0; i < 24; ++i)
    EXPECT_EQ(given[i], i + 1);
  EXPECT_EQ(ids.Size(), 25u);
  EXPECT_EQ(ids.Allocate(), 25u);
  EXPECT_EQ(ids.Size(), 50u);
  EXPECT_FALSE(ids.IsTaken(0));
  EXPECT_TRUE(ids.IsTaken(25));
  EXPECT_FALSE(ids.IsTaken(26));
}

TEST(IdListTest, RetiredIdentifierIsNeverGivenAgainAndOnlyTakenOnesRetire) {
  TIdList ids(25);
  AllocateMany(ids, 5);
  ids.Retire(3);
  EXPECT_TRUE(ids.IsTaken(3));
  EXPECT_EQ(ids.States()[3], TIdList::kRetired);
  EXPECT_EQ(ids.Allocate(), 6u);
  // Retiring the highest one still moves on past it.
  ids.Retire(6);
  EXPECT_EQ(ids.Allocate(), 7u);

  // Identifiers that are not taken are left alone.
  TIdList two(25);
  AllocateMany(two, 2);
  for (uint32_t id : {0u, 3u, 24u, 25u, 4000000000u})
    two.Retire(id);
  std::vector<uint8_t> expected(25, TIdList::kFree);
  expected[1] = expected[2] = TIdList::kInUse;
  EXPECT_EQ(two.States(), expected);
}

TEST(IdListTest, StoredFormIsTwelveBytesAndTheStatesAndReadsBack) {
  TIdList ids(25);
  AllocateMany(ids, 4);
  ids.Retire(2);
  opstream os;
  ids.Write(os);
  std::vector<uint8_t> states(25, 0);
  states[1] = states[3] = states[4] = 1;
  states[2] = 2;
  std::vector<uint8_t> expected =
      TByteBuilder().Header().Word32(1).Word32(25).Word32(25).Append(states);
  EXPECT_EQ(os.Bytes(), expected);

  TIdList back = ReadIds(os.Bytes());
  EXPECT_EQ(back.Growth(), 25u);
  EXPECT_EQ(back.States(), ids.States());

  // An empty list is written without states.
  opstream empty;
  TIdList(25).Write(empty);
  EXPECT_EQ(empty.Bytes(), TByteBuilder().Header().Word32(1).Word32(25).Word32(0).Get());
  TIdList none = ReadIds(empty.Bytes());
  EXPECT_EQ(none.Size(), 0u);
  EXPECT_EQ(none.Allocate(), 1u);

  // A list read with nothing taken still counts its size.
  TIdList free = ReadIds(
      TByteBuilder().Header().Word32(1).Word32(25).Word32(25).Append(std::vector<uint8_t>(25, 0)));
  EXPECT_EQ(free.Allocate(), 25u);
  EXPECT_EQ(free.Size(), 50u);
}

// A damaged file can carry any growth; allocation must still give a usable identifier and never
// grow the array without bound.
TEST(IdListTest, StoredGrowthOfAnySizeStillAllocates) {
  struct Case {
    uint32_t growth;
    uint32_t sizeAfterFirst;
  };
  for (Case c : {Case{0, 2}, Case{1, 2}, Case{2, 2}, Case{25, 25}, Case{0xFFFFFFFF, 65536}}) {
    SCOPED_TRACE(c.growth);
    TIdList ids(c.growth);
    EXPECT_EQ(ids.Allocate(), 1u);
    EXPECT_EQ(ids.Size(), c.sizeAfterFirst);
    EXPECT_EQ(ids.Allocate(), 2u);
    EXPECT_EQ(ids.Allocate(), 3u);
    EXPECT_TRUE(ids.IsTaken(3));
  }
}

TEST(IdListTest, TruncatedFormOrSizeBeyondTheDataFailsTheStream) {
  uint32_t state = 0;
  TIdList huge = ReadIds(
      TByteBuilder().Header().Word32(1).Word32(25).Word32(0xFFFFFFF0).Append({1, 1, 1}), &state);
  EXPECT_EQ(state, pstream::kFailed);
  EXPECT_EQ(huge.Size(), 0u);
  TIdList ids(25);
  AllocateMany(ids, 3);
  opstream os;
  ids.Write(os);
  const std::vector<uint8_t>& whole = os.Bytes();
  for (size_t length = 6; length < whole.size(); ++length) {
    ReadIds(std::vector<uint8_t>(whole.begin(), whole.begin() + length), &state);
    EXPECT_EQ(state, pstream::kFailed) << "cut at " << length;
  }
}

}  // namespace
