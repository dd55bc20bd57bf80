#include "ui/envelope_tree_window.h"

#include <QAction>

#include "core/account_list.h"
#include "core/envelope_list.h"
#include "core/vorla_data.h"
#include "transactions/transfers.h"
#include "transactions/xmanager.h"
#include "ui/commands.h"

namespace {

constexpr int kCmdInsertEnvelope = 104;
constexpr int kCmdInsertBundle = 105;
constexpr int kCmdInsertAssociation = 106;
constexpr int kCmdOpenLedger = 117;
constexpr int kCmdEditProperties = 101;
constexpr int kCmdDeleteItem = 24325;
constexpr int kCmdToggleWatchdog = 107;
constexpr int kCmdZeroEnvelope = 24516;
constexpr int kCmdListConfiguration = 122;
constexpr int kCmdLedgerReport = 148;
constexpr int kCmdActivityReport = 149;
constexpr int kCmdSummaryReport = 147;

TEnvelopeNode& AsEnvelopeNode(TTreeItem& node) {
  return static_cast<TEnvelopeNode&>(node);
}

template <class T>
bool Is(const TTreeItem* node) {
  return dynamic_cast<const T*>(node) != nullptr;
}

}  // namespace

TEnvelopeTreeWindow::TEnvelopeTreeWindow(TVorlaData& document, TOptionsSource options,
                                         QWidget* parent)
    : TEnhancedListWindow(QStringLiteral("Envelope List"), document.Envelopes(),
                          document.EnvelopeLayout(), std::move(options), parent),
      document_(document) {
  AddCommand(kCmdInsertEnvelope, "Insert &Envelope...\tCtrl+E",
             {QKeySequence(Qt::CTRL | Qt::Key_E)}, [this] { Insert(TInsertKind::Envelope); });
  AddCommand(kCmdInsertBundle, "Insert &Bundle...\tCtrl+B", {QKeySequence(Qt::CTRL | Qt::Key_B)},
             [this] { Insert(TInsertKind::Bundle); });
  AddCommand(kCmdInsertAssociation, "Insert &Association...\tCtrl+A",
             {QKeySequence(Qt::CTRL | Qt::Key_A)}, [this] { Insert(TInsertKind::Association); });
  AddSeparator();
  AddCommand(kCmdOpenLedger, "Open &Envelope Ledger\tEnter",
             {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)},
             [this] { OpenLedgers(); });
  AddSeparator();
  AddCommand(kCmdEditProperties, "Edit &Properties...\tAlt+Enter",
             {QKeySequence(Qt::ALT | Qt::Key_Return), QKeySequence(Qt::ALT | Qt::Key_Enter)},
             [this] { EditProperties(); });
  AddCommand(kCmdDeleteItem, "&Delete Envelope Item\tCtrl+Del",
             {QKeySequence(Qt::CTRL | Qt::Key_Delete)}, [this] { DeleteItems(); });
  AddCommand(kCmdToggleWatchdog, "&Toggle Watchdog\tCtrl+D", {QKeySequence(Qt::CTRL | Qt::Key_D)},
             [this] { ToggleWatchdogs(); });
  // Ctrl+Z is Undo in every window; one key cannot also empty envelopes.
  AddCommand(kCmdZeroEnvelope, "&Zero Out Envelope...", {}, [this] { ZeroEnvelopes(); });
  AddSeparator();
  AddMainWindowCommand(kCmdListConfiguration, "Envelope List &Configuration...");
  AddSeparator();
  AddMainWindowCommand(kCmdLedgerReport, "Print Envelope &Ledger Report...");
  AddMainWindowCommand(kCmdActivityReport, "Print E&nvelope Activity Report...");
  AddMainWindowCommand(kCmdSummaryReport, "Print Envelope &Summary Report...");
  AddMainWindowCommand(kCmdSpendingChart, "Chart S&pending by Envelope...");
  AddMainWindowCommand(kCmdEnvelopeBalancesChart, "Chart Envelope &Balances over Time...");
  UpdateCommands();
}

void TEnvelopeTreeWindow::SetLedgerHook(TLedgerHook hook) {
  ledgerHook_ = std::move(hook);
  UpdateCommands();
}

TPictureKind TEnvelopeTreeWindow::PictureKind(const TTreeItem& node) const {
  if (Is<TEnv>(&node))
    return TPictureKind::Envelope;
  if (Is<TEnvelopeAlias>(&node))
    return TPictureKind::Alias;
  if (Is<TBundle>(&node))
    return TPictureKind::Bundle;
  if (Is<TAssociation>(&node))
    return TPictureKind::Association;
  return TPictureKind::EnvelopeRoot;
}

