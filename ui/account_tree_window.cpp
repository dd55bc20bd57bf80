#include "ui/account_tree_window.h"

#include <QAction>

#include "core/account_list.h"
#include "core/envelope_list.h"
#include "core/vorla_data.h"
#include "ui/commands.h"

namespace {

constexpr int kCmdInsertAccount = 110;
constexpr int kCmdInsertGroup = 111;
constexpr int kCmdOpenLedger = 115;
constexpr int kCmdOpenReconcile = 116;
constexpr int kCmdEditProperties = 101;
constexpr int kCmdDeleteItem = 24325;
constexpr int kCmdListConfiguration = 123;
constexpr int kCmdLedgerReport = 141;
constexpr int kCmdSummaryReport = 143;

TAccountNode& AsAccountNode(TTreeItem& node) {
  return static_cast<TAccountNode&>(node);
}

}  // namespace

TAccountTreeWindow::TAccountTreeWindow(TVorlaData& document, TOptionsSource options,
                                       QWidget* parent)
    : TEnhancedListWindow(QStringLiteral("Account List"), document.Accounts(),
                          document.AccountLayout(), std::move(options), parent),
      document_(document) {
  AddCommand(kCmdInsertAccount, "Insert &Account...\tCtrl+A", {QKeySequence(Qt::CTRL | Qt::Key_A)},
             [this] { Insert(false); });
  AddCommand(kCmdInsertGroup, "Insert Account &Group...\tCtrl+G",
             {QKeySequence(Qt::CTRL | Qt::Key_G)}, [this] { Insert(true); });
  AddSeparator();
  AddCommand(kCmdOpenLedger, "Open &Account Ledger\tEnter",
             {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)},
             [this] { OpenLedgers(false); });
  AddCommand(kCmdOpenReconcile, "Open Account &Reconcile\tCtrl+Enter",
             {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)},
             [this] { OpenLedgers(true); });
  AddSeparator();
  AddCommand(kCmdEditProperties, "&Edit Account Properties...\tAlt+Enter",
             {QKeySequence(Qt::ALT | Qt::Key_Return), QKeySequence(Qt::ALT | Qt::Key_Enter)},
             [this] { EditProperties(); });
  AddCommand(kCmdDeleteItem, "&Delete Account Item\tCtrl+Del",
             {QKeySequence(Qt::CTRL | Qt::Key_Delete)}, [this] { DeleteItems(); });
  AddSeparator();
  AddMainWindowCommand(kCmdListConfiguration, "Account List &Configuration...");
  AddSeparator();
  AddMainWindowCommand(kCmdLedgerReport, "Print Account &Ledger Report...");
  AddMainWindowCommand(kCmdSummaryReport, "Print Account &Summary Report...");
  AddMainWindowCommand(kCmdNetWorthChart, "Chart Account &Balances over Time...");
  AddMainWindowCommand(kCmdIncomeSpendingChart, "Chart &Income and Spending by Month...");
  UpdateCommands();
}

void TAccountTreeWindow::SetLedgerHook(TLedgerHook hook) {
  ledgerHook_ = std::move(hook);
  UpdateCommands();
}

TPictureKind TAccountTreeWindow::PictureKind(const TTreeItem& node) const {
  if (const auto* account = dynamic_cast<const TAccount*>(&node))
    return AccountPictureKind(account->Type());
  if (dynamic_cast<const TAccountGroup*>(&node) != nullptr)
    return TPictureKind::AccountGroup;
  return TPictureKind::AccountRoot;
}

void TAccountTreeWindow::DoubleClicked(TTreeItem& node, int column) {
  const int pictureColumn = node.Depth() + 1;
  if (dynamic_cast<TAccountGroup*>(&node) != nullptr) {
    node.ToggleExpanded();
  } else if (auto* account = dynamic_cast<TAccount*>(&node)) {
    if (column > pictureColumn && ledgerHook_)
      ledgerHook_(account->Id(), false);
  } else {
    TEnhancedListWindow::DoubleClicked(node, column);
  }
}

void TAccountTreeWindow::EnableCommands() {
  const TTreeSelection& selection = Selection();
  TTreeItem* first = selection.First();
  const bool one = selection.Count() == 1;
  bool anyAccount = false;
  bool allDeletable = !selection.Empty();
  for (TTreeItem* node : selection.Nodes()) {
    anyAccount = anyAccount || dynamic_cast<TAccount*>(node) != nullptr;
    allDeletable = allDeletable && AsAccountNode(*node).MayDelete();
  }
  Command(kCmdInsertAccount)->setEnabled(one);
  Command(kCmdInsertGroup)->setEnabled(one && AsAccountNode(*first).AcceptsChildren());
  Command(kCmdOpenLedger)->setEnabled(anyAccount && ledgerHook_ != nullptr);
  Command(kCmdOpenReconcile)->setEnabled(anyAccount && ledgerHook_ != nullptr);
  Command(kCmdEditProperties)->setEnabled(!selection.Empty());
  Command(kCmdDeleteItem)->setEnabled(allDeletable);
}

void TAccountTreeWindow::Insert(bool group) {
  if (Selection().Count() != 1)
    return;
  TAccountNode& at = AsAccountNode(*Selection().First());
  TAccountList& accounts = document_.Accounts();
  TTreeItem* made = group ? static_cast<TTreeItem*>(accounts.AddGroup(at))
                          : accounts.AddAccount(at, document_.Envelopes());
  SelectNew(made);
}

void TAccountTreeWindow::OpenLedgers(bool reconcile) {
  if (!ledgerHook_)
    return;
  for (TTreeItem* node : SelectionCopy()) {
    if (!StillSelected(*node))
      continue;
    if (auto* account = dynamic_cast<TAccount*>(node))
      ledgerHook_(account->Id(), reconcile);
  }
}

void TAccountTreeWindow::EditProperties() {
  for (TTreeItem* node : SelectionCopy()) {
    if (!StillSelected(*node))
      continue;
    if (!document_.Accounts().EditProperties(AsAccountNode(*node), document_.Envelopes()))
      break;
  }
}

void TAccountTreeWindow::DeleteItems() {
  for (TTreeItem* node : SelectionCopy()) {
    if (!StillSelected(*node))
      continue;
    if (!document_.Accounts().DeleteItem(AsAccountNode(*node)))
      break;
  }
}
