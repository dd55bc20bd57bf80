#include "reports/account_summary_report.h"

#include "core/account_list.h"
#include "core/vorla_data.h"
#include "reports/report_text.h"

TAccountSummaryReport::TAccountSummaryReport(const TVorlaData& document, const TClock& clock)
    : clock_(clock) {
  const TAccountList& accounts = document.Accounts();
  for (const TItemChoice& account : accounts.AccountChoices()) {
    lines_.push_back(
        {account.name, accounts.GetBalance(account.id), accounts.GetRecBalance(account.id)});
  }
}

uint32_t TAccountSummaryReport::GetPageFormat(int) const {
  return kPlainPageFormat;
}

int TAccountSummaryReport::GetPageCount() const {
  return PagesFor(static_cast<int64_t>(lines_.size()), kAccountsPerPage);
}

void TAccountSummaryReport::GetSection(int page, int region, TCellInfo& info) const {
  SetPlainPageSection(info, page, region, {50, 20, 20}, kRowsPerPage, "Account Summary Report",
                      TCellInfo::kBold | TCellInfo::kCentred, clock_);
}

void TAccountSummaryReport::GetCell(int page, int region, int row, int column,
                                    TCellInfo& info) const {
  static constexpr const char* kHeadings[] = {"Account", "Balance", "Cleared"};
  if (region != kTableRegion || page < 1 || row < 1 || row > kRowsPerPage || column < 1 ||
      column > 3) {
    return;
  }
  if (row == 1) {
    SetHeadingCell(info, kHeadings[column - 1]);
    return;
  }
  const int64_t position = row + int64_t{page - 1} * kAccountsPerPage - 1;
  if (position > static_cast<int64_t>(lines_.size()))
    return;
  const TLine& line = lines_[static_cast<size_t>(position - 1)];
  if (column == 1)
    SetTextCell(info, line.name, kLeftClipped);
  else
    SetTextCell(info, BracketedMoneyText(column == 2 ? line.balance : line.cleared),
                TCellInfo::kRight);
}

std::string TAccountSummaryReport::ClipboardText() const {
  std::string out;
  for (const TLine& line : lines_) {
    out += line.name + "\t" + BracketedMoneyText(line.balance) + "\t" +
           BracketedMoneyText(line.cleared) + "\n";
  }
  return out;
}

std::string TAccountSummaryReport::ExportText() const {
  return WithCrLf(ClipboardText());
}
