#include "presentation/xview_model.h"

#include <cmath>
#include <optional>

#include "core/account_list.h"
#include "core/amount.h"
#include "core/clock.h"
#include "core/envelope_list.h"
#include "core/model_error.h"
#include "core/user_port.h"
#include "transactions/editable_filter.h"
#include "transactions/fixed_filters.h"
#include "transactions/template_fill.h"
#include "transactions/transfers.h"
#include "transactions/xitem.h"
#include "transactions/xmanager.h"

namespace {

constexpr const char* kCaption = "Quenbrook";

/// The multiple a multiple view shows, held once. A delete consumes every reference, so the
/// hold hears of it and lets go without releasing; the view keeps what it last saw.
class TMultipleHold final : public TXList {
 public:
  TMultipleHold(TXManager& manager, TXItem& multiple)
      : TXList(manager, nullptr),
        item_(manager.Get(multiple.Id()).release()),
        last_(item_->Record()) {}
  ~TMultipleHold() override {
    if (item_ != nullptr && Manager() != nullptr)
      Manager()->Release(item_);
  }
  const TXRecord& Record() const { return item_ != nullptr ? item_->Record() : last_; }
  TXItem* Item() const { return item_; }

  void Changed(TXItem&) override {}
  void Removed(TXItem& item) override {
    if (&item != item_)
      return;
    last_ = item.Record();
    item_ = nullptr;
  }
  void Added(TXItem&) override {}
  bool HoldsAnyMatching(const TXFilter& filter) const override {
    return item_ != nullptr && filter.Accepts(item_->Record());
  }
  bool Holds(const TXItem& item) const override { return &item == item_; }

 private:
  TXItem* item_;
  TXRecord last_;
};

TXRecord EmptyRow(uint32_t flags, TDateValue today) {
  TXRecord row{};
  row.Flags = flags;
  row.date = TDateValue(0, 0, today.Year());
  row.created = today;
  return row;
}

std::optional<TPredefinedFilter> PredefinedOf(int command) {
  switch (command) {
    case kXCmdAllUnreconciled:
      return TPredefinedFilter::AllUnreconciled;
    case kXCmdUnreconciledNonChecks:
      return TPredefinedFilter::UnreconciledNonChecks;
    case kXCmdUnreconciledChecks:
      return TPredefinedFilter::UnreconciledChecks;
    case kXCmdUnreconciledDeposits:
      return TPredefinedFilter::UnreconciledDeposits;
    case kXCmdNewlyImported:
      return TPredefinedFilter::NewlyImported;
    default:
      return std::nullopt;
  }
}

void ApplyPredefined(TEditableFilter& filter, TPredefinedFilter which, bool on) {
  switch (which) {
    case TPredefinedFilter::AllUnreconciled:
      return filter.ApplyAllUnreconciled(on);
    case TPredefinedFilter::UnreconciledNonChecks:
      return filter.ApplyUnreconciledNonChecks(on);
    case TPredefinedFilter::UnreconciledChecks:
      return filter.ApplyUnreconciledChecks(on);
    case TPredefinedFilter::UnreconciledDeposits:
      return filter.ApplyUnreconciledDeposits(on);
    case TPredefinedFilter::NewlyImported:
      return filter.ApplyNewlyImported(on);
  }
}

}  // namespace

struct TXViewModel::TState {
  TXViewMode mode = TXViewMode::Account;
  TXManager* manager = nullptr;
  uint32_t subject = 0;
  // Owned by the row source; the view changes its criteria.
  TEditableFilter* filter = nullptr;
  // Made before the rows so that it goes after them: the rows' new parts hold the multiple too.
  std::unique_ptr<TMultipleHold> multiple;
  std::unique_ptr<TXViewList> rows;
};

TXViewModel::TXViewModel(std::unique_ptr<TState> state) : state_(std::move(state)) {}

TXViewModel::~TXViewModel() {
  state_->rows.reset();
  state_->multiple.reset();
}

std::unique_ptr<TXViewModel> TXViewModel::ForAccount(TXManager& manager, const TClock& clock,
                                                     uint32_t accountId, unsigned openFlags) {
  auto filter = std::make_unique<TEditableFilter>(TEditableFilter::kAccountLedger, accountId,
                                                  manager.Envelopes(), manager.Accounts(), clock);
  if ((openFlags & kOpenReconcile) != 0)
    filter->ApplyAllUnreconciled(true);
  if ((openFlags & kOpenNewlyImported) != 0)
    filter->ApplyNewlyImported(true);
  TXRecord row = EmptyRow(kXAccountSide, clock.Today());
  row.AccountId = accountId;
  row.EnvelopeId = manager.Accounts().GetDefaultEnvelope(accountId);

  auto state = std::make_unique<TState>();
  state->mode = TXViewMode::Account;
  state->manager = &manager;
  state->subject = accountId;
  state->filter = filter.get();
  state->rows = std::make_unique<TXViewList>(manager, std::move(filter), row);
  return std::unique_ptr<TXViewModel>(new TXViewModel(std::move(state)));
}

