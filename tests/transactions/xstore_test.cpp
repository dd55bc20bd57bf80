// The stored form of the transaction store, byte by byte, in both store formats, and what the
// reader does with damaged and hostile data.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/pstream.h"
#include "tests/support/byte_builder.h"
#include "tests/support/fake_document.h"
#include "transactions/xmanager.h"
#include "transactions/xordering.h"

namespace {

struct TSlot {
  uint32_t id = 0;
  uint32_t flags = 0;
  uint32_t account = 0;
  uint32_t envelope = 0;
  uint32_t parent = 0;
  uint32_t partner = 0;
  TDateValue date;
  TDateValue created;
  uint32_t accountCleared = 0;
  uint32_t envelopeCleared = 0;
  uint16_t newImport = 0;
  int32_t amount = 0;
  std::string code;
  std::string payee;
  std::string memo;

  TXRecord Record() const {
    TXRecord record{};
    record.Id = id;
    record.Flags = flags;
    record.AccountId = account;
    record.EnvelopeId = envelope;
    record.ParentId = parent;
    record.PartnerId = partner;
    record.date = date;
    record.created = created;
    record.AccountCleared = accountCleared;
    record.EnvelopeCleared = envelopeCleared;
    record.NewImport = newImport;
    record.amount = amount;
    record.SetCode(code);
    record.SetPayableTo(payee);
    record.SetMemo(memo);
    return record;
  }
};

// A text field: the characters, then zeros to the field's width.
void Field(TByteBuilder& bytes, const std::string& text, size_t width) {
  bytes.Chars(text);
  for (size_t i = text.size(); i < width; ++i)
    bytes.Byte(0);
}

void Date(TByteBuilder& bytes, TDateValue date) {
  bytes.Byte(static_cast<uint8_t>(date.Day()))
      .Byte(static_cast<uint8_t>(date.Month()))
      .Word16(static_cast<uint16_t>(date.Year()));
}

// One 256-byte slot, field by field as the record table lists them.
void Slot(TByteBuilder& bytes, const TSlot& slot) {
  bytes.Word32(slot.id).Word32(slot.flags).Word32(slot.account).Word32(slot.envelope);
  bytes.Word32(slot.parent).Word32(slot.partner).Word32(0);
  Date(bytes, slot.date);
  Date(bytes, slot.created);
  bytes.Word32(slot.accountCleared).Word32(slot.envelopeCleared);
  bytes.Word16(slot.newImport).Word16(0).Word32(0);
  bytes.Word32(static_cast<uint32_t>(slot.amount));
  Field(bytes, slot.code, 20);
  Field(bytes, slot.payee, 90);
  Field(bytes, slot.memo, 90);
}

std::vector<uint8_t> StoreBytes(uint32_t format, uint32_t capacity, uint32_t count, uint32_t lastId,
                                const std::vector<TSlot>& slots) {
  TByteBuilder bytes;
  bytes.Header().BeginObject("TXManager", 1).Word32(format).Word32(capacity).Word32(count);
  if (format != 1)
    bytes.Word32(lastId);
  for (const TSlot& slot : slots)
    Slot(bytes, slot);
  bytes.EndObject();
  return bytes.Get();
}

const TSlot kShop{
    1, kXImported, 3,     2,      0,       0, TDateValue(5, 3, 2024), TDateValue(15, 3, 2024), 1, 0,
    0, -4000,      "101", "Shop", "weekly"};
const TSlot kPay{
    2, kXImported, 3,      1,  0,          0, TDateValue(6, 3, 2024), TDateValue(15, 3, 2024), 0,
    0, 1,          250000, "", "Employer", ""};

TEST(StoreFormTest, ANewStoreIsWrittenAsFormat2WithItsSlots) {
  TXManager manager;
  manager.Create(kShop.Record()).reset();
  manager.Create(kPay.Record()).reset();
  EXPECT_EQ(StreamBytes(manager), StoreBytes(2, 1000, 2, 2, {kShop, kPay}));

  TXManager empty;
  EXPECT_EQ(StreamBytes(empty), StoreBytes(2, 1000, 0, 0, {}));
}

TEST(StoreFormTest, AStoreOfFormat1HasNoLastIdAndTakesTheCount) {
  uint32_t state = 0;
  auto manager = ReadBack<TXManager>(StoreBytes(1, 1200, 2, 0, {kShop, kPay}), &state);
  ASSERT_EQ(state, 0u);
  ASSERT_NE(manager, nullptr);
  EXPECT_EQ(manager->Store().LoadedFormat(), 1u);
  EXPECT_EQ(manager->Store().Capacity(), 1200u);
  EXPECT_EQ(manager->Store().Count(), 2u);
  EXPECT_EQ(manager->Store().LastId(), 2u);
  const TXRecord pay = kPay.Record();
  EXPECT_EQ(std::memcmp(&manager->Store().At(2), &pay, sizeof(TXRecord)), 0);
  // Written again it takes the present form.
  EXPECT_EQ(StreamBytes(*manager), StoreBytes(2, 1200, 2, 2, {kShop, kPay}));
}

TEST(StoreFormTest, ReadingAndWritingAgainGivesTheSameBytes) {
  TSlot dead = kPay;
  dead.id = 7;
  dead.flags = 0;
  const std::vector<uint8_t> bytes = StoreBytes(2, 4000000000u, 3, 9, {kShop, kPay, dead});
  uint32_t state = 0;
  auto manager = ReadBack<TXManager>(bytes, &state);
  ASSERT_EQ(state, 0u);
  EXPECT_EQ(manager->Store().Capacity(), 4000000000u);
  EXPECT_EQ(StreamBytes(*manager), bytes);
}

TEST(StoreFormTest, The1001stRecordIsStoredWithCapacity1500) {
  TXManager manager;
  for (int i = 0; i < 1001; ++i) {
    TXRecord record = kShop.Record();
    record.date = TDateValue(1 + i % 28, 1, 2024);
    manager.Create(record).reset();
  }
  const std::vector<uint8_t> bytes = StreamBytes(manager);
  // Header (5), pointer byte, "[", name (4 + 9), class version (4), store format (4).
  const size_t capacityAt = 5 + 2 + 13 + 4 + 4;
  uint32_t capacity = 0;
  std::memcpy(&capacity, &bytes[capacityAt], 4);
  EXPECT_EQ(capacity, 1500u);
}

TEST(StoreFormTest, DamagedAndHostileFormsFailTheStreamAndAllocateNothingLarge) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  std::vector<uint8_t> truncated = StoreBytes(2, 1000, 2, 2, {kShop, kPay});
  truncated.resize(truncated.size() - 100);
  std::vector<uint8_t> header = StoreBytes(2, 1000, 0, 0, {});
  header.resize(header.size() - 6);
  const std::vector<Case> cases = {
      {"count above capacity", StoreBytes(2, 1, 2, 2, {kShop, kPay})},
      {"count beyond the data", StoreBytes(2, 0xFFFFFFFFu, 0x01000000u, 2, {kShop})},
      {"count of four billion", StoreBytes(2, 0xFFFFFFFFu, 0xFFFFFFFFu, 2, {kShop})},
      {"slots cut short", truncated},
      {"header cut short", header},
  };
  for (const Case& c : cases) {
    uint32_t state = 0;
    auto manager = ReadBack<TXManager>(c.bytes, &state);
    EXPECT_NE(state, 0u) << c.name;
  }
}

