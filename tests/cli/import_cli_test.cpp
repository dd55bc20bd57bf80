// Runs the real quenbrook-cli import on a small budget: statements of either kind, the switches,
// the fate of every line in the JSON, the saved budget, and statements that are refused without
// touching the budget.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>

#include "tests/support/cli_runner.h"
#include "tests/support/small_budget.h"

namespace {

namespace fs = std::filesystem;

class ImportCliTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(WriteSmallBudget(budget_, "Landlord")); }

  fs::path Statement(const std::string& name, const std::string& text) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  TCliRun Import(const fs::path& statement, const std::string& switches) {
    return RunProgram(QUENBROOK_CLI_PATH,
                      "import " + budget_.string() + " " + statement.string() + " " + switches,
                      dir_);
  }
  static bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }

  TTempFolder temp_;
  const fs::path dir_ = temp_.Path();
  const fs::path budget_ = dir_ / "Home.vrl";
};

TEST_F(ImportCliTest, QifLinesArePairedCreatedOrDroppedAndTheBudgetSaved) {
  const fs::path qif =
      Statement("bank.qif",
                "!Type:Bank\nD04/05/2021\nN1042\nT-13.00\nPLandlord\n^\n"
                "D03/01/2021\nT-1.00\nPEarly\n^\nD04/06/2021\nT250.00\nPEmployer\n^\n");
  const TCliRun run = Import(qif, "--account 1 --since 04/01/2021");
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* part :
       {"\"account\":1",
        "{\"date\":132449285,\"amount\":-1300,\"check_number\":\"1042\",\"name\":\"Landlord\","
        "\"fate\":\"paired\",\"transaction\":2,\"adjusted_from\":-1250,\"cleared\":\"newly\"}",
        "\"amount\":25000,\"check_number\":\"\",\"name\":\"Employer\",\"fate\":\"created\","
        "\"transaction\":3}",
        "\"amount\":-100,\"check_number\":\"\",\"name\":\"Early\",\"fate\":\"dropped-by-date\"},{",
        "\"view_account\":1"}) {
    EXPECT_TRUE(Has(run.out, part)) << part << "\n" << run.out;
  }
  EXPECT_TRUE(
      Has(run.out, "\"only_newer_date\":" + std::to_string(TDateValue(1, 4, 2021).Packed())));
  EXPECT_TRUE(Has(run.err, "The bank posted $-13.00. You entered $-12.50.")) << run.err;

  EXPECT_EQ(RunProgram(QUENBROOK_CLI_PATH, "check " + budget_.string(), dir_).status, 0);
  const TCliRun dump = RunProgram(QUENBROOK_CLI_PATH, "dump " + budget_.string(), dir_);
  EXPECT_TRUE(
      Has(dump.out, "\"account_cleared\":" + std::to_string(TDateValue(5, 4, 2021).Packed()) +
                        ",\"envelope_cleared\":0,\"new_import\":1,\"amount\":-1300"))
      << dump.out;
  // The account's date option looks back two days from the statement's last line.
  EXPECT_TRUE(Has(dump.out, "\"name\":\"importer.IMPORTXONLYNEWERDATE\",\"value\":\"" +
                                std::to_string(TDateValue(4, 4, 2021).Packed())));
}

TEST_F(ImportCliTest, ADryRunReportsWhatTheImportDoesAndLeavesTheFileAsItWas) {
  const fs::path qif = Statement("bank.qif",
                                 "!Type:Bank\nD04/05/2021\nN1042\nT-13.00\nPLandlord\n^\n"
                                 "D04/06/2021\nT250.00\nPEmployer\n^\n");
  const std::string before = ReadFileBytes(budget_);
  const TCliRun dry = Import(qif, "--account 1 --dry-run");
  ASSERT_EQ(dry.status, 0) << dry.err;
  EXPECT_EQ(ReadFileBytes(budget_), before);
  const TCliRun real = Import(qif, "--account 1");
  ASSERT_EQ(real.status, 0) << real.err;
  EXPECT_EQ(dry.out, real.out);
  EXPECT_EQ(dry.err, real.err);
  EXPECT_NE(ReadFileBytes(budget_), before);
}

