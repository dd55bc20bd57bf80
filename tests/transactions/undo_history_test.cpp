// The undo history over a whole budget: each kind of step comes back exactly, the modified mark
// follows the history, a history that does not fit the budget changes nothing, and the memory
// limit drops the oldest steps.
#include "transactions/undo_history.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/byte_delta.h"
#include "core/pstream.h"
#include "tests/transactions/budget_fixture.h"
#include "transactions/transfers.h"

namespace {

std::vector<uint8_t> Bytes(std::string_view text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

TEST(ByteDeltaTest, TheRunsTurnOneImageIntoTheOther) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", ""},
      {"same bytes", "same bytes"},
      {"balance 0010 and 0020 here", "balance 0011 and 0019 here"},
      {"one run", "one longer run"},
      {"a longer text", "a text"},
      {"", "new"},
      {"old", ""},
      {"x................................y", "X................................Y"},
  };
  for (const auto& [from, to] : cases) {
    const TByteDelta delta = TByteDelta::Between(Bytes(from), Bytes(to));
    EXPECT_EQ(delta.ApplyTo(Bytes(from)), Bytes(to)) << from << " -> " << to;
    EXPECT_EQ(delta.Empty(), from == to);
  }
}

class UndoHistoryTest : public BudgetTest {
 protected:
  // Opening a budget gives a new budget's envelope root its identifier; every budget the
  // program edits has been opened.
  UndoHistoryTest() { Envelopes().Root().SetId(Envelopes().NewId()); }

  std::vector<uint8_t> Save() {
    opstream out;
    out.WriteObject(&document);
    return out.Bytes();
  }
  /// Runs `action` as one step; undo must give the bytes before it, redo those after it.
  void ExpectExact(const std::string& name, const std::function<void()>& action) {
    const std::vector<uint8_t> before = Save();
    {
      TUndoHistory::TStep step(&history, name);
      action();
    }
    const std::vector<uint8_t> after = Save();
    ASSERT_NE(before, after) << name << " changed nothing";
    ASSERT_EQ(history.UndoName(), name);
    ASSERT_TRUE(history.Undo().Ok()) << name;
    EXPECT_EQ(Save(), before) << "undo " << name;
    ExpectSound();
    ASSERT_TRUE(history.Redo().Ok()) << name;
    EXPECT_EQ(Save(), after) << "redo " << name;
    ExpectSound();
  }
  TXHold Typed(uint32_t account, int32_t cents) {
    TXHold row = NewAccountRow(account);
    TypeAmount(*row, cents);
    return row;
  }

  TUndoHistory history{document};
};

TEST_F(UndoHistoryTest, EveryKindOfStepComesBackExactly) {
  const std::vector<std::pair<std::string, std::function<void()>>> steps = {
      {"Typing in Checking", [&] { Typed(checking, -2500); }},
      {"Clear", [&] { Typed(checking, 700)->ToggleAccountCleared(); }},
      {"Account Transfer", [&] { TransferTo(*Typed(checking, -1000), savings); }},
      {"Multiple",
       [&] {
         TXHold row = Typed(checking, -1500);
         TXHold multiple = Manager().Get(TXTransfers::MakeMultiple(*row));
         AddPart(*multiple, groceries, "12.00");
       }},
      {"Delete", [&] { Manager().Delete(Typed(savings, 300)); }},
      {"Erase", [&] { Manager().First(TAccountFilter(checking))->Erase(); }},
      {"New Envelope", [&] { AddEnvelope("Holidays"); }},
      {"Rename",
       [&] {
         Envelopes().Envelope(dining)->SetName("Eating Out");
         document.SetModified();
       }},
      {"Delete Account",
       [&] {
         user.Script(TMessageAnswer::Yes);
         user.Script(TMessageAnswer::Yes);
         Accounts().DeleteItem(*Accounts().Account(savings));
       }},
  };
  for (const auto& [name, action] : steps)
    ExpectExact(name, action);
  while (history.CanUndo()) {
    ASSERT_TRUE(history.Undo().Ok());
    ExpectSound();
  }
  EXPECT_FALSE(Accounts().Account(savings) == nullptr);
}

