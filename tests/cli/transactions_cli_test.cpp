// Runs the real quenbrook-cli on budgets with transactions: the store and every record in the
// dump, the balance check, and generated budgets.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "core/account_list.h"
#include "core/envelope_list.h"
#include "tests/support/cli_runner.h"
#include "tests/support/small_budget.h"

namespace {

namespace fs = std::filesystem;

using RunResult = TCliRun;

class TransactionsCliTest : public ::testing::Test {
 protected:
  RunResult Run(const std::string& arguments) {
    return RunProgram(QUENBROOK_CLI_PATH, arguments, dir_);
  }

  fs::path Budget(const std::string& name, const std::function<void(TVorlaData&)>& damage = {}) {
    EXPECT_TRUE(WriteSmallBudget(dir_ / name, "Caf\xE9", damage));
    return dir_ / name;
  }

  TTempFolder temp_;
  const fs::path dir_ = temp_.Path();
};

TEST_F(TransactionsCliTest, DumpShowsTheStoreAndEveryRecord) {
  const fs::path budget = Budget("Home.vrl");
  const RunResult result = Run("dump " + budget.string());
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("\"store\":{\"format\":2,\"capacity\":1000,\"count\":2,\"last_id\":2}"),
            std::string::npos)
      << result.out;
  const std::string payment =
      "{\"id\":2,\"flags\":9,\"account\":1,\"envelope\":1,\"parent\":0,\"partner\":0,\"date\":" +
      std::to_string(TDateValue(2, 4, 2021).Packed()) +
      ",\"created\":0,\"account_cleared\":0,\"envelope_cleared\":0,\"new_import\":0,"
      "\"amount\":-1250,\"code\":\"1042\",\"payable_to\":\"Caf\u00E9\",\"memo\":\"\"}";
  EXPECT_NE(result.out.find("\"transactions\":[{\"id\":1,\"flags\":9,"), std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find(payment), std::string::npos) << result.out;
}

TEST_F(TransactionsCliTest, CheckPassesASoundBudgetAndListsEachDifferenceOfADamagedOne) {
  EXPECT_EQ(Run("check " + Budget("Sound.vrl").string()).status, 0);

  const fs::path damaged = Budget("Damaged.vrl", [](TVorlaData& document) {
    document.Accounts().ChangeRecBalance(1, 7);
    document.Envelopes().EnvelopeChangeBalance(1, -3);
  });
  const RunResult result = Run("check " + damaged.string());
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out,
            "account 1 \"Checking\": cleared balance 100.07, its cleared transactions sum to "
            "100.00\n"
            "envelope 1 \"Unallocated\": balance 87.47, its transactions sum to 87.50\n"
            "account total 87.50, envelope total 87.47\n");

  const RunResult missing = Run("check " + (dir_ / "missing.vrl").string());
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("quenbrook-cli: "), std::string::npos);
}

TEST_F(TransactionsCliTest, GenerateMakesASoundBudgetThatASeedRepeats) {
  const fs::path first = dir_ / "first.vrl";
  const fs::path again = dir_ / "again.vrl";
  const fs::path other = dir_ / "other.vrl";
  ASSERT_EQ(Run("generate " + first.string() + " --transactions 800 --seed 7").status, 0);
  ASSERT_EQ(Run("generate " + again.string() + " --seed 7 --transactions 800").status, 0);
  ASSERT_EQ(Run("generate " + other.string() + " --transactions 800 --seed 8").status, 0);
  EXPECT_EQ(ReadFileBytes(first), ReadFileBytes(again));
  EXPECT_NE(ReadFileBytes(first), ReadFileBytes(other));

  const RunResult check = Run("check " + first.string());
  EXPECT_EQ(check.status, 0) << check.out;

  const RunResult dump = Run("dump " + first.string());
  ASSERT_EQ(dump.status, 0);
  for (const char* kind : {"\"kind\":\"bundle\"", "\"kind\":\"association\"", "\"kind\":\"alias\"",
                           "\"kind\":\"account-group\"", "\"type\":6", "\"flags\":9,",
                           "\"flags\":17,", "\"flags\":105,", "\"flags\":169,", "\"flags\":265,",
                           "\"flags\":273,", "\"new_import\":1"}) {
    EXPECT_NE(dump.out.find(kind), std::string::npos) << kind;
  }
  size_t records = 0;
  for (size_t at = dump.out.find("{\"id\":"); at != std::string::npos;
       at = dump.out.find("{\"id\":", at + 1)) {
    ++records;
  }
  EXPECT_GE(records, 800u);

  // Opened and saved it stays as it is, and saved again it gives the same bytes.
  const fs::path resaved = dir_ / "resaved.vrl";
  const fs::path twice = dir_ / "twice.vrl";
  ASSERT_EQ(Run("resave " + first.string() + " " + resaved.string()).status, 0);
  ASSERT_EQ(Run("resave " + resaved.string() + " " + twice.string()).status, 0);
  EXPECT_EQ(ReadFileBytes(resaved), ReadFileBytes(twice));
  EXPECT_EQ(Run("check " + twice.string()).status, 0);
}

TEST_F(TransactionsCliTest, GenerateRefusesWhatItCannotDo) {
  const std::string out = (dir_ / "out.vrl").string();
  for (const std::string& arguments :
       {"generate " + out + " --seed 3", "generate " + out + " --transactions",
        "generate " + out + " --transactions -5", "generate " + out + " --transactions 12x",
        "generate " + out + " --transactions 99999999999", "generate " + out + " --colour 5"}) {
    const RunResult result = Run(arguments);
    EXPECT_EQ(result.status, 2) << arguments;
    EXPECT_NE(result.err.find("usage:"), std::string::npos) << arguments;
  }
  EXPECT_FALSE(fs::exists(out));
  const RunResult unwritable =
      Run("generate " + (dir_ / "no" / "such" / "dir.vrl").string() + " --transactions 5");
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_NE(unwritable.err.find("quenbrook-cli: "), std::string::npos);
}

}  // namespace
