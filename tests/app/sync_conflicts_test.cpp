// Copies that sync services leave when a budget was changed on two computers at once are found
// by their names, and a numbered copy only when it is newer than the budget.
#include "app/sync_conflicts.h"

#include <gtest/gtest.h>

namespace {

TEST(SyncConflictsTest, CopiesAreFoundByTheNamesServicesGiveThem) {
  constexpr int64_t kBudgetTime = 1000;
  struct {
    const char* name;
    int64_t modified;
    bool conflict;
  } const cases[] = {
      {"Home (Anna's conflicted copy 2026-12-07).vrl", 10, true},
      {"Home (conflicted copy 2026-12-07 101500).VRL", 10, true},
      {"Home.sync-conflict-20261207-101500-ABCDEFG.vrl", 10, true},
      {"Home (1).vrl", 2000, true},
      {"Home (12).vrl", 2000, true},
      {"Home (1).vrl.old", 2000, false},
      {"Home (2).vrl", 500, false},  // older than the budget: an old download
      {"Home (copy).vrl", 2000, false},
      {"Home ().vrl", 2000, false},
      {"Home.vrl", 2000, false},
      {"Homely (conflicted copy).vrl", 10, false},
      {"Other (conflicted copy 2026-12-07).vrl", 10, false},
      {"Home (conflicted copy).qif", 10, false},
      {"Home.sync-conflict-20261207.txt", 10, false},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> found =
        SyncConflictCopies("Home.vrl", kBudgetTime, {{c.name, c.modified}});
    EXPECT_EQ(found.size(), c.conflict ? 1u : 0u) << c.name;
  }
  EXPECT_EQ(SyncConflictCopies("Home.vrl", kBudgetTime,
                               {{"Home.sync-conflict-2.vrl", 1}, {"Home (3).vrl", 2000}}),
            (std::vector<std::string>{"Home (3).vrl", "Home.sync-conflict-2.vrl"}));
}

}  // namespace
