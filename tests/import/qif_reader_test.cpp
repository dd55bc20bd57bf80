#include "import/qif_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

constexpr unsigned kThisYear = 2026;

std::vector<TImportRecord> ReadQif(const std::string& text) {
  TImportBatch batch;
  const size_t count = ReadQifText(text, batch, kThisYear);
  EXPECT_EQ(count, batch.Records.size());
  return batch.Records;
}

struct TQifCase {
  const char* name;
  std::string text;
  TDateValue date;
  int32_t cents;
  const char* checkNumber;
  const char* payee;
  const char* memo;
};

TEST(QifReaderTest, FieldsOfOneRecord) {
  const TQifCase cases[] = {
      {"plain",
       "!Type:Bank\nD03/15/2011\nT-45.00\nPGrocery Mart\n^\n",
       {15, 3, 2011},
       -4500,
       "",
       "Grocery Mart",
       ""},
      {"apostrophe year", "D3/15'11\nT1\n^", {15, 3, 2011}, 100, "", "", ""},
      {"apostrophe year with spaces", "D1/ 5' 4\nT1\n^", {5, 1, 2004}, 100, "", "", ""},
      {"leading zeros", "D1/2/11\nT1\nN00123\n^", {2, 1, 2011}, 100, "123", "", ""},
      {"number then letters", "D1/2/11\nT1\nN12A\n^", {2, 1, 2011}, 100, "12", "", ""},
      {"no number", "D1/2/11\nT1\nNATM\n^", {2, 1, 2011}, 100, "ATM", "", ""},
      {"negative number", "D1/2/11\nT1\nN-5\n^", {2, 1, 2011}, 100, "-5", "", ""},
      {"too large to rewrite",
       "D1/2/11\nT1\nN002147483648\n^",
       {2, 1, 2011},
       100,
       "002147483648",
       "",
       ""},
      {"check in payee",
       "D1/2/11\nT1\nPCheck #1042 Rent\n^",
       {2, 1, 2011},
       100,
       "1042",
       "Check #1042 Rent",
       ""},
      {"number after payee",
       "D1/2/11\nT1\nPCheck #1042 Rent\nN1050\n^",
       {2, 1, 2011},
       100,
       "1050",
       "Check #1042 Rent",
       ""},
      {"CHECK only in these spellings",
       "D1/2/11\nT1\nPcHeCk 12\n^",
       {2, 1, 2011},
       100,
       "",
       "cHeCk 12",
       ""},
      {"memo like payee", "D1/2/11\nT1\nPRent\nMRent\n^", {2, 1, 2011}, 100, "", "Rent", ""},
      {"check in memo",
       "D1/2/11\nT1\nMcheck 7\nPRent\n^",
       {2, 1, 2011},
       100,
       "7",
       "Rent",
       "check 7"},
      {"caret ends record", "D1/2/11\nT1\nPA^B\n", {2, 1, 2011}, 100, "", "", ""},
      {"thousands", "D1/2/11\nT1,234.56\n^", {2, 1, 2011}, 123456, "", "", ""},
      {"dollar sign", "D1/2/11\nT$12.00\n^", {2, 1, 2011}, 0, "", "", ""},
      {"no final caret", "D1/2/11\nT-1", {2, 1, 2011}, -100, "", "", ""},
      {"later line wins, quotes and spaces go",
       "D1/2/11\nT1\nP  \"First\" \nPSe\"co\"nd  \n^",
       {2, 1, 2011},
       100,
       "",
       "Second",
       ""},
      {"unreadable date", "Dtoday\nT1\n^", {}, 100, "", "", ""},
      {"year 99999 keeps this year", "D1/2/99999\nT1\n^", {2, 1, kThisYear}, 100, "", "", ""},
      {"year 0", "D1/2/0\nT1\n^", {2, 1, 2000}, 100, "", "", ""},
      {"amount of 10^30",
       "D1/2/11\nT1000000000000000000000000000000\n^",
       {2, 1, 2011},
       0,
       "",
       "",
       ""},
      {"lower case and other letters ignored",
       "d1/1/11\nD1/2/11\nT1\nLFood\nSx\nt5\n^",
       {2, 1, 2011},
       100,
       "",
       "",
       ""},
      {"CR, CR LF and blank lines",
       "\r\n\r!Type:Bank\rD1/2/11\r\n\r\nT1\r^\r",
       {2, 1, 2011},
       100,
       "",
       "",
       ""},
      {"account block skipped",
       "!Account\nNChecking\nTBank\n^\nD1/2/11\nT1\n^",
       {2, 1, 2011},
       100,
       "",
       "",
       ""},
      {"type line after account block ignored",
       "!Account\nNChk\n^\n!Type:Bank\nD1/2/11\nT1\n^",
       {2, 1, 2011},
       100,
       "",
       "",
       ""},
      {"NUL ends the line's text", "D1/2/11\nT1\nPAb\0c^\n^"s, {2, 1, 2011}, 100, "", "Ab", ""},
      {"UTF-8 file",
       "D1/2/11\nT1\nPCaf\xC3\xA9 \xE2\x82\xAC \xE4\xB8\xAD\n^",
       {2, 1, 2011},
       100,
       "",
       "Caf\xE9 \x80 ?",
       ""},
      {"Windows-1252 file", "D1/2/11\nT1\nPCaf\xE9\n^", {2, 1, 2011}, 100, "", "Caf\xE9", ""},
  };
  for (const TQifCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<TImportRecord> records = ReadQif(c.text);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Date, c.date);
    EXPECT_EQ(records[0].Amount.Cents(), c.cents);
    EXPECT_EQ(records[0].CheckNumber, c.checkNumber);
    EXPECT_EQ(records[0].Name, c.payee);
    EXPECT_EQ(records[0].Memo, c.memo);
    EXPECT_EQ(records[0].MatchedId, 0u);
  }
}

TEST(QifReaderTest, RecordsKeptAndDropped) {
  const struct {
    const char* name;
    std::string text;
    size_t count;
  } cases[] = {
      {"empty", "", 0},
      {"no amount", "D1/2/11\nPx\n^\n", 0},
      {"no date", "T1\n^\nD1/2/11\nT2\n^", 1},
      {"account block without end", "!Account\nD1/2/11\nT1\n", 0},
      {"two records, empty lines between", "D1/2/11\nT1\n^\n\n\nD1/3/11\nT2\n^\n", 2},
      {"binary", "\x89PNG\r\n\x1a\n\0\0\0\rIHDR"s, 0},
      {"carets only", "^^^\n^\n^", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadQif(c.text).size(), c.count);
  }
}

TEST(QifReaderTest, LongLinesKeepTheirStartAndNeverSplit) {
  // The tail of a long payee line must not come back as lines that set the date or amount.
  const std::string payee(5000, 'x');
  std::string tail(kMaxQifLine, 'y');
  tail += "T999";
  std::vector<TImportRecord> records = ReadQif("D1/2/11\nT1\nP" + payee + tail + "\n^");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].Name, payee.substr(0, kMaxQifLine - 1));
  EXPECT_EQ(records[0].Amount.Cents(), 100);

  // One line of 50 MB is one cut line, read in one pass.
  std::string huge(50u << 20, 'P');
  EXPECT_TRUE(ReadQif("D1/2/11\nT1\n" + huge + "\n^").size() == 1);
}

}  // namespace