bool TEnvelopeTreeWindow::ShowsWatchdog(const TTreeItem& node) const {
  const auto& envelopeNode = static_cast<const TEnvelopeNode&>(node);
  return envelopeNode.HasWatchdog() && envelopeNode.Watchdog();
}

void TEnvelopeTreeWindow::DoubleClicked(TTreeItem& node, int column) {
  if (column == 1) {
    document_.Envelopes().AskToggleWatchdog(AsEnvelopeNode(node));
  } else if (auto* envelope = dynamic_cast<TEnv*>(&node);
             envelope != nullptr && column > node.Depth() + 1) {
    if (ledgerHook_)
      ledgerHook_(envelope->Id());
  } else {
    TEnhancedListWindow::DoubleClicked(node, column);
  }
}

void TEnvelopeTreeWindow::EnableCommands() {
  const TTreeSelection& selection = Selection();
  const TTreeItem* first = selection.Count() == 1 ? selection.First() : nullptr;
  const bool filled = !selection.Empty();
  bool anyEnvelope = false;
  bool anyAlias = false;
  bool allDeletable = filled;
  bool allWatched = filled;
  bool allEnvelopes = filled;
  for (TTreeItem* node : selection.Nodes()) {
    const bool envelope = Is<TEnv>(node);
    anyEnvelope = anyEnvelope || envelope;
    anyAlias = anyAlias || Is<TEnvelopeAlias>(node);
    allDeletable = allDeletable && AsEnvelopeNode(*node).MayDelete();
    allWatched = allWatched && AsEnvelopeNode(*node).HasWatchdog();
    allEnvelopes = allEnvelopes && envelope;
  }
  const bool rootOrBundle = Is<TEnvelopeRoot>(first) || Is<TBundle>(first);
  Command(kCmdInsertEnvelope)->setEnabled(rootOrBundle || Is<TEnv>(first));
  Command(kCmdInsertBundle)->setEnabled(rootOrBundle);
  Command(kCmdInsertAssociation)->setEnabled(Is<TEnvelopeRoot>(first));
  Command(kCmdOpenLedger)->setEnabled(anyEnvelope && ledgerHook_ != nullptr);
  Command(kCmdEditProperties)->setEnabled(filled && !anyAlias);
  Command(kCmdDeleteItem)->setEnabled(allDeletable);
  Command(kCmdToggleWatchdog)->setEnabled(allWatched);
  Command(kCmdZeroEnvelope)->setEnabled(allEnvelopes);
}

void TEnvelopeTreeWindow::Insert(TInsertKind kind) {
  if (Selection().Count() != 1)
    return;
  TEnvelopeNode& at = AsEnvelopeNode(*Selection().First());
  TEnvelopeList& envelopes = document_.Envelopes();
  TTreeItem* made = nullptr;
  switch (kind) {
    case TInsertKind::Envelope:
      made = envelopes.AddEnvelope(at);
      break;
    case TInsertKind::Bundle:
      made = envelopes.AddBundle(at);
      break;
    case TInsertKind::Association:
      made = envelopes.AddAssociation(at);
      break;
  }
  SelectNew(made);
}

void TEnvelopeTreeWindow::OpenLedgers() {
  if (!ledgerHook_)
    return;
  for (TTreeItem* node : SelectionCopy()) {
    if (!StillSelected(*node))
      continue;
    if (auto* envelope = dynamic_cast<TEnv*>(node))
      ledgerHook_(envelope->Id());
  }
}

void TEnvelopeTreeWindow::EditProperties() {
  for (TTreeItem* node : SelectionCopy()) {
    if (!StillSelected(*node))
      continue;
    if (!document_.Envelopes().EditProperties(AsEnvelopeNode(*node)))
      break;
  }
}

void TEnvelopeTreeWindow::DeleteItems() {
  for (TTreeItem* node : SelectionCopy()) {
    // Deleting an envelope takes its aliases with it; those are no longer selected then.
    if (!StillSelected(*node))
      continue;
    if (!document_.Envelopes().DeleteItem(AsEnvelopeNode(*node), document_.Accounts()))
      break;
  }
}

void TEnvelopeTreeWindow::ToggleWatchdogs() {
  for (TTreeItem* node : SelectionCopy())
    document_.Envelopes().ToggleWatchdog(AsEnvelopeNode(*node));
}

void TEnvelopeTreeWindow::ZeroEnvelopes() {
  TXManager& manager = TransactionsOf(document_);
  std::vector<uint32_t> selected;
  for (TTreeItem* node : SelectionCopy()) {
    if (auto* envelope = dynamic_cast<TEnv*>(node))
      selected.push_back(envelope->Id());
  }
  TXTransfers::ZeroEnvelopes(manager, selected);
}
