// `quenbrook-cli chart`: the series of each chart from a generated budget, the pictures drawn
// of them, and the refusals.
#include <gtest/gtest.h>

#include <QXmlStreamReader>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

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

namespace fs = std::filesystem;

// The width and height a PNG's header chunk gives; zeros for anything else.
std::pair<uint32_t, uint32_t> PngSize(const std::string& bytes) {
  if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 ||
      bytes.compare(12, 4, "IHDR") != 0)
    return {0, 0};
  auto word = [&](size_t at) {
    uint32_t value = 0;
    for (size_t i = at; i < at + 4; ++i)
      value = value << 8 | static_cast<unsigned char>(bytes[i]);
    return value;
  };
  return {word(16), word(20)};
}

// A field of pdfinfo's report, without the blanks that align it.
std::string InfoField(const std::string& info, const std::string& name) {
  const size_t at = info.find("\n" + name + ":");
  if (at == std::string::npos)
    return {};
  const size_t start = info.find_first_not_of(' ', at + name.size() + 2);
  return info.substr(start, info.find('\n', start) - start);
}

// The texts of an SVG drawing's text elements; none when it is not well-formed XML.
std::vector<std::string> SvgTexts(const std::string& bytes) {
  QXmlStreamReader reader(QByteArray::fromStdString(bytes));
  std::vector<std::string> texts;
  while (!reader.atEnd()) {
    if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"text")
      texts.push_back(reader.readElementText().toStdString());
  }
  return reader.hasError() ? std::vector<std::string>{} : texts;
}

// The names in a folder, for seeing that a refused command left nothing behind.
std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name != "stdout.txt" && name != "stderr.txt")
      names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

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

TEST_F(ChartCliTest, EveryKindDrawsEachPictureForm) {
  // Each kind's legend names its first series, which every form must show as text.
  const std::pair<std::string, std::string> kinds[] = {
      {"spending", "Expense"},
      {"envelope-balances", "Envelopes"},
      {"income-spending", "Spending"},
      {"net-worth", "Total"},
  };
  const std::string dates = " --from 01/01/2000 --to 12/31/2040";
  for (const auto& [kind, series] : kinds) {
    const std::string head = "chart " + kind + " " + budget_.string() + dates;
    const fs::path png = dir_ / (kind + ".png");
    TCliRun run = Run(head + " --size 640x400 --png " + png.string());
    ASSERT_EQ(run.status, 0) << kind << run.err;
    EXPECT_TRUE(run.out.empty() && run.err.empty()) << kind << run.out << run.err;
    EXPECT_EQ(PngSize(ReadFileBytes(png)), std::make_pair(640u, 400u)) << kind;

    const fs::path pdf = dir_ / (kind + ".pdf");
    run = Run(head + " --size 640x400 --pdf " + pdf.string());
    ASSERT_EQ(run.status, 0) << kind << run.err;
    const TCliRun info = RunProgram("pdfinfo", pdf.string(), dir_);
    ASSERT_EQ(info.status, 0) << kind << info.err;
    EXPECT_EQ(InfoField(info.out, "Pages"), "1") << kind;
    // 640 by 400 pixels at 96 to the inch.
    EXPECT_EQ(InfoField(info.out, "Page size"), "480 x 300 pts") << kind;
    const TCliRun text = RunProgram("pdftotext", pdf.string() + " -", dir_);
    EXPECT_NE(text.out.find(series), std::string::npos) << kind << text.out;

    const fs::path svg = dir_ / (kind + ".svg");
    run = Run(head + " --svg " + svg.string());
    ASSERT_EQ(run.status, 0) << kind << run.err;
    const std::string drawing = ReadFileBytes(svg);
    EXPECT_NE(drawing.find("width=\"1000\" height=\"600\""), std::string::npos) << kind;
    const std::vector<std::string> texts = SvgTexts(drawing);
    EXPECT_NE(std::find(texts.begin(), texts.end(), series), texts.end()) << kind;
  }
}

TEST_F(ChartCliTest, BadSizesAndUnwritableFilesWriteNothing) {
  // The target already holds a file, which every failure must leave as it was.
  const fs::path old = dir_ / "old.png";
  std::ofstream(old) << "an older picture";
  const std::vector<std::string> before = Names(dir_);
  const std::string out = " --png " + old.string();
  const struct {
    std::string words;
    int status;
  } cases[] = {
      {out + " --size 0x0", 2},
      {out + " --size abc", 2},
      {out + " --size 640x", 2},
      {out + " --size 99x400", 2},
      {out + " --size 640x5001", 2},
      {out + " --size 99999999999999999999x400", 2},
      {" --tsv --size 640x400", 2},
      {out + " --svg " + (dir_ / "other.svg").string(), 2},
      {" --png " + (dir_ / "missing" / "chart.png").string(), 1},
      {" --pdf " + (budget_ / "chart.pdf").string(), 1},
      {" --svg " + dir_.string(), 1},
  };
  for (const auto& c : cases) {
    const TCliRun run = Run("chart spending " + budget_.string() + c.words);
    EXPECT_EQ(run.status, c.status) << c.words << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << c.words << run.err;
    if (c.status == 1) {
      EXPECT_NE(run.err.find("cannot write"), std::string::npos) << run.err;
    }
    EXPECT_TRUE(run.out.empty()) << c.words;
    EXPECT_EQ(Names(dir_), before) << c.words;
    EXPECT_EQ(ReadFileBytes(old), "an older picture") << c.words;
  }
}

}  // namespace
