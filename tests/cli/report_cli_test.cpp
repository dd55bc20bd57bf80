// `quenbrook-cli report`: each report's texts and printed pages from a generated budget, and the
// refusals that must leave nothing behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "core/account_node.h"
#include "core/clock.h"
#include "core/document_file.h"
#include "core/envelope_list.h"
#include "core/envelope_node.h"
#include "core/unattended_user_port.h"
#include "core/vorla_data.h"
#include "planning/period.h"
#include "reports/account_ledger_report.h"
#include "reports/account_summary_report.h"
#include "reports/allocation_plan_report.h"
#include "reports/envelope_activity_report.h"
#include "reports/envelope_ledger_report.h"
#include "reports/envelope_summary_report.h"
#include "tests/support/cli_runner.h"

namespace {

namespace fs = std::filesystem;

class ReportCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Run("generate " + budget_.string() + " --transactions 120 --seed 5").status, 0);
    TResult<std::unique_ptr<TVorlaData>> read = ReadDocumentFile(budget_.string(), environment_);
    ASSERT_TRUE(read) << read.Error();
    document_ = std::move(read).Value();
    for (TTreeItem* node = document_->Accounts().RootItem(); node != nullptr && account_ == 0;
         node = node->NextInDisplayOrder(true)) {
      if (auto* account = dynamic_cast<TAccount*>(node))
        account_ = account->Id();
    }
    // A bundle, so that the envelope reports cover a subtree below the root.
    for (TTreeItem* node = &document_->Envelopes().Root(); node != nullptr && bundle_ == 0;
         node = node->NextInDisplayOrder(true)) {
      if (auto* bundle = dynamic_cast<TBundle*>(node))
        bundle_ = bundle->Id();
    }
    ASSERT_NE(account_, 0u);
    ASSERT_NE(bundle_, 0u);
  }

  TCliRun Run(const std::string& arguments) {
    return RunProgram(QUENBROOK_CLI_PATH, arguments, dir_);
  }

  TTempFolder temp_;
  const fs::path dir_ = temp_.Path();
  const fs::path budget_ = dir_ / "Budget.vrl";
  TUnattendedUserPort quiet_;
  TSystemClock clock_;
  TModelEnvironment environment_{quiet_, clock_};
  std::unique_ptr<TVorlaData> document_;
  uint32_t account_ = 0;
  uint32_t bundle_ = 0;
};