TEST(StoreFormTest, ALastIdBelowAnIdInUseIsRaised) {
  TSlot high = kShop;
  high.id = 40;
  uint32_t state = 0;
  auto manager = ReadBack<TXManager>(StoreBytes(2, 1000, 1, 3, {high}), &state);
  ASSERT_EQ(state, 0u);
  EXPECT_EQ(manager->Store().LastId(), 40u);
  EXPECT_EQ(manager->Create(kPay.Record())->Id(), 41u);
}

TEST(StoreFormTest, HugeIdentifiersAreFoundWithoutTablesOfTheirSize) {
  // Identifiers far beyond the slots go to a map instead of a table indexed by identifier; they
  // must still be found, from any cursor.
  std::vector<TSlot> slots = {kShop, kPay, kShop};
  const uint32_t ids[] = {0x03fffffeu, 7, 0x7ffffffeu};
  for (size_t i = 0; i < slots.size(); ++i)
    slots[i].id = ids[i];
  uint32_t state = 0;
  auto manager = ReadBack<TXManager>(StoreBytes(2, 1000, 3, 0, slots), &state);
  ASSERT_EQ(state, 0u);
  const TXStore& store = manager->Store();
  for (uint32_t cursor : {1u, 3u}) {
    for (uint32_t index = 1; index <= 3; ++index) {
      store.SetCursor(cursor);
      EXPECT_EQ(store.Find(ids[index - 1]), index) << cursor;
    }
  }
  EXPECT_EQ(store.Find(0x7fffffffu), 0u);
  EXPECT_EQ(store.LastId(), 0x7ffffffeu);
}

