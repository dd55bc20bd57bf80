// `quenbrook-cli new`: a new budget as the New command makes it, from incomes or a plan file,
// checked with the tool's own `check` and `dump`.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/cli_runner.h"

namespace {

namespace fs = std::filesystem;

class NewBudgetCliTest : public ::testing::Test {
 protected:
  TCliRun Run(const std::string& arguments) {
    return RunProgram(QUENBROOK_CLI_PATH, arguments, dir_);
  }
  // Makes OUT, then expects it to pass the check and its dump to hold every text of `expected`.
  void Make(const std::string& options, const std::vector<std::string>& expected) {
    const std::string out = (dir_ / "New.vrl").string();
    fs::remove(out);
    const TCliRun made = Run("new " + out + " " + options);
    ASSERT_EQ(made.status, 0) << options << made.err;
    EXPECT_EQ(Run("check " + out).status, 0) << options;
    const TCliRun dump = Run("dump " + out);
    for (const std::string& text : expected)
      EXPECT_NE(dump.out.find(text), std::string::npos) << options << ": " << text;
    lastErr_ = made.err;
  }

  TTempFolder temp_;
  const fs::path dir_ = temp_.Path();
  std::string lastErr_;
};

TEST_F(NewBudgetCliTest, IncomesAndPlanFiles) {
  std::ofstream(dir_ / "plan.xml") << "<label>Pay</label><label/><label/><label/>"
                                      "<label>Rent</label><amount>700</amount>";
  Make("--income 2000 --income 1000",
       {"\"name\":\"Charity\"", "\"name\":\"Second\"", "\"amount\":60000", "\"amount\":30000"});
  Make("--plan " + (dir_ / "plan.xml").string(), {"\"name\":\"Rent\"", "\"amount\":70000"});
  // A plan file that cannot be read still makes a budget, and says why.
  Make("--plan " + (dir_ / "missing.xml").string(), {"\"name\":\"Unallocated\""});
  EXPECT_NE(lastErr_.find("missing.xml"), std::string::npos) << lastErr_;
}

TEST_F(NewBudgetCliTest, RefusalsWriteNothing) {
  const fs::path out = dir_ / "New.vrl";
  std::ofstream(out) << "keep";
  for (const char* options :
       {"--income abc", "--income -5", "--income 1 --income 2 --income 3 --income 4 --income 5",
        "--income 1 --plan p.xml", "--plan a --plan b", "--income", "--seed 1"}) {
    const TCliRun run = Run("new " + out.string() + " " + options);
    EXPECT_EQ(run.status, 2) << options;
    EXPECT_FALSE(run.err.empty()) << options;
  }
  EXPECT_EQ(ReadFileBytes(out), "keep");
  // A folder that cannot be written: the save fails cleanly.
  EXPECT_EQ(Run("new " + (dir_ / "no" / "such" / "New.vrl").string() + " --income 10").status, 1);
}

}  // namespace