std::unique_ptr<TXViewModel> TXViewModel::ForEnvelope(TXManager& manager, const TClock& clock,
                                                      uint32_t envelopeId, unsigned openFlags) {
  auto filter = std::make_unique<TEditableFilter>(TEditableFilter::kEnvelopeLedger, envelopeId,
                                                  manager.Envelopes(), manager.Accounts(), clock);
  if ((openFlags & kOpenReconcile) != 0)
    filter->ApplyAllUnreconciled(true);
  TXRecord row = EmptyRow(kXEnvelopeOnly, clock.Today());
  row.EnvelopeId = envelopeId;

  auto state = std::make_unique<TState>();
  state->mode = TXViewMode::Envelope;
  state->manager = &manager;
  state->subject = envelopeId;
  state->filter = filter.get();
  state->rows = std::make_unique<TXViewList>(manager, std::move(filter), row);
  return std::unique_ptr<TXViewModel>(new TXViewModel(std::move(state)));
}

std::unique_ptr<TXViewModel> TXViewModel::ForMultiple(TXManager& manager, TXItem& multiple) {
  const TXRecord& record = multiple.Record();
  // The empty rows become parts of this record; anything else would make parts of nothing.
  if (!record.IsMultiple() || record.IsMultipleKid())
    throw TModelError("Internal error: a multiple view needs a multiple.");
  TXRecord row = EmptyRow(kXMultipleKidMask, manager.Today());
  row.AccountId = record.AccountId;
  row.EnvelopeId = manager.Accounts().GetDefaultEnvelope(record.AccountId);
  row.ParentId = record.Id;
  row.date = record.date;
  row.SetMemo(record.GetPayableTo());
  row.SetCode("mult");

  auto state = std::make_unique<TState>();
  state->mode = TXViewMode::Multiple;
  state->manager = &manager;
  state->subject = record.Id;
  state->multiple = std::make_unique<TMultipleHold>(manager, multiple);
  state->rows =
      std::make_unique<TXViewList>(manager, std::make_unique<TMultKidsFilter>(record.Id), row);
  return std::unique_ptr<TXViewModel>(new TXViewModel(std::move(state)));
}

TXViewMode TXViewModel::Mode() const {
  return state_->mode;
}

uint32_t TXViewModel::SubjectId() const {
  return state_->subject;
}

TXManager& TXViewModel::Manager() const {
  return *state_->manager;
}

TXViewList& TXViewModel::Rows() {
  return *state_->rows;
}

TXItem* TXViewModel::Multiple() const {
  return state_->multiple != nullptr ? state_->multiple->Item() : nullptr;
}

TEditableFilter* TXViewModel::Filter() const {
  return state_->filter;
}

bool TXViewModel::IsReconcileView() const {
  return state_->filter != nullptr && state_->filter->IsReconcileView();
}

unsigned TXViewModel::OpenForm() const {
  if (state_->filter != nullptr && state_->filter->ShowsNewlyImported())
    return kOpenNewlyImported;
  return IsReconcileView() ? unsigned{kOpenReconcile} : 0u;
}

// ----- Appearance -----

std::string TXViewModel::Caption() const {
  TXManager& manager = *state_->manager;
  switch (state_->mode) {
    case TXViewMode::Account:
      return "Account: " + manager.Accounts().NameOfAccount(state_->subject);
    case TXViewMode::Envelope:
      return "Envelope: " + manager.Envelopes().NameOfEnvelope(state_->subject);
    case TXViewMode::Multiple:
      break;
  }
  const TXRecord& record = state_->multiple->Record();
  std::string caption = "Multiple: " + manager.Accounts().NameOfAccount(record.AccountId);
  if (!record.GetCode().empty())
    caption += ", " + std::string(record.GetCode());
  if (!record.date.IsEmpty())
    caption += " from " + record.date.Format(TDateValue::kShortYear);
  return caption;
}

