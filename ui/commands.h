#pragma once

#include <span>

/// The commands of the main window, by the numbers the program has always given them.
enum TCommandId : int {
  kCmdNew = 24331,
  kCmdOpen = 24332,
  kCmdSave = 24333,
  kCmdSaveAs = 24334,
  kCmdClose = 24339,
  kCmdCloseWindow = 24340,
  kCmdImportQif = 24529,
  kCmdImportOfx = 24528,
  kCmdImportCsv = 24530,
  kCmdPrinterSetup = 24338,
  kCmdExit = 24310,
  kCmdUndo = 24321,
  kCmdRedo = 24326,
  kCmdCut = 24322,
  kCmdCopy = 24323,
  kCmdPaste = 24324,
  kCmdDelete = 24325,
  kCmdAllocationPlan = 138,
  kCmdTemplates = 139,
  kCmdMainConfiguration = 121,
  kCmdAccountListConfiguration = 123,
  kCmdEnvelopeListConfiguration = 122,
  kCmdTransactionViewConfiguration = 124,
  kCmdConfirmImports = 24521,
  kCmdConfirmCleared = 24522,
  kCmdAccountLedgerReport = 141,
  kCmdEnvelopeLedgerReport = 148,
  kCmdAccountSummaryReport = 143,
  kCmdEnvelopeSummaryReport = 147,
  kCmdEnvelopeActivityReport = 149,
  kCmdAllocationPlanReport = 150,
  kCmdSpendingChart = 24601,
  kCmdEnvelopeBalancesChart = 24602,
  kCmdIncomeSpendingChart = 24603,
  kCmdNetWorthChart = 24604,
  kCmdAccountList = 113,
  kCmdEnvelopeList = 112,
  kCmdCascade = 24361,
  kCmdTile = 24362,
  kCmdTileHorizontally = 24363,
  kCmdArrangeIcons = 24364,
  kCmdHelpContents = 24381,
  kCmdCheckForUpdates = 24525,
  kCmdWebsite = 24524,
  kCmdAbout = 24389,
  kCmdApplyTemplate = 136,
  kCmdCreateTransfer = 129,
  kCmdMultiple = 128,
  kCmdSelectEnvelope = 131,
  kCmdEditFilter = 24507,
  kCmdClearFilter = 24508,
  kCmdAllUnreconciled = 24509,
  kCmdUnreconciledDeposits = 24512,
  kCmdUnreconciledChecks = 24511,
  kCmdUnreconciledNonChecks = 24510,
  kCmdNewlyImported = 24518,
};

/// Where a command stands in this build.
enum class TCommandState {
  /// Carried out by the main window.
  Ready,
  /// Its subsystem (import, planning, reports) is not part of the program yet: shown disabled.
  NotYetBuilt,
  /// Acts on the current ledger window, and there are no ledger windows yet: shown disabled.
  NeedsLedger,
  /// Undo and Redo: enabled and named by the open budget's history.
  History,
};

/// One command: its number, the menu text (with its mnemonic), the short name of its control-bar
/// button (empty when it has none; the button shows a picture and names the command in its tip),
/// the hint shown in the status bar (followed, after a line break, by the tooltip when that is not
/// the menu text) and whether it needs an open budget.
struct TCommandInfo {
  TCommandId id;
  const char* menuText;
  const char* buttonText;
  const char* hint;
  bool needsFile;
  TCommandState state;
};

/// Every command of the main window.
std::span<const TCommandInfo> Commands();
/// The information of one command.
const TCommandInfo& CommandInfo(TCommandId id);
/// The control-bar buttons in their order; 0 stands for a separator.
std::span<const int> ControlBarLayout();
