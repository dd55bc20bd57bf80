#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/amount.h"
#include "core/date_value.h"
#include "reports/form_data.h"
#include "reports/report_options.h"

class TVorlaData;
class TClock;

/// The envelope summary: the balance of one envelope node and of every node below it, in tree
/// order, printable on six page sizes from a plain sheet to business cards and organizer pages.
class TEnvelopeSummaryReport final : public TFormData {
 public:
  /// One line of the summary.
  struct TItem {
    std::string name;
    int level = 0;  ///< levels below the tree's top, for the indented names
    TAmount balance;
  };

  /// How one size lays the items out.
  struct TLayout {
    uint32_t format = 0;           ///< the page format
    int rows = 0;                  ///< rows per table, the heading row included
    bool heading = false;          ///< a heading row and indented names
    std::vector<int> tables;       ///< the regions that hold tables, in table order
    uint32_t tableFlags = 0;       ///< grid lines
    bool headerAndFooter = false;  ///< regions 2 and 3 are the page header and footer
  };
  static const TLayout& LayoutOf(TEnvelopeSummarySize size);

  /// Reads the document now; the clock, which dates the page footers, must outlive the report.
  TEnvelopeSummaryReport(const TVorlaData& document, const TClock& clock,
                         const TEnvelopeSummaryOptions& options);

  const std::vector<TItem>& Items() const { return items_; }

  uint32_t GetPageFormat(int page) const override;
  void GetSection(int page, int region, TCellInfo& info) const override;
  void GetCell(int page, int region, int row, int column, TCellInfo& info) const override;
  int GetPageCount() const override;
  std::string GetTitle() const override { return "Envelope Summary Report"; }

  std::string ExportText() const override;
  std::string ClipboardText() const override { return ExportText(); }
  std::string ExportTitle() const override { return "Export Envelope Summary File Name"; }

 private:
  /// Items that one table holds below its heading.
  int ItemsPerTable() const;
  /// The position of `region` among the table regions (1-based), or 0.
  int TableNumber(int region) const;

  const TLayout& layout_;
  std::vector<TItem> items_;
  const TClock& clock_;
};