TEST_F(ImportCliTest, OfxStatementWithEverySwitch) {
  const fs::path ofx =
      Statement("bank.ofx",
                "OFXHEADER:100\nDATA:OFXSGML\n\n<OFX><BANKTRANLIST><STMTTRN><TRNTYPE>CHECK"
                "<DTPOSTED>20210405<TRNAMT>-12.50<CHECKNUM>1042<NAME>Landlord</STMTTRN>"
                "</BANKTRANLIST></OFX>\n");
  const TCliRun run = Import(ofx, "--account 1 --all --allow-duplicate-check-numbers --envelope 1");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Has(run.out, "\"automatic\":false,\"import_all\":true")) << run.out;
  EXPECT_TRUE(Has(run.out, "\"allow_duplicate_check_numbers\":true,\"envelope\":1")) << run.out;
  EXPECT_TRUE(Has(run.out, "\"fate\":\"created\",\"transaction\":3")) << run.out;
}

TEST_F(ImportCliTest, RefusalsLeaveTheBudgetAsItWas) {
  const std::string before = ReadFileBytes(budget_);
  const fs::path good = Statement("good.qif", "D04/05/2021\nT-13.00\n^\n");
  struct Case {
    std::string statement, switches;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {Statement("empty.qif", "").string(), "--account 1", 2, "is no QIF, OFX or CSV statement"},
      {Statement("noline.qif", "!Type:Bank\nPNobody\n").string(), "--account 1", 2,
       "holds no transactions"},
      {Statement("binary.ofx", std::string("\0\x01\x02garbage", 10)).string(), "--account 1", 2,
       "quenbrook-cli: "},
      {(dir_ / "missing.qif").string(), "--account 1", 2, "cannot read"},
      {good.string(), "--account 9", 2, "has no account 9"},
      {good.string(), "--account 1 --envelope 9", 2, "has no envelope 9"},
      {good.string(), "--account 1 --since 13/45/2021", 2, "usage:"},
      {good.string(), "--all", 2, "usage:"},
  };
  for (const Case& c : cases) {
    const TCliRun run = Import(c.statement, c.switches);
    EXPECT_EQ(run.status, c.status) << c.statement << " " << c.switches;
    EXPECT_TRUE(Has(run.err, c.message)) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
    EXPECT_EQ(ReadFileBytes(budget_), before) << c.statement << " " << c.switches;
  }
}

}  // namespace

namespace {

// Lines of 0.00 without a payee, in either order with a payment and many alike: each is created
// with its own transaction, and the dump of the saved budget holds exactly what the JSON says.
TEST_F(ImportCliTest, EveryCreatedLineIsInTheSavedBudgetAsTheJsonSays) {
  std::string many = "!Type:Bank\n";
  for (int i = 0; i < 30; ++i)
    many += "D03/02/2021\nT0\n^\n";
  const std::string statements[] = {
      "!Type:Bank\nD03/02/2021\nT0\n^\nD03/03/2021\nT-45.67\n^\n",
      "!Type:Bank\nD03/03/2021\nT-45.67\n^\nD03/02/2021\nT0\n^\n",
      many,
  };
  const std::regex created("\"amount\":(-?\\d+),[^{}]*\"fate\":\"created\",\"transaction\":(\\d+)");
  const std::regex stored(
      "\"id\":(\\d+),\"flags\":(\\d+),[^{}]*\"new_import\":1,\"amount\":(-?\\d+)");
  for (const std::string& text : statements) {
    const TCliRun run = Import(Statement("lines.qif", text), "--account 1 --all");
    ASSERT_EQ(run.status, 0) << run.err;
    std::map<uint32_t, long> reported;
    size_t lines = 0;
    for (std::sregex_iterator it(run.out.begin(), run.out.end(), created), end; it != end; ++it) {
      reported[static_cast<uint32_t>(std::stoul((*it)[2]))] = std::stol((*it)[1]);
      ++lines;
    }
    EXPECT_EQ(lines, static_cast<size_t>(std::count(text.begin(), text.end(), '^'))) << run.out;
    EXPECT_EQ(reported.size(), lines) << "identifiers repeat: " << run.out;

    const TCliRun dump = RunProgram(QUENBROOK_CLI_PATH, "dump " + budget_.string(), dir_);
    std::map<uint32_t, long> inBudget;
    for (std::sregex_iterator it(dump.out.begin(), dump.out.end(), stored), end; it != end; ++it) {
      if (std::stoul((*it)[2]) % 2 == 1)  // live
        inBudget[static_cast<uint32_t>(std::stoul((*it)[1]))] = std::stol((*it)[3]);
    }
    EXPECT_EQ(inBudget, reported) << dump.out;
    // The next statement's lines are the only new imports.
    ASSERT_TRUE(WriteSmallBudget(budget_, "Landlord"));
  }
}

}  // namespace