TEST_F(ReportCliTest, EveryKindGivesTheReportsTextsAndPages) {
  const TDateValue from(1, 1, 2000);
  const TDateValue to(31, 12, 2099);
  const std::string dates = " --from 01/01/2000 --to 12/31/2099";
  const std::string bundle = " --envelope " + std::to_string(bundle_);
  struct TCase {
    std::string kind;
    std::string options;
    std::function<std::unique_ptr<TFormData>()> make;
    const char* pageText;  // what the first printed page must show
  };
  TVorlaData& document = *document_;
  const std::vector<TCase> cases = {
      {"account-ledger", " --account " + std::to_string(account_) + dates,
       [&] {
         return std::make_unique<TAccountLedgerReport>(
             document, clock_, TLedgerReportOptions{account_, from, to, nullptr, false});
       },
       "Account Ledger:"},
      {"envelope-ledger", bundle + dates + " --old-format",
       [&] {
         return std::make_unique<TEnvelopeLedgerReport>(
             document, clock_, TLedgerReportOptions{bundle_, from, to, nullptr, true});
       },
       "Envelope Ledger:"},
      {"account-summary", "",
       [&] { return std::make_unique<TAccountSummaryReport>(document, clock_); },
       "Account Summary Report"},
      {"envelope-summary", " --size 5",
       [&] {
         return std::make_unique<TEnvelopeSummaryReport>(
             document, clock_,
             TEnvelopeSummaryOptions{document.Envelopes().Root().Id(),
                                     TEnvelopeSummarySize::Organizer425});
       },
       "Balance"},
      {"envelope-activity", bundle + dates + " --columns x-in,end,alloc",
       [&] {
         return std::make_unique<TEnvelopeActivityReport>(
             document, clock_,
             TEnvelopeActivityOptions{bundle_, from, to,
                                      kActivityTransIn | kActivityEnd | kActivityAlloc});
       },
       "Envelope Activity Report from 01/01/2000 to 12/31/2099"},
      {"allocation-plan", " --period quarterly",
       [&] {
         return std::make_unique<TAllocationPlanReport>(
             document, clock_, TAllocationPlanReportOptions{kPeriodQuarterly});
       },
       "Allocation Plan - Quarterly"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.kind);
    const std::string head = "report " + c.kind + " " + budget_.string() + c.options;
    const std::unique_ptr<TFormData> report = c.make();
    const TCliRun tsv = Run(head + " --tsv");
    ASSERT_EQ(tsv.status, 0) << tsv.err;
    EXPECT_EQ(tsv.out, report->ExportText());
    EXPECT_EQ(Run(head + " --clipboard").out, report->ClipboardText());

    const fs::path pdf = dir_ / (c.kind + ".pdf");
    const TCliRun printed = Run(head + " --pdf " + pdf.string());
    ASSERT_EQ(printed.status, 0) << printed.err;
    const TCliRun text = RunProgram("pdftotext", "-layout " + pdf.string() + " -", dir_);
    ASSERT_EQ(text.status, 0);
    // pdftotext ends every page with a form feed.
    EXPECT_EQ(std::count(text.out.begin(), text.out.end(), '\f'), report->GetPageCount());
    EXPECT_NE(text.out.find(c.pageText), std::string::npos) << text.out.substr(0, 400);
  }
  // PNGs: one file per page, named as listed.
  const TCliRun pngs =
      Run("report account-summary " + budget_.string() + " --png " + (dir_ / "summary").string());
  ASSERT_EQ(pngs.status, 0) << pngs.err;
  EXPECT_EQ(pngs.out, (dir_ / "summary-1.png").string() + "\n");
  EXPECT_TRUE(fs::exists(dir_ / "summary-1.png"));
}

TEST_F(ReportCliTest, RefusalsExitTwoAndWriteNothing) {
  const fs::path out = dir_ / "out.pdf";
  const std::string budget = " " + budget_.string();
  const std::string missing = " " + (dir_ / "missing.vrl").string();
  for (const std::string& words : {
           "account-ledger" + missing,
           "account-ledger" + budget + " --account 999999",
           "envelope-ledger" + budget + " --envelope 999999",
           "account-ledger" + budget + " --from 13/01/2026 --to 12/31/2026",
           "account-ledger" + budget + " --from 02/30/2026 --to 12/31/2026",
           "account-ledger" + budget + " --from 12/31/2026 --to 01/01/2026",
           "account-ledger" + budget + " --from 01/01/2026",
           "account-ledger" + budget + " --range yesterday",
           "account-ledger" + budget + " --range this-month --from 01/01/2026 --to 01/02/2026",
           "envelope-summary" + budget + " --size 7",
           "envelope-activity" + budget + " --columns alloc,,end",
           "allocation-plan" + budget + " --period fortnightly",
           "account-ledger" + budget + " --size 2",
           "account-summary" + budget + " --envelope 1",
           "envelope-summary" + budget + " --old-format",
           "balance-sheet" + budget,
       }) {
    const TCliRun run = Run("report " + words + " --pdf " + out.string());
    EXPECT_EQ(run.status, 2) << words;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << words << run.err;
    EXPECT_TRUE(run.out.empty()) << words;
    EXPECT_FALSE(fs::exists(out)) << words;
  }
  for (const std::string& outputs : {std::string(), std::string(" --tsv --clipboard")}) {
    const TCliRun run = Run("report account-summary" + budget + outputs);
    EXPECT_EQ(run.status, 2) << outputs;
    EXPECT_TRUE(run.out.empty()) << outputs;
  }
}

}  // namespace
