#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/amount.h"
#include "core/date_value.h"
#include "reports/form_data.h"
#include "reports/report_options.h"

class TVorlaData;
class TClock;

/// The allocation plan report: the plan's amount per envelope and template slot, converted to
/// one period, with line, slot and grand totals.
class TAllocationPlanReport final : public TFormData {
 public:
  static constexpr int kSlots = 10;
  static constexpr int kRowsPerPage = 50;  ///< heading, 48 lines and the totals row

  struct TLine {
    std::string name;
    TAmount total;
    std::array<TAmount, kSlots> amounts{};
  };

  /// Loads the plan for the report and unloads it again; the document is left as it was. The
  /// clock, which dates the page footers, must outlive the report.
  TAllocationPlanReport(TVorlaData& document, const TClock& clock,
                        const TAllocationPlanReportOptions& options);

  const std::vector<TLine>& Lines() const { return lines_; }

  uint32_t GetPageFormat(int) const override { return 100; }
  void GetSection(int page, int region, TCellInfo& info) const override;
  void GetCell(int page, int region, int row, int column, TCellInfo& info) const override;
  int GetPageCount() const override;
  std::string GetTitle() const override { return "Allocation Plan Report"; }

  /// The file as a text-mode write leaves it: every line ends with CR LF.
  std::string ExportText() const override;
  /// Lines end with a line feed alone.
  std::string ClipboardText() const override { return Text(); }
  TClipboardRefusal ClipboardRefusal() const override {
    return {"Quenbrook",
            "The list of templates is too large.\n\nTry exporting the list to a file."};
  }
  std::string ExportTitle() const override { return "Export Allocation Plan File Name"; }

 private:
  /// The text with "\n" line ends.
  std::string Text() const;
  bool SlotUsed(int slot) const { return !slotNames_[static_cast<size_t>(slot)].empty(); }

  std::string periodName_;
  std::array<std::string, kSlots> slotNames_;
  std::array<TAmount, kSlots> slotTotals_{};
  TAmount grandTotal_;
  std::vector<TLine> lines_;
  const TClock& clock_;
};