std::vector<TXViewColumn> TXViewModel::Columns(const TXViewColumnSettings& settings) const {
  auto width = [](uint32_t chars) { return static_cast<int>(chars); };
  if (state_->mode == TXViewMode::Multiple) {
    return {{width(settings.payableToWidth * 3 / 2), TXItem::kColPayableTo},
            {width(settings.envelopeWidth * 3 / 2), TXItem::kColEnvelope},
            {width(settings.amountWidth), TXItem::kColPayment},
            {width(settings.amountWidth), TXItem::kColDeposit}};
  }
  const bool account = state_->mode == TXViewMode::Account;
  std::vector<TXViewColumn> columns;
  columns.push_back({width(settings.codeWidth), TXItem::kColCode});
  columns.push_back(settings.datesWithYear ? TXViewColumn{10, TXItem::kColDateWithYear}
                                           : TXViewColumn{7, TXItem::kColDate});
  columns.push_back({width(settings.payableToWidth), TXItem::kColPayableTo});
  if (settings.memoWidth != 0)
    columns.push_back({width(settings.memoWidth), TXItem::kColMemo});
  if (account) {
    columns.push_back({width(settings.envelopeWidth), TXItem::kColEnvelope});
    columns.push_back({2, TXItem::kColAccountCleared});
  } else {
    columns.push_back({2, TXItem::kColEnvelopeCleared});
  }
  columns.push_back({width(settings.amountWidth), TXItem::kColPayment});
  columns.push_back({width(settings.amountWidth), TXItem::kColDeposit});
  if (!account)
    columns.push_back({width(settings.accountWidth), TXItem::kColAccount});
  return columns;
}

uint32_t TXViewModel::Background(bool deepColour) const {
  switch (state_->mode) {
    case TXViewMode::Account:
      return deepColour ? 0xFFFFA4 : 0xFFFF00;
    case TXViewMode::Envelope:
      return deepColour ? 0x80FF80 : 0x00FF00;
    case TXViewMode::Multiple:
      break;
  }
  return deepColour ? 0xC8C8FF : 0x00FFFF;
}

bool TXViewModel::TopMode() const {
  return state_->mode == TXViewMode::Multiple || IsReconcileView();
}

int TXViewModel::CursorColumn() const {
  if (!IsReconcileView())
    return 0;
  return state_->mode == TXViewMode::Account ? TXItem::kColAccountCleared
                                             : TXItem::kColEnvelopeCleared;
}

// ----- Status strip -----

std::string TXViewModel::StatusLabel() const {
  switch (state_->mode) {
    case TXViewMode::Account:
      return IsReconcileView() ? "Balance of Cleared Items:" : "Account Balance:";
    case TXViewMode::Envelope:
      return IsReconcileView() ? "Balance of Cleared Items:" : "Envelope Balance:";
    case TXViewMode::Multiple:
      break;
  }
  return "Multiple Total: ";
}

double TXViewModel::StatusValue() const {
  TXManager& manager = *state_->manager;
  const uint32_t id = state_->subject;
  int32_t cents = 0;
  switch (state_->mode) {
    case TXViewMode::Account:
      // The view of an account or envelope being deleted may paint once more before it closes.
      if (manager.Accounts().Account(id) != nullptr) {
        cents = IsReconcileView() ? manager.Accounts().GetRecBalance(id)
                                  : manager.Accounts().GetBalance(id);
      }
      break;
    case TXViewMode::Envelope:
      if (manager.Envelopes().Envelope(id) != nullptr) {
        cents = IsReconcileView() ? manager.Envelopes().EnvelopeRecBalance(id)
                                  : manager.Envelopes().EnvelopeBalance(id);
      }
      break;
    case TXViewMode::Multiple:
      cents = state_->multiple->Record().amount;
      break;
  }
  return cents / 100.0;
}

std::string TXViewModel::StatusValueText(double value) {
  const std::string text = TAmount::FromUnits(std::fabs(value)).Format(TAmount::kThousands);
  return value < 0 ? " (" + text + ")" : " " + text;
}

std::string TXViewModel::MemoLine(const TXItem* item) {
  return item != nullptr ? item->ColumnText(TXItem::kColMemoExpanded) : std::string();
}

bool TXViewModel::ClosesOn(TXViewNotice notice, uint32_t id) const {
  if (id != state_->subject)
    return false;
  switch (state_->mode) {
    case TXViewMode::Account:
      return notice == TXViewNotice::AccountDeleted;
    case TXViewMode::Envelope:
      return notice == TXViewNotice::EnvelopeMoved;
    case TXViewMode::Multiple:
      break;
  }
  return notice == TXViewNotice::MultiplePartsRemoved;
}

// ----- Commands -----