TEST(StoreFormTest, RepeatedIdentifiersOfADamagedFileAreMadeUnique) {
  TSlot first = kShop;
  TSlot twin = kPay;
  twin.id = first.id;
  TSlot deadTwin = kPay;
  deadTwin.flags = 0;
  deadTwin.id = first.id;
  TSlot nameless = kPay;
  nameless.id = 0;
  uint32_t state = 0;
  auto manager =
      ReadBack<TXManager>(StoreBytes(2, 1000, 4, 1, {deadTwin, first, twin, nameless}), &state);
  ASSERT_EQ(state, 0u);
  std::vector<uint32_t> ids;
  for (uint32_t index = 1; index <= 4; ++index)
    ids.push_back(manager->Store().At(index).Id);
  // The records in use keep the first of each identifier; the dead slot comes last.
  EXPECT_EQ(ids, (std::vector<uint32_t>{4, 1, 2, 3}));
  EXPECT_EQ(manager->Store().LastId(), 4u);

  TSlot last = kShop;
  last.id = 0xFFFFFFFFu;
  TSlot lastTwin = last;
  ReadBack<TXManager>(StoreBytes(2, 1000, 2, 0, {last, lastTwin}), &state);
  EXPECT_NE(state, 0u);
}

TEST(StoreFormTest, CompactPutsAStoreReadFromAFileInOrder) {
  auto at = [](TSlot slot, uint32_t id, TDateValue date, uint32_t flags) {
    slot.id = id;
    slot.date = date;
    slot.flags = flags;
    return slot;
  };
  const TSlot first = at(kShop, 1, TDateValue(3, 1, 2024), kXImported);
  const TSlot unsorted = at(kShop, 2, TDateValue(1, 1, 2024), kXImported | kXUnsorted);
  const TSlot blank = at(kShop, 3, TDateValue(2, 1, 2024), kXAccountSide | kXUnsorted);
  const TSlot last = at(kShop, 4, TDateValue(5, 1, 2024), kXImported);
  const TSlot alsoUnsorted = at(kShop, 5, TDateValue(4, 1, 2024), kXImported | kXUnsorted);
  uint32_t state = 0;
  auto manager = ReadBack<TXManager>(
      StoreBytes(2, 1000, 5, 5, {first, unsorted, blank, last, alsoUnsorted}), &state);
  ASSERT_EQ(state, 0u);
  manager->Compact();
  std::vector<uint32_t> ids;
  std::vector<uint32_t> flags;
  for (uint32_t index = 1; index <= manager->Store().Count(); ++index) {
    ids.push_back(manager->Store().At(index).Id);
    flags.push_back(manager->Store().At(index).Flags);
  }
  EXPECT_EQ(ids, (std::vector<uint32_t>{2, 1, 5, 4, 3}));
  EXPECT_EQ(flags, (std::vector<uint32_t>{kXImported, kXImported, kXImported, kXImported, 0}));
  EXPECT_TRUE(manager->Store().CheckConsistency());

  // An ordered store is left exactly as it is.
  const std::vector<uint8_t> ordered = StreamBytes(*manager);
  manager->Compact();
  EXPECT_EQ(StreamBytes(*manager), ordered);
}

TEST(StoreFormTest, RandomlyDamagedStoresReadSafelyAndSettleAfterOneCompact) {
  std::mt19937 random(11);
  auto pick = [&](uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(random); };
  const std::vector<uint32_t> flags = {kXImported,
                                       kXImported | kXUnsorted,
                                       kXAccountSide,
                                       0,
                                       kXNewMultiple | kXLive,
                                       kXNewMultipleKid | kXLive,
                                       kXNewAccountTransfer | kXLive,
                                       kXHidden | kXLive,
                                       0x3FF};
  for (int round = 0; round < 300; ++round) {
    std::vector<TSlot> slots;
    const uint32_t count = pick(40);
    for (uint32_t i = 0; i < count; ++i) {
      TSlot slot = kShop;
      slot.id = 1 + pick(count + 3);  // duplicates and gaps on purpose
      slot.flags = flags[pick(static_cast<uint32_t>(flags.size()))];
      slot.date = TDateValue(pick(32), pick(14), 2024);
      slot.amount = static_cast<int32_t>(pick(2001)) - 1000;
      slot.code = pick(3) == 0 ? "hold" : pick(2) ? "Start" : std::to_string(pick(100));
      slot.parent = pick(count + 1);
      slot.partner = pick(count + 1);
      slots.push_back(slot);
    }
    std::vector<uint8_t> bytes = StoreBytes(2, count + pick(5), count, pick(count + 1), slots);
    // Damage a few bytes anywhere, the count and capacity included.
    for (uint32_t flips = pick(4); flips > 0; --flips) {
      bytes[pick(static_cast<uint32_t>(bytes.size()))] = static_cast<uint8_t>(pick(256));
    }
    uint32_t state = 0;
    auto manager = ReadBack<TXManager>(bytes, &state);
    if (state != 0 || !manager)
      continue;
    manager->Compact();
    EXPECT_TRUE(manager->Store().CheckConsistency()) << round;
    const std::vector<uint8_t> first = StreamBytes(*manager);
    auto again = ReadBack<TXManager>(first, &state);
    ASSERT_EQ(state, 0u) << round;
    again->Compact();
    EXPECT_EQ(StreamBytes(*again), first) << round;
    // New records still get identifiers no record of the store has.
    const TXHold fresh = again->Create(kPay.Record());
    for (uint32_t index = 1; index <= again->Store().Count(); ++index) {
      const TXRecord& record = again->Store().At(index);
      if (record.Flags != 0 && &record != again->FindRecord(fresh->Id())) {
        EXPECT_NE(record.Id, fresh->Id()) << round;
      }
    }
  }
}

}  // namespace

