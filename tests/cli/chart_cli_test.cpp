// `quenbrook-cli chart`: the series of each chart from a generated budget, and the refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "core/clock.h"
#include "core/document_file.h"
#include "core/envelope_node.h"
#include "core/unattended_user_port.h"
#include "core/vorla_data.h"
#include "reports/balance_history.h"
#include "reports/income_spending_chart.h"
#include "reports/spending_chart.h"
#include "tests/support/cli_runner.h"

namespace {

class ChartCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Run("generate " + budget_.string() + " --transactions 300 --seed 7").status, 0);
    TResult<std::unique_ptr<TVorlaData>> read = ReadDocumentFile(budget_.string(), environment_);
    ASSERT_TRUE(read) << read.Error();
    document_ = std::move(read).Value();
    for (TTreeItem* node = &document_->Envelopes().Root(); node != nullptr && bundle_ == 0;
         node = node->NextInDisplayOrder(true)) {
      if (auto* bundle = dynamic_cast<TBundle*>(node))
        bundle_ = bundle->Id();
    }
    ASSERT_NE(bundle_, 0u);
  }

  TCliRun Run(const std::string& arguments) {
    return RunProgram(QUENBROOK_CLI_PATH, arguments, dir_);
  }

  TTempFolder temp_;
  const std::filesystem::path dir_ = temp_.Path();
  const std::filesystem::path budget_ = dir_ / "Budget.vrl";
  TUnattendedUserPort quiet_;
  TSystemClock clock_;
  TModelEnvironment environment_{quiet_, clock_};
  std::unique_ptr<TVorlaData> document_;
  uint32_t bundle_ = 0;
};

TEST_F(ChartCliTest, EveryKindPrintsTheSeriesItsChartDraws) {
  const TDateValue from(1, 1, 2000);
  const TDateValue to(31, 12, 2040);
  const std::string dates = " --from 01/01/2000 --to 12/31/2040";
  const std::string bundle = std::to_string(bundle_);
  const std::vector<uint32_t> accounts = {document_->Accounts().NthAccountId(1),
                                          document_->Accounts().NthAccountId(2)};
  const TVorlaData& document = *document_;
  struct TCase {
    std::string words;
    std::function<TResult<TChartSeries>()> make;
  } cases[] = {
      {"spending" + dates + " --envelope " + bundle,
       [&] { return SpendingByEnvelope(document, bundle_, from, to); }},
      {"envelope-balances" + dates + " --step week --envelope 0 --envelope " + bundle,
       [&] {
         return EnvelopeBalances(document, {0, bundle_}, from, to, TChartStep::Week);
       }},
      {"income-spending" + dates, [&] { return IncomeAndSpending(document, 0, from, to); }},
      {"net-worth" + dates + " --account " + std::to_string(accounts[0]) + " --account " +
           std::to_string(accounts[1]),
       [&] { return AccountBalances(document, accounts, from, to, TChartStep::Month); }},
  };
  for (const TCase& c : cases) {
    const std::string kind = c.words.substr(0, c.words.find(' '));
    const TCliRun run =
        Run("chart " + kind + " " + budget_.string() + c.words.substr(kind.size()) + " --tsv");
    ASSERT_EQ(run.status, 0) << c.words << run.err;
    const TResult<TChartSeries> series = c.make();
    ASSERT_TRUE(series.Ok()) << series.Error();
    EXPECT_FALSE(series->rows.empty()) << c.words;
    EXPECT_EQ(run.out, ChartSeriesText(*series)) << c.words;
  }
}

TEST_F(ChartCliTest, RefusalsExitTwoWithOneLine) {
  const std::string budget = " " + budget_.string();
  for (const std::string& words : {
           "pie" + budget + " --tsv",
           "spending " + (dir_ / "missing.vrl").string() + " --tsv",
           "spending" + budget,
           "spending" + budget + " --tsv --envelope 999999",
           "spending" + budget + " --tsv --envelope 1 --envelope 2",
           "spending" + budget + " --tsv --step week",
           "spending" + budget + " --tsv --account 1",
           "envelope-balances" + budget + " --tsv --step year",
           "envelope-balances" + budget + " --tsv --from 01/01/2024",
           "envelope-balances" + budget + " --tsv --from 12/31/2024 --to 01/01/2024",
           "envelope-balances" + budget + " --tsv --from 01/01/1990 --to 12/31/2024 --step day",
           "envelope-balances" + budget + " --tsv --range yesterday",
           "envelope-balances" + budget + std::string(" --tsv") +
               " --envelope 0 --envelope 0 --envelope 0 --envelope 0 --envelope 0 --envelope 0"
               " --envelope 0 --envelope 0 --envelope 0",
           "income-spending" + budget + " --tsv --envelope 1",
           "income-spending" + budget + " --tsv --account 999999",
           "net-worth" + budget + " --tsv --account",
           "net-worth" + budget + " --tsv --size 3",
       }) {
    const TCliRun run = Run("chart " + words);
    EXPECT_EQ(run.status, 2) << words;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << words << run.err;
    EXPECT_TRUE(run.out.empty()) << words;
  }
}

}  // namespace
