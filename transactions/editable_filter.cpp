#include "transactions/editable_filter.h"

#include <limits>
#include <string>
#include <string_view>

#include "core/account_list.h"
#include "core/amount.h"
#include "core/clock.h"
#include "core/envelope_list.h"
#include "core/leading_number.h"
#include "core/user_port.h"
#include "transactions/envelope_tree.h"

namespace {

// The number a code begins with, read the way a check number is typed: leading blanks are
// skipped and a sign counts, so "12abc" is 12, "-5" is -5 and "DEBIT" is 0. A negative code is
// thus neither a check number nor a plain text.
int64_t LeadingNumber(std::string_view code) {
  return ReadLeadingNumber(code, {.blanks = " \t"}).Signed();
}

// Case matters in both forms; an empty text is contained in every field.
bool TextMatches(std::string_view field, std::string_view text, bool exact) {
  return exact ? field == text : field.find(text) != std::string_view::npos;
}

void CutTo(std::string& text, size_t limit) {
  if (text.size() > limit)
    text.resize(limit);
}

}  // namespace

TEditableFilter::TEditableFilter(uint32_t mode, uint32_t targetId, const TEnvelopeList& envelopes,
                                 const TAccountList& accounts, const TClock& clock)
    : mode_(mode), targetId_(targetId), envelopes_(envelopes), accounts_(accounts), clock_(clock) {
  criteria_ = DefaultCriteria();
}

TFilterCriteria TEditableFilter::DefaultCriteria() const {
  uint32_t firstItem = 0;
  if (IsAccountFilter()) {
    const std::vector<TItemChoice> choices = envelopes_.EnvelopeChoices();
    if (!choices.empty())
      firstItem = choices.front().id;
  } else {
    firstItem = accounts_.NthAccountId(1);
  }
  return TFilterCriteria::Defaults(clock_.Today(), firstItem);
}

void TEditableFilter::Reset() {
  markers_.fill(false);
  active_ = false;
  criteria_ = DefaultCriteria();
}

TFilterDialogSetup TEditableFilter::DialogSetup() const {
  TFilterDialogSetup setup;
  setup.accountFilter = IsAccountFilter();
  setup.reportFilter = (mode_ & kReport) != 0;
  if (setup.accountFilter) {
    setup.itemGroupTitle = " Envelope ";
    setup.byItemLabel = "Envelope:";
    setup.transferLabel = "Account Transfer";
    setup.choices = envelopes_.EnvelopeChoices();
  } else {
    setup.itemGroupTitle = " Account ";
    setup.byItemLabel = "Account:";
    setup.transferLabel = "Envelope Transfer";
    setup.choices = accounts_.AccountChoices();
  }
  return setup;
}

bool TEditableFilter::EditWithDialog(TUserPort& user) {
  TFilterCriteria edited = criteria_;
  if (!user.EditTransactionFilter(edited, DialogSetup()))
    return false;
  // The dialog's fields hold no more than the record's fields; a longer text could never match
  // exactly and would only hide that.
  CutTo(edited.codeText, TFilterCriteria::kCodeTextLimit);
  CutTo(edited.payeeText, TFilterCriteria::kTextLimit);
  CutTo(edited.memoText, TFilterCriteria::kTextLimit);
  criteria_ = std::move(edited);
  markers_.fill(false);
  active_ = true;
  return true;
}

void TEditableFilter::ApplyPredefined(TPredefinedFilter which, bool on) {
  Reset();
  markers_[Index(which)] = on;
  if (!on)
    return;
  active_ = true;
  TFilterCriteria& c = criteria_;
  c.normalView = false;
  c.reconcileView = true;
  if (which != TPredefinedFilter::NewlyImported) {
    c.anyState = false;
    c.notClearedOrPending = true;
  }
  switch (which) {
    case TPredefinedFilter::AllUnreconciled:
      break;
    case TPredefinedFilter::UnreconciledDeposits:
      c.anyAmount = false;
      c.deposit = true;
      break;
    case TPredefinedFilter::UnreconciledChecks:
      c.anyAmount = false;
      c.payment = true;
      c.anyCode = false;
      c.numberOnly = true;
      break;
    case TPredefinedFilter::UnreconciledNonChecks:
      c.anyAmount = false;
      c.payment = true;
      c.anyCode = false;
      c.nonNumber = true;
      break;
    case TPredefinedFilter::NewlyImported:
      c.anyImportState = false;
      c.newImportOnly = true;
      break;
  }
}