namespace {

// Records added behind a store and placed together land where placing them one by one puts
// them: random dates, signs and codes ("start", "hold"), repeated keys, unsorted slots of held
// records among the ordered ones and behind them, days crowded enough to fill many blocks, days
// of one sign or with 0.00 only, and now and then a store out of order as only damage leaves it.
TEST(StoreFormTest, RecordsPlacedTogetherLandWhereOneByOneWouldPutThem) {
  std::mt19937 random(99);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const char* codes[] = {"", "start", "Hold", "101", "ab", "AB", "debit"};
  int days = 5, signs = 3, kinds = 6;
  auto add = [&](TXStore& store, uint32_t seed, bool unsorted) {
    std::mt19937 own(seed);
    TXRecord record{};
    const uint32_t index = store.ClaimSlot();
    record.Id = store.At(index).Id;
    record.Flags = kXImported | (unsorted ? kXUnsorted : 0u);
    record.date = TDateValue(1 + own() % static_cast<unsigned>(days), 3, 2024);
    record.amount = static_cast<int32_t>(own() % static_cast<unsigned>(signs)) * 500 - 500;
    record.EnvelopeId = own() % 3;
    record.SetCode(codes[own() % static_cast<unsigned>(kinds) + (kinds < 6 ? 3 : 0)]);
    store.Put(index, record);
    return index;
  };
  const TXOrdering ordering(nullptr);
  for (int round = 0; round < 300; ++round) {
    TXStore one, together;
    const bool crowded = round % 10 == 0;
    days = crowded ? 2 : 5;
    signs = round % 7 == 1 ? 2 : 3;  // payments and 0.00 only: one total order
    kinds = round % 5 == 2 ? 4 : 6;  // no "start" or "hold"
    const int before = crowded ? 300 + pick(300) : pick(40);
    const int added = crowded ? 300 + pick(300) : 1 + pick(30);
    const bool damaged = round % 50 == 3;
    const bool heldBehind = round % 4 == 1;
    const uint32_t seed = static_cast<uint32_t>(random());
    for (int k = 0; k < before; ++k) {
      // Now and then a held record stays unsorted where it was made.
      const bool held = pick(15) == 0 || (heldBehind && k + 3 >= before);
      const bool astray = damaged && pick(5) == 0;
      for (TXStore* store : {&one, &together}) {
        const uint32_t index = add(*store, seed + static_cast<uint32_t>(k), !astray);
        if (!held && !astray)
          store->Replace(index, ordering);
      }
    }
    std::vector<uint32_t> ids;
    for (int k = 0; k < added; ++k) {
      const uint32_t salt = seed + 1000 + static_cast<uint32_t>(k);
      one.Replace(add(one, salt, true), ordering);
      ids.push_back(together.At(add(together, salt, true)).Id);
    }
    together.PlaceAdded(ids, ordering);
    ASSERT_EQ(one.Count(), together.Count());
    for (uint32_t index = 1; index <= one.Count(); ++index) {
      ASSERT_EQ(one.At(index).Id, together.At(index).Id) << "round " << round << " slot " << index;
      ASSERT_EQ(one.At(index).Flags, together.At(index).Flags);
    }
    EXPECT_TRUE(together.CheckConsistency());
  }
}

}  // namespace
