#include "import/ofx_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/statement_text.h"

namespace {

using namespace std::string_literals;

constexpr unsigned kThisYear = 2026;

std::vector<TImportRecord> ReadOfx(const std::string& text) {
  TImportBatch batch;
  const size_t count = ReadOfxText(text, batch, kThisYear);
  EXPECT_EQ(count, batch.Records.size());
  return batch.Records;
}

constexpr const char* kSgmlHeader =
    "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nENCODING:USASCII\r\nCHARSET:1252\r\n\r\n";

TEST(OfxReaderTest, FieldsOfOneElement) {
  const struct {
    const char* name;
    std::string element;
    TDateValue date;
    int32_t cents;
    const char* checkNumber;
    const char* payee;
    const char* memo;
  } cases[] = {
      {"SGML",
       "<STMTTRN>\n<TRNTYPE>DEBIT\n<DTPOSTED>20110315120000.000[-5:EST]\n<TRNAMT>-45.67\n"
       "<FITID>123\n<NAME>GROCERY MART\n</STMTTRN>",
       {15, 3, 2011},
       -4567,
       "",
       "GROCERY MART",
       ""},
      {"XML",
       "<STMTTRN><NAME>GROCERY MART</NAME><TRNAMT>1.00</TRNAMT></STMTTRN>",
       {},
       100,
       "",
       "GROCERY MART",
       ""},
      {"check number kept", "<STMTTRN><CHECKNUM>00123</STMTTRN>", {}, 0, "00123", "", ""},
      {"seven-digit date", "<STMTTRN><DTPOSTED>2011031</STMTTRN>", {}, 0, "", "", ""},
      {"invalid date", "<STMTTRN><DTPOSTED>20110230</STMTTRN>", {}, 0, "", "", ""},
      {"year 0", "<STMTTRN><DTPOSTED>00000101</STMTTRN>", {1, 1, 2000}, 0, "", "", ""},
      {"year 99999", "<STMTTRN><DTPOSTED>999991231</STMTTRN>", {}, 0, "", "", ""},
      {"spaces trimmed", "<STMTTRN><MEMO>  rent  \n</STMTTRN>", {}, 0, "", "", "rent"},
      {"memo like payee kept", "<STMTTRN><NAME>A<MEMO>A</STMTTRN>", {}, 0, "", "A", "A"},
      {"no check number from payee",
       "<STMTTRN><NAME>CHECK 12</STMTTRN>",
       {},
       0,
       "",
       "CHECK 12",
       ""},
      {"line ends inside a value", "<STMTTRN><NAME>AB\r\nCD</STMTTRN>", {}, 0, "", "ABCD", ""},
      {"lower-case tags ignored", "<STMTTRN><name>x<trnamt>5</STMTTRN>", {}, 0, "", "", ""},
      {"amount of 10^30",
       "<STMTTRN><TRNAMT>1000000000000000000000000000000</STMTTRN>",
       {},
       0,
       "",
       "",
       ""},
      {"references",
       "<STMTTRN><NAME>A&amp;B &lt;&gt; &quot;&apos; &#233;&#xE9;&#X20AC;</STMTTRN>",
       {},
       0,
       "",
       "A&B <> \"' \xE9\xE9\x80",
       ""},
      {"references naming nothing storable",
       "<STMTTRN><NAME>&#0;&#x7;&#xD800;&#x110000;&#99999999999999;&#x4E2D;</STMTTRN>",
       {},
       0,
       "",
       "??????",
       ""},
      {"not references",
       "<STMTTRN><NAME>AT&T &nbsp; &#; &#x; &amp &#12a;</STMTTRN>",
       {},
       0,
       "",
       "AT&T &nbsp; &#; &#x; &amp &#12a;",
       ""},
      {"Windows-1252 bytes",
       "<STMTTRN><NAME>Caf\xE9 \x80</STMTTRN>",
       {},
       0,
       "",
       "Caf\xE9 \x80",
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<TImportRecord> records = ReadOfx(kSgmlHeader + c.element);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Date, c.date);
    EXPECT_EQ(records[0].Amount.Cents(), c.cents);
    EXPECT_EQ(records[0].CheckNumber, c.checkNumber);
    EXPECT_EQ(records[0].Name, c.payee);
    EXPECT_EQ(records[0].Memo, c.memo);
  }
}

TEST(OfxReaderTest, ElementsFound) {
  const struct {
    const char* name;
    std::string text;
    size_t count;
  } cases[] = {
      {"empty", "", 0},
      {"last element open", "<STMTTRN>a</STMTTRN><STMTTRN>b</STMTTRN><STMTTRN>c", 2},
      {"close before open", "</STMTTRN><STMTTRN>a</STMTTRN>", 0},
      {"NUL ends the text", "<STMTTRN>a</STMTTRN>\0<STMTTRN>b</STMTTRN>"s, 1},
      {"only <OFX>", "<OFX>", 0},
      {"broken tags", "<OFX><OO<OFX</>0</>0", 0},
      {"nested opens", "<STMTTRN><STMTTRN><STMTTRN></STMTTRN></STMTTRN>", 1},
      {"unclosed header", "OFXHEADER:100\nCHARSET:", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadOfx(c.text).size(), c.count);
  }
}

TEST(OfxReaderTest, DeclaredCharacterSet) {
  const std::string name = "<STMTTRN><NAME>Caf\xC3\xA9 \xE4\xB8\xAD</STMTTRN>";
  const struct {
    const char* name;
    std::string header;
    const char* payee;
  } cases[] = {
      {"SGML 1252", kSgmlHeader, "Caf\xC3\xA9 \xE4\xB8\xAD"},
      {"SGML UTF-8", "OFXHEADER:100\nENCODING:UTF-8\nCHARSET:NONE\n", "Caf\xE9 ?"},
      {"XML default", "<?xml version=\"1.0\"?><?OFX OFXHEADER=\"200\"?>", "Caf\xE9 ?"},
      {"XML Latin-1", "<?xml version='1.0' encoding='ISO-8859-1'?>", "Caf\xC3\xA9 \xE4\xB8\xAD"},
      {"no header", "", "Caf\xE9 ?"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<TImportRecord> records = ReadOfx(c.header + "<OFX>" + name);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Name, c.payee);
  }
  // A value that claims UTF-8 but is not is taken as Windows-1252.
  EXPECT_EQ(OfxValueToCp1252("Caf\xE9", TStatementCharset::Utf8), "Caf\xE9");
}

TEST(OfxReaderTest, HugeInputsAreReadInOnePass) {
  // Each case would take minutes if any search started again from the beginning.
  std::string opens;
  for (int i = 0; i < 20000; ++i)
    opens += "<STMTTRN><NAME>&&&&&";
  EXPECT_EQ(ReadOfx(opens + "</STMTTRN>").size(), 1u);
  EXPECT_EQ(ReadOfx(std::string(16u << 20, '<')).size(), 0u);
  std::string many;
  for (int i = 0; i < 20000; ++i)
    many += "<STMTTRN><TRNAMT>1</STMTTRN>";
  EXPECT_EQ(ReadOfx(many).size(), 20000u);
}

}  // namespace
