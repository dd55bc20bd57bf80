#pragma once

#include <string>

#include "reports/form_engine.h"

/// A report shaped like a ledger on the plain page format: a header on page 1, a table of 45
/// rows by 7 columns (bold headings on grey, then rows whose cells say where they are, such as
/// "P2 R3 C4"), and a footer. For the page player's tests, the benchmark and the pictures.
class TLedgerLikeReport : public CFWEngine {
 public:
  explicit TLedgerLikeReport(int pages, uint32_t format = 100) : pages_(pages), format_(format) {}

  uint32_t GetPageFormat(int) const override { return format_; }
  void GetSection(int page, int region, TCellInfo& info) const override {
    if (region == 1) {
      info.kind = TCellInfo::kTable;
      info.flags = TCellInfo::kColumnLines | TCellInfo::kRowLines;
      info.table.widths = {15, 15, 85, 35, 6, 20, 20};
      info.table.rows = 45;
    } else if (region == 2 && page == 1) {
      info.kind = TCellInfo::kText;
      info.flags = TCellInfo::kCentred | TCellInfo::kBold;
      info.text = "Account Ledger: Caf\xE9 Checking";
    } else if (region == 3) {
      info.kind = TCellInfo::kText;
      info.flags = TCellInfo::kRight;
      info.text = "Page " + std::to_string(page) + ", 12/07/2026";
    } else {
      info.kind = TCellInfo::kNothing;
    }
  }
  void GetCell(int page, int, int row, int column, TCellInfo& info) const override {
    static const char* const kHeadings[] = {
        "No.", "Date", "Description/Payable To (Memo)", "Envelope", "X", "Payment", "Deposit"};
    info.kind = TCellInfo::kText;
    if (row == 1) {
      info.text = kHeadings[column - 1];
      info.flags = TCellInfo::kCentred | TCellInfo::kBold | TCellInfo::kOpaque;
      info.background = 0xC4C4C4;
      return;
    }
    info.flags = column >= 6 ? TCellInfo::kRight : TCellInfo::kClipped;
    info.text =
        "P" + std::to_string(page) + " R" + std::to_string(row) + " C" + std::to_string(column);
  }
  int GetPageCount() const override { return pages_; }
  std::string GetTitle() const override { return "Account Ledger Report"; }

 private:
  int pages_;
  uint32_t format_;
};