bool TXViewModel::IsEnabled(int command, const TXItem* current, size_t templateCount) const {
  const bool multipleView = state_->mode == TXViewMode::Multiple;
  switch (command) {
    case kXCmdViewConfiguration:
    case kXCmdClose:
      return true;
    case kXCmdEditFilter:
    case kXCmdAllUnreconciled:
    case kXCmdUnreconciledNonChecks:
    case kXCmdUnreconciledChecks:
    case kXCmdUnreconciledDeposits:
    case kXCmdNewlyImported:
      return !multipleView;
    case kXCmdClearFilter:
      return !multipleView && state_->filter->IsActive();
    default:
      break;
  }
  if (current == nullptr)
    return false;
  switch (command) {
    case kXCmdDelete:
    case kXCmdErase:
      return current->CanDelete();
    case kXCmdEditMemo:
    case kXCmdToday:
      return !multipleView && current->CanEditDateCodeMemo();
    case kXCmdClearUnclear:
      // A multiple view shows no cleared column; its parts are cleared through their multiple.
      if (state_->mode == TXViewMode::Account)
        return current->CanToggleAccountCleared();
      return !multipleView && current->CanToggleEnvelopeCleared();
    case kXCmdNextCheckNumber:
      return current->CanUseNextCheckNumber();
    case kXCmdMultiple:
    case kXCmdSelectEnvelope:
      return current->IsAccountTransaction();
    case kXCmdCreateTransfer:
      return current->CanCreateTransfer();
    case kXCmdApplyTemplate:
      if (const TXTemplateApplier* templates = state_->manager->TemplateApplier();
          templateCount == 0 && templates != nullptr)
        templateCount = templates->TemplateCount();
      return current->CanApplyTemplate(templateCount);
    default:
      return false;
  }
}

bool TXViewModel::IsChecked(int command) const {
  const std::optional<TPredefinedFilter> which = PredefinedOf(command);
  return which && state_->filter != nullptr && state_->filter->Marker(*which);
}

TXViewCommandResult TXViewModel::Run(int command, TXItem* current, int cursorColumn) {
  using TMove = TXViewCommandResult::TCursorMove;
  TXViewCommandResult result;
  if (!IsEnabled(command, current))
    return result;
  TXManager& manager = *state_->manager;
  TUserPort& user = manager.User();
  auto confirmed = [&user](const char* question) {
    return user.Ask(kCaption, question, TMessageButtons::YesNo, TMessageIcon::Exclamation) ==
           TMessageAnswer::Yes;
  };
  if (const std::optional<TPredefinedFilter> which = PredefinedOf(command)) {
    ApplyPredefined(*state_->filter, *which, !state_->filter->Marker(*which));
    result.relayout = true;
    return result;
  }
  switch (command) {
    case kXCmdDelete:
      // The rows hear of the delete and let the item go; the delete consumes its references.
      if (confirmed(kDeleteQuestion))
        manager.Delete(current);
      break;
    case kXCmdErase:
      if (confirmed(kEraseQuestion))
        current->Erase();
      break;
    case kXCmdEditMemo: {
      std::string memo = current->ColumnText(TXItem::kColMemo);
      if (user.EditMemo(memo))
        current->SetColumnText(TXItem::kColMemo, memo);
      break;
    }
    case kXCmdToday:
      current->SetToday();
      if (cursorColumn == TXItem::kColDate || cursorColumn == TXItem::kColDateWithYear)
        result.cursor = TMove::NextCell;
      break;
    case kXCmdClearUnclear:
      if (state_->mode == TXViewMode::Account) {
        current->ToggleAccountCleared();
      } else {
        current->ToggleEnvelopeCleared();
      }
      if (cursorColumn == TXItem::kColAccountCleared ||
          cursorColumn == TXItem::kColEnvelopeCleared) {
        result.cursor = current->Record().amount == 0 ? TMove::NextCell : TMove::NextRow;
      }
      break;
    case kXCmdNextCheckNumber:
      current->SetColumnText(TXItem::kColCode,
                             std::to_string(manager.NextCheckNumber(current->Record().AccountId)));
      if (cursorColumn == TXItem::kColCode)
        result.cursor = TMove::NextCell;
      break;
    case kXCmdMultiple:
      result.openMultiple = TXTransfers::MakeMultiple(*current);
      break;
    case kXCmdCreateTransfer:
      TXTransfers::CreateTransfer(*current);
      break;
    case kXCmdSelectEnvelope:
      TXTransfers::SelectEnvelope(*current);
      break;
    case kXCmdEditFilter:
      result.relayout = state_->filter->EditWithDialog(user);
      break;
    case kXCmdClearFilter:
      state_->filter->Reset();
      result.relayout = true;
      break;
    case kXCmdApplyTemplate:
      // A transaction that has become a multiple shows its parts in their own view.
      if (manager.TemplateApplier()->ApplyTemplate(*current) && current->Record().IsMultiple())
        result.openMultiple = current->Id();
      break;
    default:
      // The configuration dialog and closing are the window's.
      break;
  }
  return result;
}

bool TXViewModel::CanClose() {
  if (!state_->rows->HoldsAnyMatching(TEnvelopeNoTransferFilter()))
    return true;
  return state_->manager->User().Ask(kCaption, kCloseQuestion, TMessageButtons::YesNo,
                                     TMessageIcon::Error) == TMessageAnswer::Yes;
}