TEST_F(UndoHistoryTest, TheModifiedMarkFollowsTheHistory) {
  history.MarkSaved();
  document.ClearModified();
  {
    TUndoHistory::TStep step(&history, "Typing in Checking");
    Typed(checking, -100);
  }
  EXPECT_TRUE(document.IsModified());
  ASSERT_TRUE(history.Undo().Ok());
  EXPECT_FALSE(document.IsModified());
  ASSERT_TRUE(history.Redo().Ok());
  EXPECT_TRUE(document.IsModified());
  history.MarkSaved();
  ASSERT_TRUE(history.Undo().Ok());
  EXPECT_TRUE(document.IsModified());
  ASSERT_TRUE(history.Redo().Ok());
  EXPECT_FALSE(document.IsModified());
}

TEST_F(UndoHistoryTest, AHistoryThatDoesNotFitChangesNothingAndIsCleared) {
  {
    TUndoHistory::TStep step(&history, "Typing in Checking");
    Typed(checking, -100);
  }
  // A change that went past the history, as only a fault of the program makes one.
  Accounts().ChangeBalance(checking, 5);
  const std::vector<uint8_t> before = Save();
  const TResult<void> undone = history.Undo();
  ASSERT_FALSE(undone.Ok());
  EXPECT_NE(undone.Error().find("\"Undo Typing in Checking\" cannot be applied exactly"),
            std::string::npos);
  EXPECT_EQ(Save(), before);
  EXPECT_FALSE(history.CanUndo());
  Accounts().ChangeBalance(checking, -5);
  ExpectSound();
}

// A user's gesture is a step only when it changed the budget: the rows a ledger makes and lets
// go as it scrolls are upkeep and leave the step to redo where it was.
TEST_F(UndoHistoryTest, AGestureIsAStepOnlyWhenItChangedTheBudget) {
  {
    TUndoHistory::TStep step(&history, "Typing in Checking");
    Typed(checking, -2500)->ToggleAccountCleared();
  }
  const std::vector<uint8_t> typed = Save();
  ASSERT_TRUE(history.Undo().Ok());
  history.BeginGesture("Change in Checking");
  {
    TXHold empty = NewAccountRow(checking);
    TXHold first = Manager().First(TAccountFilter(checking));
  }
  history.EndStep();
  ASSERT_TRUE(history.Redo().Ok());
  EXPECT_EQ(Save(), typed);

  struct Case {
    const char* gesture;
    std::function<void()> action;
    const char* step;
  };
  const std::vector<Case> cases = {
      {"Typing in Savings", [&] { Typed(savings, 800); }, "Typing in Savings"},
      // Confirmations mark nothing modified; the command's own step says it changed the budget.
      {"Change",
       [&] {
         TUndoHistory::TStep step(&history, "Confirm All Cleared");
         document.ConfirmCleared();
       },
       "Confirm All Cleared"},
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t> before = Save();
    history.BeginGesture(c.gesture);
    c.action();
    history.EndStep();
    const std::vector<uint8_t> after = Save();
    ASSERT_NE(before, after) << c.step;
    EXPECT_EQ(history.UndoName(), c.step);
    ASSERT_TRUE(history.Undo().Ok()) << c.step;
    EXPECT_EQ(Save(), before) << c.step;
    ASSERT_TRUE(history.Redo().Ok()) << c.step;
    EXPECT_EQ(Save(), after) << c.step;
    ExpectSound();
  }
}

TEST_F(UndoHistoryTest, TheOldestStepsGoBeyondTheMemoryLimit) {
  for (int k = 0; k < 20; ++k) {
    TUndoHistory::TStep step(&history, "Typing " + std::to_string(k));
    Typed(checking, -100 - k);
  }
  EXPECT_EQ(history.UndoCount(), 20u);
  const size_t perStep = history.MemoryUsed() / 20;
  EXPECT_LT(perStep, 1024u);
  history.SetMemoryLimit(perStep * 5);
  EXPECT_LE(history.UndoCount(), 6u);
  EXPECT_GE(history.UndoCount(), 4u);
  EXPECT_EQ(history.UndoName(), "Typing 19");
  while (history.CanUndo())
    ASSERT_TRUE(history.Undo().Ok());
  ExpectSound();
}

}  // namespace