void TEditableFilter::SetDateRange(TDateValue from, TDateValue to) {
  criteria_.fromDate = from;
  criteria_.toDate = to;
}

void TEditableFilter::SetDateRangeActive(bool on) {
  criteria_.dateRange = on;
  criteria_.anyDate = !on;
}

bool TEditableFilter::Accepts(const TXRecord& record) const {
  if ((mode_ & kIncludeBlank) == 0 && !record.IsLive())
    return false;
  if (!BelongsToTarget(record))
    return false;
  // An empty row stays where it is, so that a filtered ledger still offers it for typing.
  if (!record.IsLive())
    return true;
  return MeetsCriteria(record);
}

bool TEditableFilter::BelongsToTarget(const TXRecord& record) const {
  const bool blankAccountRow = !record.IsLive() && (record.Flags & kXAccountSide) != 0;
  if ((mode_ & kAccount) != 0) {
    if (record.IsMultipleKid() || (record.Flags & kXEnvelopeOnly) != 0 ||
        record.AccountId != targetId_) {
      return false;
    }
  }
  if ((mode_ & kEnvelope) != 0) {
    if (blankAccountRow || record.EnvelopeId != targetId_)
      return false;
  }
  if ((mode_ & kEnvelopeTree) != 0) {
    if (blankAccountRow || !IsEnvelopeAtOrBelow(envelopes_, record.EnvelopeId, targetId_)) {
      return false;
    }
  }
  return true;
}

bool TEditableFilter::MeetsCriteria(const TXRecord& record) const {
  const TFilterCriteria& c = criteria_;
  const bool account = IsAccountFilter();

  if (c.dateRange && (record.date < c.fromDate || record.date > c.toDate))
    return false;

  if (c.deposit && record.amount <= 0)
    return false;
  if (c.payment && record.amount >= 0)
    return false;
  if (c.amountRange) {
    // The bounds are typed amounts and follow the same rounding and size rule as a ledger entry.
    const int32_t from = CentsFromEntry(c.fromAmount);
    const int32_t to = CentsFromEntry(c.toAmount);
    if (record.amount < from || record.amount > to)
      return false;
  }

  if (c.numberOnly && LeadingNumber(record.GetCode()) < 1)
    return false;
  if (c.nonNumber && LeadingNumber(record.GetCode()) != 0)
    return false;
  if (c.codeTextOn && !TextMatches(record.GetCode(), c.codeText, c.codeExact))
    return false;

  const uint32_t clearedMark = account ? record.AccountCleared : record.EnvelopeCleared;
  if (c.notClearedOrPending && clearedMark > 1)
    return false;
  if (c.cleared && clearedMark == 0)
    return false;
  if (c.notCleared && clearedMark != 0)
    return false;

  if (c.payeeTextOn && !TextMatches(record.GetPayableTo(), c.payeeText, c.payeeExact)) {
    return false;
  }
  if (c.memoTextOn && !TextMatches(record.GetMemo(), c.memoText, c.memoExact))
    return false;

  if (c.transfer && !(account ? record.IsAccountTransfer() : record.IsEnvelopeTransfer())) {
    return false;
  }
  if (c.multiple && !(account ? record.IsMultiple() : record.IsMultipleKid()))
    return false;
  if (c.byItem) {
    const bool chosen = account ? IsEnvelopeAtOrBelow(envelopes_, record.EnvelopeId, c.itemId)
                                : record.AccountId == c.itemId;
    if (!chosen)
      return false;
  }

  if (c.newImportOnly && record.NewImport == 0)
    return false;
  return true;
}
