// The store's journal: every primitive change, taken back newest first, gives the store's
// bytes back exactly, and the journal noted while taking back makes the changes again.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/model_error.h"
#include "core/pstream.h"
#include "transactions/xordering.h"
#include "transactions/xstore.h"

namespace {

std::vector<uint8_t> BytesOf(const TXStore& store) {
  opstream out;
  store.Write(out);
  return out.Bytes();
}

class TNoWatch final : public TXStore::TRevertWatch {
 public:
  void Written(uint32_t, uint32_t) override {}
  void Shifted(uint32_t, uint32_t) override {}
  void Scattered(uint32_t, uint32_t) override {}
};

class TJournalRun {
 public:
  explicit TJournalRun(uint32_t seed) : random_(seed) {}

  int Pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }

  uint32_t Add(bool unsorted) {
    const uint32_t index = store.ClaimSlot();
    TXRecord record{};
    record.Id = store.At(index).Id;
    record.Flags = kXImported | (unsorted ? kXUnsorted : 0u);
    record.date = TDateValue(static_cast<uint32_t>(1 + Pick(5)), 3, 2024);
    record.amount = Pick(3) * 500 - 500;
    store.Put(index, record);
    return index;
  }

  uint32_t RandomLive() {
    for (int attempt = 0; attempt < 20 && store.LastNonDead() > 0; ++attempt) {
      const uint32_t index = static_cast<uint32_t>(1 + Pick(static_cast<int>(store.LastNonDead())));
      if (store.At(index).IsLive())
        return index;
    }
    return 0;
  }

  /// One primitive change, or a bulk one, chosen at random.
  void Change() {
    switch (Pick(6)) {
      case 0:
        store.Replace(Add(true), ordering_);
        break;
      case 1:
        if (const uint32_t index = RandomLive()) {
          TXRecord record = store.At(index);
          record.amount += 7;
          record.Flags |= kXUnsorted;
          store.Put(index, record);
          store.Replace(index, ordering_);
        }
        break;
      case 2:
        if (const uint32_t index = RandomLive())
          store.Remove(index);
        break;
      case 3: {
        std::vector<uint32_t> killed;
        for (int k = Pick(4); k >= 0; --k) {
          if (const uint32_t index = RandomLive()) {
            killed.push_back(store.At(index).Id);
            store.KillInPlace(index);
          }
        }
        store.SettleKilled(killed);
        break;
      }
      case 4: {
        std::vector<uint32_t> ids;
        for (int k = Pick(6); k >= 0; --k)
          ids.push_back(store.At(Add(true)).Id);
        store.PlaceAdded(ids, ordering_);
        break;
      }
      default:
        Add(true);
        break;
    }
  }

  TXStore store;

 private:
  std::mt19937 random_;
  const TXOrdering ordering_{nullptr};
};

TEST(StoreJournalTest, TakingBackEveryKindOfChangeGivesTheBytesBack) {
  for (uint32_t seed = 1; seed <= 200; ++seed) {
    TJournalRun run(seed);
    for (int k = run.Pick(40); k > 0; --k)
      run.Change();
    const std::vector<uint8_t> before = BytesOf(run.store);
    TXStoreJournal journal;
    run.store.SetJournal(&journal);
    for (int k = 1 + run.Pick(12); k > 0; --k)
      run.Change();
    const std::vector<uint8_t> after = BytesOf(run.store);
    TXStoreJournal redo;
    TNoWatch watch;
    run.store.SetJournal(&redo);
    run.store.Revert(journal, watch);
    ASSERT_EQ(BytesOf(run.store), before) << "seed " << seed;
    ASSERT_TRUE(run.store.CheckConsistency()) << "seed " << seed;
    TXStoreJournal undoAgain;
    run.store.SetJournal(&undoAgain);
    run.store.Revert(redo, watch);
    ASSERT_EQ(BytesOf(run.store), after) << "seed " << seed;
    ASSERT_TRUE(run.store.CheckConsistency()) << "seed " << seed;
  }
}

TEST(StoreJournalTest, AJournalOfAnotherStoreIsRefusedBeforeItTouchesAnything) {
  TJournalRun run(5);
  TXStoreJournal journal;
  run.store.SetJournal(&journal);
  for (int k = 0; k < 10; ++k)
    run.store.Replace(run.Add(true), TXOrdering(nullptr));
  TXStore other;
  TXStoreJournal redo;
  other.SetJournal(&redo);
  TNoWatch watch;
  const std::vector<uint8_t> before = BytesOf(other);
  EXPECT_THROW(other.Revert(journal, watch), TModelError);
  EXPECT_EQ(BytesOf(other), before);
  EXPECT_TRUE(redo.Empty());
}

}  // namespace
