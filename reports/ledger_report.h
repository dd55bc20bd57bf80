#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "reports/form_data.h"

class TClock;
class TVorlaData;
class TXItem;
class TXManager;
struct TLedgerReportOptions;

/// One column of a ledger report: its printed heading, the transaction text it shows (a cell
/// column of the transaction item, or the description), its proportional width and its style.
struct TLedgerColumn {
  const char* heading;
  int cell;
  uint32_t width;
  uint32_t flags;
};

/// What tells the account ledger report from the envelope ledger report.
struct TLedgerLayout {
  const char* title;        ///< the print job's title
  const char* headerStart;  ///< the page-1 header before the subject's name
  const char* exportTitle;
  const char* exportHeader;  ///< the first line of the export, line end included
  std::span<const TLedgerColumn> columns;
  int labelColumn;      ///< 1-based column of the words "Subtotals" and "Total"
  uint32_t filterMode;  ///< the mode of the filter made when the dialog hands none
};

/// The transactions of one account or envelope node over a date range, with the payments and
/// deposits summed and their difference. The report holds the identifiers of the transactions
/// in ledger order and the totals; every text is made when a cell or a line is asked for, so a
/// budget of a million transactions costs four bytes a transaction until the export is built.
class TLedgerReport : public TFormData {
 public:
  /// Cell number of the description ("payee (memo)") among the columns.
  static constexpr int kDescriptionCell = 0;
  /// The payee and the memo are each cut to the record's text size.
  static constexpr size_t kDescriptionPartLimit = 89;
  /// A heading row and 44 lines a page.
  static constexpr int kRowsPerPage = 45;
  static constexpr int kLinesPerPage = kRowsPerPage - 1;

  uint32_t GetPageFormat(int page) const override;
  void GetSection(int page, int region, TCellInfo& info) const override;
  void GetCell(int page, int region, int row, int column, TCellInfo& info) const override;
  int GetPageCount() const override;
  std::string GetTitle() const override { return layout_.title; }
  std::string ExportText() const override;
  std::string ClipboardText() const override { return ExportText(); }
  TClipboardRefusal ClipboardRefusal() const override {
    return {"Quenbrook",
            "The list of transactions is too large.  Try exporting the list to a file.  Or "
            "shorten it by changing the date range."};
  }
  std::string ExportTitle() const override { return layout_.exportTitle; }

  size_t Count() const { return ids_.size(); }
  /// Sums in 64 bits: a million amounts of 21 million cannot overflow them.
  int64_t PaymentTotal() const { return payments_; }
  int64_t DepositTotal() const { return deposits_; }
  int64_t NetTotal() const { return deposits_ - payments_; }
  /// The account's or envelope node's name, as the page-1 header shows it.
  const std::string& SubjectName() const { return subject_; }
  /// The column texts of the transaction at a 1-based position in the report.
  std::vector<std::string> RowTexts(size_t position) const;

 protected:
  /// Sets the options' filter (or a report filter of its own when the options hold none) to
  /// the target and the dates, and gathers the transactions it accepts. Both dates empty means
  /// any date.
  TLedgerReport(const TVorlaData& document, const TClock& clock,
                const TLedgerReportOptions& options, const TLedgerLayout& layout);

  /// The header, every row (without the column `skip`, 0 keeps all) ending in `end`, and the
  /// subtotal and total lines.
  std::string BuildText(const char* header, int skip, const char* end) const;

 private:
  std::string ClosingLines() const;
  static void AppendLine(std::string& out, const std::vector<std::string>& texts, int skip,
                         const char* end);
  std::string CellText(const TXItem& item, int cell) const;

  const TLedgerLayout& layout_;
  const TClock& clock_;
  TXManager* manager_ = nullptr;
  std::string subject_;
  std::vector<uint32_t> ids_;
  int64_t payments_ = 0;
  int64_t deposits_ = 0;
  // The engine asks for a row cell by cell: the last row's texts are kept for the next cell.
  mutable size_t cachedPosition_ = 0;
  mutable std::vector<std::string> cachedRow_;
};
