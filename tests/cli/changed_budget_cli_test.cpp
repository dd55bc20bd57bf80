// An import never writes over a budget that another program or computer changed while the
// import ran, unless told to with --force; the other writer's bytes stay as they are.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/import_command.h"
#include "core/clock.h"
#include "tests/support/cli_runner.h"
#include "tests/support/second_writer.h"
#include "tests/support/small_budget.h"

namespace {

namespace fs = std::filesystem;

// The statement reader asks for today's date before the budget is read, the import after it:
// the second question is the moment between reading and writing the budget.
class TSecondWriterClock : public TClock {
 public:
  TSecondWriterClock(TSecondWriter writer, fs::path budget, std::string& left)
      : writer_(writer), budget_(std::move(budget)), left_(left) {}
  TDateValue Today() const override {
    if (++calls_ == 2)
      left_ = ActAsSecondWriter(writer_, budget_);
    return TDateValue(6, 4, 2021);
  }
  int64_t NowSeconds() const override { return 1617700000; }

 private:
  TSecondWriter writer_;
  fs::path budget_;
  std::string& left_;
  mutable int calls_ = 0;
};

class ChangedBudgetCliTest : public ::testing::TestWithParam<TSecondWriterCase> {
 protected:
  int Import(const std::string& extra, std::string& left) {
    EXPECT_TRUE(WriteSmallBudget(budget_, "Landlord"));
    std::ofstream(statement_) << "!Type:Bank\nD04/06/2021\nT250.00\nPEmployer\n^\n";
    TSecondWriterClock clock(GetParam().writer, budget_, left);
    std::vector<std::string> args = {"import", budget_.string(), statement_.string(), "--account",
                                     "1"};
    if (!extra.empty())
      args.push_back(extra);
    const int status = RunImportCommand(args, clock);
    return status;
  }

  TTempFolder temp_;
  const fs::path budget_ = temp_.Path() / "Home.vrl";
  const fs::path statement_ = temp_.Path() / "bank.qif";
};

TEST_P(ChangedBudgetCliTest, ImportRefusesUnlessForced) {
  std::string left;
  const int refused = Import("", left);
  if (GetParam().stillOurs) {
    EXPECT_EQ(refused, 0);
    EXPECT_NE(ReadFileBytes(budget_), left);
    return;
  }
  EXPECT_EQ(refused, 2);
  if (GetParam().writer == TSecondWriter::kTurnedIntoFolder)
    EXPECT_TRUE(fs::is_directory(budget_));
  else
    EXPECT_EQ(ReadFileBytes(budget_), left);

  fs::remove_all(budget_);
  const int forced = Import("--force", left);
  // A folder in the budget's place cannot be replaced by a file, forced or not.
  EXPECT_EQ(forced, GetParam().writer == TSecondWriter::kTurnedIntoFolder ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(SecondWriters, ChangedBudgetCliTest,
                         ::testing::ValuesIn(kSecondWriterCases));

TEST(ChangedBudgetCliWordsTest, ResaveOverItselfTakesForce) {
  TTempFolder temp;
  const fs::path budget = temp.Path() / "Home.vrl";
  ASSERT_TRUE(WriteSmallBudget(budget, "Landlord"));
  for (const char* words : {"", " --force"}) {
    const TCliRun run =
        RunProgram(QUENBROOK_CLI_PATH, "resave " + budget.string() + " " + budget.string() + words,
                   temp.Path());
    EXPECT_EQ(run.status, 0) << words << run.err;
  }
  EXPECT_EQ(
      RunProgram(QUENBROOK_CLI_PATH, "resave " + budget.string() + " x.vrl --forced", temp.Path())
          .status,
      2);
}

}  // namespace
