#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reports/form_data.h"

class TClock;
class TVorlaData;

/// "Account Summary Report": every account of the account list in its order, with its balance
/// and its cleared balance. The accounts are read once when the report is made.
class TAccountSummaryReport final : public TFormData {
 public:
  /// A heading row and 39 accounts a page.
  static constexpr int kRowsPerPage = 40;
  static constexpr int kAccountsPerPage = kRowsPerPage - 1;

  struct TLine {
    std::string name;
    int32_t balance = 0;
    int32_t cleared = 0;
  };

  TAccountSummaryReport(const TVorlaData& document, const TClock& clock);

  uint32_t GetPageFormat(int page) const override;
  void GetSection(int page, int region, TCellInfo& info) const override;
  void GetCell(int page, int region, int row, int column, TCellInfo& info) const override;
  int GetPageCount() const override;
  std::string GetTitle() const override { return "Account Summary Report"; }
  /// The lines as a file written in text mode receives them: each ends in CR LF.
  std::string ExportText() const override;
  /// The same lines, each ending in a line feed only.
  std::string ClipboardText() const override;
  TClipboardRefusal ClipboardRefusal() const override {
    return {"Quenbrook", "The list is too long.  Try exporting it to a file."};
  }
  std::string ExportTitle() const override { return "Export Account Summary File Name"; }

  const std::vector<TLine>& Lines() const { return lines_; }

 private:
  const TClock& clock_;
  std::vector<TLine> lines_;
};
