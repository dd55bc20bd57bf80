#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "import/ofx_reader.h"
#include "import/qif_reader.h"
#include "import/statement_text.h"

namespace {

using namespace std::string_literals;

// Every record of a statement on one line: "date amount #check name|memo", joined by " | ".
std::string Read(const std::string& text, bool ofx) {
  TImportBatch batch;
  const size_t count = ofx ? ReadOfxText(text, batch, 2026) : ReadQifText(text, batch, 2026);
  EXPECT_EQ(count, batch.Size());
  std::string summary;
  for (const TImportRecord& r : batch.Records()) {
    summary += summary.empty() ? "" : " | ";
    char date[16];
    std::snprintf(date, sizeof date, "%04u-%02u-%02u", r.Date.Year(), r.Date.Month(), r.Date.Day());
    summary += date + (" " + r.Amount.Format(0)) + " #";
    summary.append(batch.CheckNumber(r)).append(" ").append(batch.Name(r));
    summary.append("|").append(batch.Memo(r));
  }
  return summary;
}

TEST(StatementReaderTest, Qif) {
  const std::pair<std::string, std::string> cases[] = {
      {"!Type:Bank\nD03/15/2011\nT-45.00\nPGrocery Mart\n^\n", "2011-03-15 -45.00 # Grocery Mart|"},
      // The apostrophe separates the year (it used to be dropped with the year).
      {"D3/15'11\nT1\n^\nD1/ 5' 4\nT1\n^", "2011-03-15 1.00 # | | 2004-01-05 1.00 # |"},
      {"D1/2/11\nT1\nN00123\n^\nD1/2/11\nT1\nN12A\n^",
       "2011-01-02 1.00 #123 | | 2011-01-02 1.00 #12 |"},
      {"D1/2/11\nT1\nNATM\n^\nD1/2/11\nT1\nN-5\n^",
       "2011-01-02 1.00 #ATM | | 2011-01-02 1.00 #-5 |"},
      {"D1/2/11\nT1\nN002147483648\n^", "2011-01-02 1.00 #002147483648 |"},
      {"D1/2/11\nT1\nPCheck #1042 Rent\n^", "2011-01-02 1.00 #1042 Check #1042 Rent|"},
      {"D1/2/11\nT1\nPCheck #1042 Rent\nN1050\n^", "2011-01-02 1.00 #1050 Check #1042 Rent|"},
      {"D1/2/11\nT1\nMcheck 7\nPcHeCk 8\n^", "2011-01-02 1.00 #7 cHeCk 8|check 7"},
      {"D1/2/11\nT1\nPRent\nMRent\n^", "2011-01-02 1.00 # Rent|"},
      {"D1/2/11\nT1\nPA^B\n", "2011-01-02 1.00 # |"},
      {"D1/2/11\nT1,234.56\n^\nD1/2/11\nT$12.00\n^",
       "2011-01-02 1234.56 # | | 2011-01-02 0.00 # |"},
      {"D1/2/11\nT-1", "2011-01-02 -1.00 # |"},
      {"D1/2/11\nT1\nP  \"First\" \nPSe\"co\"nd  \n^", "2011-01-02 1.00 # Second|"},
      {"Dtoday\nT1\n^\nD1/2/99999\nT1\n^\nD1/2/0\nT1e30\n^",
       "0000-00-00 1.00 # | | 2026-01-02 1.00 # | | 2000-01-02 0.00 # |"},
      {"d1/1/11\nD1/2/11\nT1\nLFood\nSx\nt5\n^", "2011-01-02 1.00 # |"},
      {"\r\n\r!Type:Bank\rD1/2/11\r\n\r\nT1\r^\r", "2011-01-02 1.00 # |"},
      {"!Account\nNChk\nTBank\n^\n!Type:Bank\nD1/2/11\nT1\n^", "2011-01-02 1.00 # |"},
      // A later account block is no transaction.
      {"D1/2/11\nT1\n^\n!Account\nNSav\nTBank\nDSavings\n^\nD1/3/11\nT2\n^",
       "2011-01-02 1.00 # | | 2011-01-03 2.00 # |"},
      {"D1/2/11\nT1\nPAb\0c^\n^"s, "2011-01-02 1.00 # Ab|"},
      {"D1/2/11\nT1\nPCaf\xC3\xA9 \xE2\x82\xAC \xE4\xB8\xAD\n^",
       "2011-01-02 1.00 # Caf\xE9 \x80 ?|"},
      {"D1/2/11\nT1\nPCaf\xE9\n^", "2011-01-02 1.00 # Caf\xE9|"},
      {"T1\n^\nD1/2/11\nPx\n^\n\n\nD1/3/11\nT2\n^\n", "2011-01-03 2.00 # |"},
      {"!Account\nD1/2/11\nT1\n", ""},
      {"\x89PNG\r\n\x1a\n\0\0\0\rIHDR"s, ""},
      {"^^^\n^\n^", ""},
  };
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(Read(text, false), expected) << text;
}

TEST(StatementReaderTest, QifLongLinesKeepTheirStartAndNeverSplit) {
  // The tail of a long payee line must not come back as lines that set the amount.
  const std::string payee(kMaxQifLine - 1, 'x');
  EXPECT_EQ(Read("D1/2/11\nT1\nP" + payee + "yyT999\n^", false),
            "2011-01-02 1.00 # " + payee + "|");
  EXPECT_EQ(Read("D1/2/11\nT1\n" + std::string(50u << 20, 'P') + "\n^", false).size(), 1041u);
}

TEST(StatementReaderTest, Ofx) {
  const std::string header = "OFXHEADER:100\nDATA:OFXSGML\nENCODING:USASCII\nCHARSET:1252\n\n";
  const std::pair<std::string, std::string> cases[] = {
      {"<STMTTRN>\n<TRNTYPE>DEBIT\n<DTPOSTED>20110315120000.000[-5:EST]\n<TRNAMT>-45.67\n"
       "<FITID>123\n<NAME>GROCERY MART\n</STMTTRN>",
       "2011-03-15 -45.67 # GROCERY MART|"},
      {"<STMTTRN><NAME>A B</NAME><TRNAMT>1.00</TRNAMT></STMTTRN>", "0000-00-00 1.00 # A B|"},
      {"<STMTTRN><CHECKNUM>00123<NAME>CHECK 12<MEMO>CHECK 12</STMTTRN>",
       "0000-00-00 0.00 #00123 CHECK 12|CHECK 12"},
      {"<STMTTRN><DTPOSTED>2011031</STMTTRN><STMTTRN><DTPOSTED>20110230</STMTTRN>",
       "0000-00-00 0.00 # | | 0000-00-00 0.00 # |"},
      // A decimal comma; commas beside a point are dropped as the amount reader does.
      {"<STMTTRN><TRNAMT>-45,67</STMTTRN><STMTTRN><TRNAMT>1,234.5</STMTTRN>",
       "0000-00-00 -45.67 # | | 0000-00-00 1234.50 # |"},
      {"<STMTTRN><DTPOSTED>00000101<TRNAMT>1e30<MEMO>  rent  \n</STMTTRN>",
       "2000-01-01 0.00 # |rent"},
      {"<STMTTRN><NAME>AB\r\nCD<name>x<trnamt>5</STMTTRN>", "0000-00-00 0.00 # ABCD|"},
      {"<STMTTRN><NAME>A&amp;B &lt;&gt; &quot;&apos; &#233;&#xE9;&#X20AC;</STMTTRN>",
       "0000-00-00 0.00 # A&B <> \"' \xE9\xE9\x80|"},
      {"<STMTTRN><NAME>&#0;&#x7;&#xD800;&#x110000;&#99999999999999;&#x4E2D;</STMTTRN>",
       "0000-00-00 0.00 # ??????|"},
      {"<STMTTRN><NAME>AT&T &nbsp; &#; &#x; &amp &#12a;</STMTTRN>",
       "0000-00-00 0.00 # AT&T &nbsp; &#; &#x; &amp &#12a;|"},
      {"<STMTTRN><NAME>Caf\xE9 \x80 \xC3\xA9</STMTTRN>",
       "0000-00-00 0.00 # Caf\xE9 \x80 \xC3\xA9|"},
      {"<STMTTRN>a</STMTTRN><STMTTRN>b</STMTTRN><STMTTRN>c",
       "0000-00-00 0.00 # | | 0000-00-00 0.00 # |"},
      {"</STMTTRN><STMTTRN>a</STMTTRN>", ""},
      {"<STMTTRN>a</STMTTRN>\0<STMTTRN>b</STMTTRN>"s, "0000-00-00 0.00 # |"},
      {"<STMTTRN><STMTTRN><STMTTRN></STMTTRN></STMTTRN>", "0000-00-00 0.00 # |"},
      {"<OFX><OO<OFX</>0</>0", ""},
  };
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(Read(header + text, true), expected) << text;
  EXPECT_EQ(Read("<OFX>", true), "");
  EXPECT_EQ(Read("OFXHEADER:100\nCHARSET:", true), "");
}

// Bank exports indent with tabs and end lines with them; every ASCII blank around a value goes,
// blanks inside a value stay.
TEST(StatementReaderTest, BlanksAroundValuesAreTrimmedInEveryForm) {
  const std::string sgml =
      "OFXHEADER:100\r\nENCODING:USASCII\r\n\r\n<OFX>\r\n\t<STMTTRN>\r\n\t\t<TRNTYPE>DEBIT\r\n"
      "\t\t<DTPOSTED>\t20250301120000\t\r\n\t\t<TRNAMT>-34.51\t\t\r\n\t\t<CHECKNUM>\t0042\v\r\n"
      "\t\t<NAME>\tGROCERY\tMART \f\r\n\t\t<MEMO>\t card\tpayment\t\r\n\t</STMTTRN>\r\n";
  const std::string xml =
      "<?xml version=\"1.0\"?>\n<OFX>\n\t<STMTTRN>\n\t\t<DTPOSTED>\t20250301</DTPOSTED>\n"
      "\t\t<TRNAMT>\t-34.51\t</TRNAMT>\n\t\t<CHECKNUM>0042\t</CHECKNUM>\n"
      "\t\t<NAME>\n\t\t\tGROCERY\tMART\n\t\t</NAME>\n\t\t<MEMO>\t card\tpayment\t</MEMO>\n"
      "\t</STMTTRN>\n</OFX>\n";
  const std::string expected = "2025-03-01 -34.51 #0042 GROCERY\tMART|card\tpayment";
  EXPECT_EQ(Read(sgml, true), expected);
  EXPECT_EQ(Read(xml, true), expected);

  const std::pair<std::string, std::string> qif[] = {
      {"!Type:Bank\t\nD03/01/2025\t\nT-45.67\t\nN0042\t\nPGROCERY MART\t\t\nMcard\t\n^\t\n",
       "2025-03-01 -45.67 #42 GROCERY MART|card"},
      {"D\t03/01/2025 \v\nT \t-45.67\f\nN\t\v0042 \nP\tGROCERY\tMART\t\nM \tcard\tpayment\t\n^",
       "2025-03-01 -45.67 #42 GROCERY\tMART|card\tpayment"},
      {"D3/1'25\t\nT1,234.56\t\nPCheck\t#1042\t\n^", "2025-03-01 1234.56 #1042 Check\t#1042|"},
      {"D03/01/2025\nT0\t\nP\t\t\n^", "2025-03-01 0.00 # |"},
  };
  for (const auto& [text, expectedQif] : qif)
    EXPECT_EQ(Read(text, false), expectedQif) << text;
}

TEST(StatementReaderTest, OfxDeclaredCharacterSet) {
  const std::string element = "<OFX><STMTTRN><NAME>Caf\xC3\xA9 \xE4\xB8\xAD</STMTTRN>";
  const std::pair<std::string, std::string> cases[] = {
      {"OFXHEADER:100\nENCODING:USASCII\nCHARSET:1252\n", "Caf\xC3\xA9 \xE4\xB8\xAD"},
      {"OFXHEADER:100\nENCODING:UTF-8\nCHARSET:NONE\n", "Caf\xE9 ?"},
      {"<?xml version=\"1.0\"?><?OFX OFXHEADER=\"200\"?>", "Caf\xE9 ?"},
      {"<?xml version='1.0' encoding='ISO-8859-1'?>", "Caf\xC3\xA9 \xE4\xB8\xAD"},
      {"", "Caf\xE9 ?"},
  };
  for (const auto& [header, name] : cases)
    EXPECT_EQ(Read(header + element, true), "0000-00-00 0.00 # " + name + "|") << header;
  // A value that claims UTF-8 but is not is taken as Windows-1252.
  EXPECT_EQ(OfxValueToCp1252("Caf\xE9", TStatementCharset::Utf8), "Caf\xE9");
}

TEST(StatementReaderTest, OfxHugeInputsAreReadInOnePass) {
  // Each would take minutes if a search started again from the beginning.
  std::string opens, many;
  for (int i = 0; i < 20000; ++i) {
    opens += "<STMTTRN><NAME>&&&&&";
    many += "<STMTTRN><TRNAMT>1</STMTTRN>";
  }
  EXPECT_EQ(Read(opens + "</STMTTRN>", true).size(), 24u);
  EXPECT_EQ(Read(std::string(16u << 20, '<'), true), "");
  TImportBatch batch;
  EXPECT_EQ(ReadOfxText(many, batch, 2026), 20000u);
}

}  // namespace
