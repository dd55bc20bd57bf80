// Runs the real quenbrook-cli import on CSV statements: the columns from the switches, kept as
// the account's so that the next statement of its bank needs none, and refusals that leave the
// budget as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/date_value.h"
#include "tests/support/cli_runner.h"
#include "tests/support/small_budget.h"

namespace {

namespace fs = std::filesystem;

class CsvImportCliTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(WriteSmallBudget(budget_, "Landlord")); }

  TCliRun Import(const std::string& csv, const std::string& switches) {
    const fs::path path = dir_ / "bank.csv";
    std::ofstream(path, std::ios::binary) << csv;
    return RunProgram(
        QUENBROOK_CLI_PATH,
        "import " + budget_.string() + " " + path.string() + " --account 1 " + switches, dir_);
  }
  static bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }
  static std::string Date(unsigned day, unsigned month) {
    return "\"date\":" + std::to_string(TDateValue(day, month, 2021).Packed());
  }

  TTempFolder temp_;
  const fs::path dir_ = temp_.Path();
  const fs::path budget_ = dir_ / "Home.vrl";
};

TEST_F(CsvImportCliTest, SwitchesAreKeptForTheAccountsNextStatement) {
  // Day-first dates the guess would read month-first, and a balance before the amount.
  const TCliRun first =
      Import("When,Balance,Sum,Who\n04/05/2021,100.00,-13.00,Landlord\n05/05/2021,90.00,x,Bad\n",
             "--all --csv-date 1 --csv-amount Sum --csv-payee 4 --csv-date-order dmy");
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_TRUE(Has(first.out, Date(4, 5) + ",\"amount\":-1300,\"check_number\":\"\",\"name\":"
                                          "\"Landlord\",\"fate\":\"created\""))
      << first.out;
  EXPECT_TRUE(Has(first.err, "1 row could not be read (its date or amount) and was left out."))
      << first.err;

  const TCliRun second = Import("When,Balance,Sum,Who\n04/06/2021,80.00,-2.50,Cafe\n", "--all");
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_TRUE(Has(second.out, Date(4, 6) + ",\"amount\":-250,\"check_number\":\"\",\"name\":"
                                           "\"Cafe\",\"fate\":\"created\""))
      << second.out;

  // Another bank's file, which the kept columns do not read, is read by the guess.
  const TCliRun other = Import("Date,Amount,Payee\n04/07/2021,-1.00,Kiosk\n", "--all");
  ASSERT_EQ(other.status, 0) << other.err;
  EXPECT_TRUE(Has(other.out, Date(7, 4) + ",\"amount\":-100")) << other.out;
}

TEST_F(CsvImportCliTest, RefusalsLeaveTheBudgetAsItWas) {
  const std::string before = ReadFileBytes(budget_);
  const std::string good = "Date,Payee,Amount\n04/05/2021,Landlord,-13.00\n";
  const struct {
    std::string csv, switches, message;
  } cases[] = {
      {good, "--csv-amount Total", "the statement has no column named \"Total\""},
      {good, "--csv-payee 4", "the statement has 3 columns; there is no column 4"},
      {"a,b\nc,d\n", "", "the statement's columns are not known"},
      {"Date,Amount\n31/02/2021,1.2.3\n", "--csv-date 1 --csv-amount 2", "reads as a transaction"},
      {"Date,Payee\n\"04/05/2021,x\n", "", "is never closed"},
      {good, "--csv-date-order dym", "usage:"},
  };
  for (const auto& c : cases) {
    const TCliRun run = Import(c.csv, c.switches);
    EXPECT_EQ(run.status, 2) << c.csv << c.switches;
    EXPECT_TRUE(Has(run.err, c.message)) << run.err;
    EXPECT_EQ(ReadFileBytes(budget_), before) << c.csv << c.switches;
  }
}

}  // namespace
