#include "ui/commands.h"

#include <array>

namespace {

using S = TCommandState;

constexpr std::array<TCommandInfo, 56> kCommands = {{
    {kCmdNew, "&New...", "", "Create a new budget file", false, S::Ready},
    {kCmdOpen, "&Open...", "", "Open an existing budget file", false, S::Ready},
    {kCmdSave, "&Save", "", "Save the budget", true, S::Ready},
    {kCmdSaveAs, "Save &As...", "", "Save the budget under a new name", true, S::Ready},
    {kCmdClose, "&Close", "", "Close the budget", true, S::Ready},
    {kCmdCloseWindow, "C&lose Window", "", "Close the current window", false, S::Ready},
    {kCmdImportQif, "&QIF File...", "", "Import QIF File", true, S::Ready},
    {kCmdImportOfx, "&OFX File...", "", "Import OFX File", true, S::Ready},
    {kCmdImportCsv, "&CSV File...", "", "Import CSV File", true, S::Ready},
    {kCmdPrinterSetup, "P&rinter Setup...", "", "Choose the printer and the page set-up", false,
     S::Ready},
    {kCmdExit, "E&xit", "", "Save the settings and leave Quenbrook", false, S::Ready},
    {kCmdUndo, "&Undo", "Undo", "Take back the last change", true, S::History},
    {kCmdRedo, "&Redo", "Redo", "Make the change taken back again", true, S::History},
    {kCmdCut, "Cu&t\tShift+Del", "", "Delete the current transaction and keep a copy of it", true,
     S::NeedsLedger},
    {kCmdCopy, "&Copy\tCtrl+Ins", "", "Copy the current transaction", true, S::NeedsLedger},
    {kCmdPaste, "&Paste\tShift+Ins", "", "Add the copied transaction", true, S::NeedsLedger},
    {kCmdDelete, "&Delete\tCtrl+Del", "", "Delete the current transaction", true, S::NeedsLedger},
    {kCmdAllocationPlan, "Open Allocation &Plan...", "Plan",
     "Edit allocation plan\nEdit Allocation Plan", true, S::Ready},
    {kCmdTemplates, "View &Transaction Templates...", "Templates",
     "Manage transaction templates\nManage Templates", true, S::Ready},
    {kCmdMainConfiguration, "&Main Configuration...", "", "Change the program's main settings",
     false, S::Ready},
    {kCmdAccountListConfiguration, "&Account List Configuration...", "",
     "Choose the balances the account list shows", false, S::Ready},
    {kCmdEnvelopeListConfiguration, "&Envelope List Configuration...", "",
     "Choose the balances the envelope list shows", false, S::Ready},
    {kCmdTransactionViewConfiguration, "Transaction &View Configuration...", "",
     "Set the column widths and date options of the ledgers", false, S::Ready},
    {kCmdConfirmImports, "Confirm All &Imports", "",
     "Mark every newly imported transaction as seen", true, S::Ready},
    {kCmdConfirmCleared, "Confirm All &Cleared", "", "Give every pending cleared mark today's date",
     true, S::Ready},
    {kCmdAccountLedgerReport, "&Account Ledger...", "", "Print an account ledger", true, S::Ready},
    {kCmdEnvelopeLedgerReport, "&Envelope Ledger...", "", "Print an envelope ledger", true,
     S::Ready},
    {kCmdAccountSummaryReport, "Account &Summary...", "", "Print the account summary", true,
     S::Ready},
    {kCmdEnvelopeSummaryReport, "En&velope Summary...", "", "Print the envelope summary", true,
     S::Ready},
    {kCmdEnvelopeActivityReport, "E&nvelope Activity...", "", "Print the envelope activity", true,
     S::Ready},
    {kCmdAllocationPlanReport, "Allocation &Plan...", "", "Print the allocation plan", true,
     S::Ready},
    {kCmdSpendingChart, "&Spending by Envelope...", "", "Chart what each envelope spent", true,
     S::Ready},
    {kCmdEnvelopeBalancesChart, "&Envelope Balances over Time...", "",
     "Chart envelope balances over time", true, S::Ready},
    {kCmdIncomeSpendingChart, "&Income and Spending by Month...", "",
     "Chart income against spending by month", true, S::Ready},
    {kCmdNetWorthChart, "&Account Balances over Time...", "", "Chart account balances over time",
     true, S::Ready},
    {kCmdAccountList, "Display &Account List", "Accounts", "Show the list of accounts", true,
     S::Ready},
    {kCmdEnvelopeList, "Display &Envelope List", "Envelopes", "Show the list of envelopes", true,
     S::Ready},
    {kCmdCascade, "&Cascade", "", "Arrange the windows so that they overlap", false, S::Ready},
    {kCmdTile, "&Tile", "", "Arrange the windows side by side", false, S::Ready},
    {kCmdTileHorizontally, "Tile &Horizontally", "", "Arrange the windows one above the other",
     false, S::Ready},
    {kCmdArrangeIcons, "Arrange &Icons", "", "Line up the minimised windows", false, S::Ready},
    {kCmdHelpContents, "&Help Contents...", "", "Open the Quenbrook manual", false, S::Ready},
    {kCmdCheckForUpdates, "&Check for Updates...", "",
     "Ask the Quenbrook server whether a newer version exists", false, S::Ready},
    {kCmdWebsite, "Open Quenbrook &Website...", "", "Open the Quenbrook web site", false, S::Ready},
    {kCmdAbout, "&About Quenbrook...", "", "Show the version of Quenbrook", false, S::Ready},
    {kCmdApplyTemplate, "A&pply Template", "Template",
     "Apply a template to current transaction\nApply Template", true, S::NeedsLedger},
    {kCmdCreateTransfer, "Create &Transfer", "Transfer", "Make the current transaction a transfer",
     true, S::NeedsLedger},
    {kCmdMultiple, "Create/View &Multiple", "Multiple",
     "Split the current transaction over several envelopes", true, S::NeedsLedger},
    {kCmdSelectEnvelope, "Select &Envelope", "Envelope",
     "Choose the envelope of the current transaction", true, S::NeedsLedger},
    {kCmdEditFilter, "Edit Filter...", "Filter", "Choose which transactions the ledger shows", true,
     S::NeedsLedger},
    {kCmdClearFilter, "Clear Filter", "Clear Filter", "Show every transaction of the ledger", true,
     S::NeedsLedger},
    {kCmdAllUnreconciled, "View All Unreconciled", "Uncleared",
     "Show the transactions that are not cleared", true, S::NeedsLedger},
    {kCmdUnreconciledDeposits, "View Unreconciled Deposits", "Deposits",
     "Show the deposits that are not cleared", true, S::NeedsLedger},
    {kCmdUnreconciledChecks, "View Unreconciled Checks", "Checks",
     "Show the checks that are not cleared", true, S::NeedsLedger},
    {kCmdUnreconciledNonChecks, "View Unreconciled Non-Checks", "Non-Checks",
     "Show the payments without a check number that are not cleared", true, S::NeedsLedger},
    {kCmdNewlyImported, "View Newly Imported Transactions", "Imported",
     "Show the transactions the last import brought in", true, S::NeedsLedger},
}};

constexpr std::array<int, 23> kControlBar = {
    kCmdUndo,
    kCmdRedo,
    0,
    kCmdAccountList,
    kCmdEnvelopeList,
    0,
    kCmdTemplates,
    kCmdAllocationPlan,
    0,
    kCmdApplyTemplate,
    kCmdCreateTransfer,
    kCmdMultiple,
    kCmdSelectEnvelope,
    0,
    kCmdEditFilter,
    kCmdClearFilter,
    0,
    kCmdAllUnreconciled,
    kCmdUnreconciledDeposits,
    kCmdUnreconciledChecks,
    kCmdUnreconciledNonChecks,
    0,
    kCmdNewlyImported,
};

}  // namespace

std::span<const TCommandInfo> Commands() {
  return kCommands;
}

const TCommandInfo& CommandInfo(TCommandId id) {
  for (const TCommandInfo& info : kCommands) {
    if (info.id == id)
      return info;
  }
  return kCommands.front();
}

std::span<const int> ControlBarLayout() {
  return kControlBar;
}
