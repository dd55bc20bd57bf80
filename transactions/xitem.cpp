#include "transactions/xitem.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>

#include "core/account_list.h"
#include "core/amount.h"
#include "core/amount_expression.h"
#include "core/envelope_list.h"
#include "core/envelope_node.h"
#include "core/model_error.h"
#include "core/user_port.h"
#include "transactions/remembered_fill.h"
#include "transactions/xmanager.h"

namespace {

constexpr double kAmountEntryLimit = 20000000.0;

}  // namespace

std::string QuotedRefusal(std::string_view text, std::string_view reason) {
  std::string message = "\"";
  message.append(text);
  message.append("\" ");
  message.append(reason);
  return message;
}

std::string TXItem::AmountRefusal(std::string_view text, bool unreadable) {
  if (unreadable) {
    return QuotedRefusal(text,
                         "is not an amount.  Type a number such as 12.50, or a calculation such as "
                         "(10+5)*2.");
  }
  return QuotedRefusal(text, "is too large.  An amount must be less than 20,000,000.00.");
}

namespace {

std::string DateRefusal(std::string_view text) {
  return QuotedRefusal(
      text,
      "is not a date.  Type the month and the day, such as 3/15, or 3/15/24 with the "
      "year.");
}

// A date emptied on purpose: nothing before the year, as the date editor starts.
bool LeavesDateEmpty(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos || text[first] == '/';
}

// The headings of the row columns, by column number; those used only for text output have none.
constexpr const char* kHeadings[] = {
    "",
    "Account",
    "Envelope",
    "Class A",
    "Class B",
    "#/Type",
    "Date",
    "Date",
    "Created",
    "",
    "x",
    "x",
    "",
    "",
    "Payment",
    "Deposit",
    "Payable To/Description",
    "",
    "Memo",
    "",
};

// The envelope column of a record: what a multiple and an account transfer half show instead.
std::string EnvelopeColumn(const TXRecord& record, const TEnvelopeList& envelopes) {
  if (record.IsMultiple())
    return "Multiple";
  if (record.IsAccountTransfer())
    return "Account Transfer";
  return envelopes.NameOfEnvelope(record.EnvelopeId);
}

std::string AccountColumn(const TXRecord& record, const TAccountList& accounts) {
  if ((record.Flags & kXAccountSide) == 0)
    return "None";
  return accounts.NameOfAccount(record.AccountId);
}

std::string DateText(uint32_t packed, unsigned flags) {
  return TDateValue::FromPacked(packed).Format(flags);
}

// The amount columns show sizes: the payment column the size of a negative amount, the
// deposit column a positive amount, and "0.00" where the amount has the other sign.
std::string AmountColumn(int32_t amount, bool payment) {
  const int64_t cents = amount;
  if (payment ? cents >= 0 : cents <= 0)
    return "0.00";
  return TAmount::FromCents(payment ? -cents : cents).Format(TAmount::kThousands);
}

// The two-digit year the date editor starts with when the user types a date.
// A date typed as digits alone ("0607", "060720", "06072020") reads as month, day and year.
std::string WithDateSlashes(std::string_view text) {
  const bool digits = !text.empty() && std::all_of(text.begin(), text.end(),
                                                   [](char c) { return c >= '0' && c <= '9'; });
  if (!digits || (text.size() != 4 && text.size() != 6 && text.size() != 8))
    return std::string(text);
  std::string slashed = std::string(text.substr(0, 2)) + "/" + std::string(text.substr(2, 2));
  if (text.size() > 4)
    slashed += "/" + std::string(text.substr(4));
  return slashed;
}

}  // namespace

TXItem::TXItem(TXManager& manager, const TXRecord& record, TXItem* parent, uint32_t slot)
    : manager_(&manager), record_(record), parent_(parent), slot_(slot) {}

TXItem::~TXItem() {
  if (parent_ != nullptr)
    manager_->Release(parent_);
}

// ----- Posting -----

void TXItem::ChangeAmount(int32_t delta, bool noPartner) {
  TXManager& manager = *manager_;
  // The partner is taken first, so that a damaged link refuses the change before any balance
  // has moved.
  TXHold partner;
  if (!noPartner && record_.IsTransferHalf())
    partner = manager.Get(record_.PartnerId);

  if (record_.PostsToAccount()) {
    TAccountList& accounts = manager.Accounts();
    if (record_.AccountCleared != 0)
      accounts.ChangeRecBalance(record_.AccountId, delta);
    accounts.ChangeBalance(record_.AccountId, delta);
  } else if (record_.PostsThroughMultiple()) {
    if (parent_ == nullptr) {
      throw TModelError("Internal error: transaction " + std::to_string(record_.Id) +
                        " has lost its multiple.");
    }
    parent_->ChangeAmount(delta, false);
  }
  record_.amount = AddCents(record_.amount, delta);
  if (record_.PostsToEnvelope()) {
    manager.PostToEnvelope(record_.EnvelopeId, delta, record_.EnvelopeCleared != 0);
  }
  if (partner) {
    partner->ChangeAmount(NegateCents(delta), true);
    partner.reset();
  }
  Commit(true);
}

void TXItem::SetAmount(int32_t cents) {
  const int64_t delta = int64_t{cents} - record_.amount;
  if (delta >= std::numeric_limits<int32_t>::min() &&
      delta <= std::numeric_limits<int32_t>::max()) {
    ChangeAmount(static_cast<int32_t>(delta), false);
    return;
  }
  // A change from a large payment to a large deposit does not fit one 32-bit step.
  ChangeAmount(NegateCents(record_.amount), false);
  ChangeAmount(cents, false);
}

void TXItem::SetEnvelope(uint32_t envelopeId) {
  if (envelopeId == record_.EnvelopeId)
    return;
  const int32_t amount = record_.amount;
  ChangeAmount(NegateCents(amount), false);
  record_.EnvelopeId = envelopeId;
  ChangeAmount(amount, false);
}

bool TXItem::IsBlank() const {
  // A statement line of 0.00 without a payee is still a line the bank sent: the import's records
  // wait for the user's review, and no commit may take them for an untouched ledger row.
  return record_.GetPayableTo().empty() && record_.amount == 0 && !record_.IsMultiple() &&
         !record_.IsTransferHalf() && record_.NewImport == 0;
}

void TXItem::Commit(bool notify) {
  if (IsBlank()) {
    record_.Flags &= ~uint32_t{kXLive};
  } else {
    record_.Flags |= kXLive;
  }
  if (record_.IsMultipleKid() && parent_ != nullptr) {
    const TXRecord& multiple = parent_->record_;
    record_.SetCode("m." + std::string(multiple.GetCode()));
    record_.date = multiple.date;
    record_.SetMemo(multiple.GetPayableTo());
    record_.Flags |= kXUnsorted;
  }
  manager_->StoreItem(*this);
  manager_->SetModified();
  if (notify)
    manager_->BroadcastChanged(*this);
}

void TXItem::Erase() {
  if (record_.IsInert())
    return;
  TXManager& manager = *manager_;
  const uint32_t hidden = record_.Flags & kXHidden;
  // The other half of a transfer is taken leniently: a half whose partner is missing from a
  // damaged file is still emptied.
  auto takePartner = [&]() {
    TXHold partner;
    if (record_.PartnerId != record_.Id && manager.FindRecord(record_.PartnerId) != nullptr) {
      partner = manager.Get(record_.PartnerId);
    }
    return partner;
  };

  if (record_.IsMultiple()) {
    manager.RemoveParts(*this);
    record_.Flags = kXNewPayment | hidden;
    record_.EnvelopeId = manager.Accounts().GetDefaultEnvelope(record_.AccountId);
  } else if (record_.IsAccountTransfer()) {
    TXHold partner = takePartner();
    const uint32_t envelope = manager.Accounts().GetDefaultEnvelope(record_.AccountId);
    ChangeAmount(NegateCents(record_.amount), true);
    record_.Flags = kXNewPayment | hidden;
    record_.EnvelopeId = envelope;
    record_.PartnerId = 0;
    if (partner) {
      TXRecord& other = partner->record_;
      const uint32_t otherEnvelope = manager.Accounts().GetDefaultEnvelope(other.AccountId);
      partner->ChangeAmount(NegateCents(other.amount), true);
      other.Flags = kXNewPayment | (other.Flags & kXHidden);
      other.EnvelopeId = otherEnvelope;
      other.PartnerId = 0;
      partner->Erase();
    }
  } else if (record_.IsEnvelopeTransfer()) {
    TXHold partner = takePartner();
    ChangeAmount(NegateCents(record_.amount), true);
    record_.Flags = kXNewEnvelopeEntry | hidden;
    record_.AccountId = 0;
    record_.PartnerId = 0;
    if (partner) {
      TXRecord& other = partner->record_;
      partner->ChangeAmount(NegateCents(other.amount), true);
      other.Flags = kXNewEnvelopeEntry | (other.Flags & kXHidden);
      other.AccountId = 0;
      other.PartnerId = 0;
      partner->Erase();
    }
  } else if ((record_.Flags & kXAccountSide) != 0) {
    const uint32_t envelope = manager.Accounts().GetDefaultEnvelope(record_.AccountId);
    ChangeAmount(NegateCents(record_.amount), false);
    record_.EnvelopeId = envelope;
  } else {
    ChangeAmount(NegateCents(record_.amount), false);
  }

  if (record_.IsMultipleKid() && parent_ != nullptr) {
    const TXRecord& multiple = parent_->record_;
    record_.SetCode(multiple.GetCode());
    record_.SetMemo(multiple.GetPayableTo());
    record_.AccountCleared = multiple.AccountCleared;
    record_.date = multiple.date;
  } else {
    record_.SetCode({});
    record_.SetMemo({});
    record_.AccountCleared = 0;
    record_.date = TDateValue(0, 0, record_.date.Year());
  }
  record_.SetPayableTo({});
  record_.EnvelopeCleared = 0;
  // An erased import is nothing left to review, and blank like any erased transaction.
  record_.NewImport = 0;
  record_.created = manager.Today();
  Commit(true);
}

void TXItem::SetAccountClearedDate(TDateValue date) {
  if (record_.IsInert() || date.Packed() == 0 || !record_.PostsToAccount())
    return;
  if (record_.AccountCleared == 0) {
    manager_->Accounts().ChangeRecBalance(record_.AccountId, record_.amount);
  }
  record_.AccountCleared = date.Packed();
  Commit(true);
}

void TXItem::SetToday() {
  if (!CanEditDateCodeMemo())
    return;
  record_.date = manager_->Today();
  Commit(true);
  RecommitPartsIfMultiple();
}

void TXItem::RecommitPartsIfMultiple() {
  if (record_.IsMultiple())
    manager_->RecommitParts(*this);
}

// ----- Predicates -----

bool TXItem::IsAccountTransaction() const {
  return !record_.IsInert() && (record_.Flags & kXAccountSide) != 0;
}

bool TXItem::CanEditDateCodeMemo() const {
  return !record_.IsInert() && !record_.IsMultipleKid();
}

bool TXItem::CanToggleAccountCleared() const {
  return IsAccountTransaction() && !record_.IsMultipleKid();
}

bool TXItem::CanToggleEnvelopeCleared() const {
  return !record_.IsInert() && !record_.IsMultiple() && !record_.IsAccountTransfer();
}

bool TXItem::CanCreateTransfer() const {
  return CanToggleAccountCleared() || (!record_.IsInert() && (record_.Flags & kXEnvelopeOnly) != 0);
}

bool TXItem::CanApplyTemplate(size_t templateCount) const {
  return templateCount > 0 && CanToggleAccountCleared();
}

bool TXItem::CanUseNextCheckNumber() const {
  return CanToggleAccountCleared();
}

// ----- Clearing -----

void TXItem::ToggleAccountCleared() {
  if (!CanToggleAccountCleared())
    return;
  SetAccountClearedText(record_.AccountCleared != 0 ? "-" : "x");
}

void TXItem::ToggleEnvelopeCleared() {
  if (!CanToggleEnvelopeCleared())
    return;
  SetEnvelopeClearedText(record_.EnvelopeCleared != 0 ? "-" : "x");
}

void TXItem::SetAccountClearedText(std::string_view text) {
  // Only a record that moves its account itself may move the cleared balance; a part's amount
  // is cleared through its multiple.
  if (!CanToggleAccountCleared())
    return;
  const bool marked = !text.empty() && text.front() == 'x';
  if (record_.AccountCleared != 0 && !marked) {
    record_.AccountCleared = 0;
    manager_->Accounts().ChangeRecBalance(record_.AccountId, NegateCents(record_.amount));
    Commit(true);
  } else if (record_.AccountCleared == 0 && marked) {
    manager_->Accounts().ChangeRecBalance(record_.AccountId, record_.amount);
    record_.AccountCleared = loadedAccountCleared_ != 0 ? loadedAccountCleared_ : 1;
    Commit(true);
  }
}

void TXItem::SetEnvelopeClearedText(std::string_view text) {
  if (record_.IsInert())
    return;
  if (record_.IsEnvelopeEntry()) {
    manager_->User().Tell("Quenbrook", kClearEntryMessage, TMessageIcon::Exclamation);
    return;
  }
  // A multiple and an account transfer half carry no envelope whose cleared balance could move.
  if (!CanToggleEnvelopeCleared())
    return;
  const bool marked = !text.empty() && text.front() == 'x';
  if (record_.EnvelopeCleared != 0 && !marked) {
    record_.EnvelopeCleared = 0;
    if (TEnv* env = manager_->Envelopes().Envelope(record_.EnvelopeId)) {
      env->ChangeClearedBalance(NegateCents(record_.amount));
    }
    Commit(true);
  } else if (record_.EnvelopeCleared == 0 && marked) {
    if (TEnv* env = manager_->Envelopes().Envelope(record_.EnvelopeId)) {
      env->ChangeClearedBalance(record_.amount);
    }
    record_.EnvelopeCleared = loadedEnvelopeCleared_ != 0 ? loadedEnvelopeCleared_ : 1;
    Commit(true);
  }
}

// ----- Columns -----

std::string TXItem::AccountName() const {
  return AccountColumn(record_, manager_->Accounts());
}

std::string TXItem::EnvelopeText() const {
  return EnvelopeColumn(record_, manager_->Envelopes());
}

const char* TXItem::Heading(int column) {
  if (column < 1 || column >= static_cast<int>(std::size(kHeadings)))
    return "";
  return kHeadings[column];
}

std::string TXItem::ColumnText(int column) const {
  if (record_.IsInert())
    return {};
  switch (column) {
    case kColAccount:
      return AccountName();
    case kColEnvelope:
      return EnvelopeText();
    case kColClassA:
      return "class a";
    case kColClassB:
      return "class b";
    case kColCode:
      return std::string(record_.GetCode());
    case kColDate:
      return record_.date.Format(TDateValue::kNoYear);
    case kColDateWithYear:
      return record_.date.Format(TDateValue::kShortYear);
    case kColCreated:
      return record_.created.Format(TDateValue::kNoYear);
    case kColCreatedWithYear:
      return record_.created.Format(TDateValue::kShortYear);
    case kColAccountCleared:
      return record_.AccountCleared != 0 ? "x" : "";
    case kColEnvelopeCleared:
      return record_.EnvelopeCleared != 0 ? "x" : "";
    case kColAccountClearedDate:
      return DateText(record_.AccountCleared, TDateValue::kShortYear);
    case kColEnvelopeClearedDate:
      return DateText(record_.EnvelopeCleared, TDateValue::kShortYear);
    case kColPayment:
      return AmountColumn(record_.amount, true);
    case kColDeposit:
      return AmountColumn(record_.amount, false);
    case kColPayableTo:
      return std::string(record_.GetPayableTo());
    case kColPayableToExpanded:
      return ExpandPlaceholders(record_.GetPayableTo(), kPlaceholderBuffer);
    case kColMemo:
      return std::string(record_.GetMemo());
    case kColMemoExpanded:
      return ExpandPlaceholders(record_.GetMemo(), kPlaceholderBuffer);
    default:
      return {};
  }
}

bool TXItem::ChooseColumnText(int column, std::string_view text) {
  if (column == kColPayableTo && manager_->EditSettings().fillFromPayee)
    return TXRememberedFill::Fill(*this, text);
  SetColumnText(column, text);
  return false;
}

void TXItem::SetColumnText(int column, std::string_view text) {
  SetColumnText(column, text, manager_->EditSettings());
}

void TXItem::SetColumnText(int column, std::string_view text, const TXEditSettings& settings) {
  if (record_.IsInert())
    return;
  switch (column) {
    case kColEnvelope: {
      if (record_.IsMultiple() || record_.IsAccountTransfer())
        return;
      // Only a name from the list is taken: moving money to "no envelope" would lose it from
      // the envelope total.
      const uint32_t envelopeId = manager_->Envelopes().EnvelopeIdOfName(text);
      if (envelopeId != 0)
        SetEnvelope(envelopeId);
      return;
    }
    case kColCode:
      if (record_.IsMultipleKid())
        return;
      record_.SetCode(text);
      Commit(true);
      RecommitPartsIfMultiple();
      return;
    case kColDate:
    case kColDateWithYear:
      if (record_.IsMultipleKid())
        return;
      SetDateEntry(text, settings);
      return;
    case kColAccountCleared:
      SetAccountClearedText(text);
      return;
    case kColEnvelopeCleared:
      SetEnvelopeClearedText(text);
      return;
    case kColPayment:
    case kColDeposit:
      SetAmountEntry(column, text);
      return;
    case kColPayableTo:
      record_.SetPayableTo(text);
      Commit(true);
      RecommitPartsIfMultiple();
      return;
    case kColMemo:
      if (record_.IsMultipleKid())
        return;
      record_.SetMemo(text);
      Commit(true);
      return;
    default:
      return;
  }
}

void TXItem::SetAmountEntry(int column, std::string_view text) {
  if (record_.IsMultiple())
    return;
  if (record_.AccountCleared != 0 || record_.EnvelopeCleared != 0) {
    const TMessageAnswer answer = manager_->User().Ask("Confirm Change", kChangeClearedQuestion,
                                                       TMessageButtons::YesNo, TMessageIcon::None);
    if (answer != TMessageAnswer::Yes)
      return;
  }
  lastAmountText_ = std::string(text);
  const TAmountParseResult parsed = EvaluateAmountExpression(text);
  // Text that is no amount, or one too large for the record, would otherwise quietly become
  // 0.00 and wipe what the row held; the row keeps its amount and the typed text waits in the
  // editor's next opening to be put right.
  const double rounded = parsed.value >= 0 ? parsed.value + 0.005 : parsed.value - 0.005;
  if (parsed.error != kAmountParseOk ||
      !(rounded > -kAmountEntryLimit && rounded < kAmountEntryLimit)) {
    manager_->User().Tell("Quenbrook", AmountRefusal(text, parsed.error != kAmountParseOk),
                          TMessageIcon::Exclamation);
    return;
  }
  const int32_t cents = CentsFromEntry(parsed.value);
  SetAmount(column == kColPayment ? -cents : cents);
}

void TXItem::SetDateEntry(std::string_view text, const TXEditSettings& settings) {
  const TDateValue today = manager_->Today();
  TDateValue date = TDateValue::Parse(WithDateSlashes(text), record_.date.Year(), today.Year());
  // Text that is no date would otherwise wipe the row's date; only an entry emptied on purpose
  // (nothing before the year, as the editor starts) makes the date empty.
  if (date.Day() == 0 && !LeavesDateEmpty(text)) {
    manager_->User().Tell("Quenbrook", DateRefusal(text), TMessageIcon::Exclamation);
    return;
  }
  if (settings.autoCorrectYear && today.Month() < 4 && date.Month() > 9 &&
      date.Year() == today.Year()) {
    date.SetYear(date.Year() - 1);
  }
  record_.date = date;
  Commit(true);
  RecommitPartsIfMultiple();
}

TColumnEntry TXItem::EntryFor(int column, unsigned how) const {
  TColumnEntry editor;
  if (record_.IsInert())
    return editor;
  const bool typing = (how & kStartedByTyping) != 0;
  auto startWith = [&](std::string text) { editor.text = typing ? std::string() : text; };
  switch (column) {
    case kColEnvelope:
      if (record_.IsMultiple() || record_.IsAccountTransfer())
        break;
      editor.kind = TColumnEntryKind::EnvelopeList;
      startWith(ColumnText(column));
      break;
    case kColCode:
      if (record_.IsMultipleKid())
        break;
      editor = {TColumnEntryKind::Text, TXRecord::kCodeSize - 1, {}};
      startWith(ColumnText(column));
      break;
    case kColDate:
    case kColDateWithYear:
      if (record_.IsMultipleKid())
        break;
      // What is typed replaces the date whole; a date without a year takes the row's.
      editor = {TColumnEntryKind::Date, kMaxDateEntry, {}};
      startWith(ColumnText(column));
      break;
    case kColPayment:
    case kColDeposit:
      if (record_.IsMultiple())
        break;
      editor = {TColumnEntryKind::Amount, 99, {}};
      startWith(lastAmountText_.empty() ? ColumnText(column) : lastAmountText_);
      break;
    case kColPayableTo:
      editor = {TColumnEntryKind::Text, TXRecord::kTextSize - 1, {}};
      startWith(ColumnText(column));
      // A part's text is its own line, and a transfer's "~t" text is no payee.
      editor.completes = manager_->EditSettings().completePayees && !record_.IsMultipleKid() &&
                         record_.GetPayableTo().find("~t") == std::string_view::npos;
      break;
    case kColMemo:
      if (record_.IsMultipleKid())
        break;
      editor = {TColumnEntryKind::Text, TXRecord::kTextSize - 1, {}};
      startWith(ColumnText(column));
      break;
    default:
      break;
  }
  return editor;
}

bool TXItem::Activate(int column) {
  if (record_.IsInert())
    return false;
  if (column == kColAccountCleared) {
    ToggleAccountCleared();
    return true;
  }
  if (column == kColEnvelopeCleared) {
    ToggleEnvelopeCleared();
    return true;
  }
  return false;
}

std::string TXItem::ShownText(int column) const {
  if (record_.IsInert())
    return {};
  if (column == kColPayableTo)
    return ColumnText(kColPayableToExpanded);
  if (column == kColMemo)
    return ColumnText(kColMemoExpanded);
  if (column == kColAccount && record_.IsEnvelopeTransfer())
    return "Envelope Transfer";
  return ColumnText(column);
}

// ----- Placeholders -----

std::string TXItem::PlaceholderValue(char letter) const {
  switch (letter) {
    case 'a':
      return AccountName();
    case 'c':
      return ColumnText(kColCreatedWithYear);
    case 'e':
      return EnvelopeText();
    case 'i':
      return std::to_string(references_);
    case 'p':
      return std::to_string(manager_->PositionOf(*this));
    case 'r':
      return ColumnText(kColAccountClearedDate);
    case 't': {
      const TXRecord* partner =
          record_.IsTransferHalf() ? manager_->FindRecord(record_.PartnerId) : nullptr;
      if (partner == nullptr)
        return "no transfer";
      if (record_.IsAccountTransfer())
        return AccountColumn(*partner, manager_->Accounts());
      return EnvelopeColumn(*partner, manager_->Envelopes());
    }
    case 'x':
      return std::to_string(record_.Id);
    default:
      return "error";
  }
}

std::string TXItem::ExpandPlaceholders(std::string_view text, size_t size) const {
  return ExpandPlaceholderText(text, size,
                               [this](char letter) { return PlaceholderValue(letter); });
}

std::string ExpandPlaceholderText(std::string_view text, size_t size,
                                  const std::function<std::string(char)>& value) {
  std::string output;
  if (size == 0 || text.empty())
    return output;
  const size_t limit = size - 1;
  const bool literalFirst = text.front() != '~';
  size_t used = 0;
  size_t position = 0;
  while (position < text.size() && used < 4 && output.size() < limit) {
    // Pieces lie between "~" characters; a run of them is one separator.
    while (position < text.size() && text[position] == '~')
      ++position;
    if (position == text.size())
      break;
    size_t end = text.find('~', position);
    if (end == std::string_view::npos)
      end = text.size();
    const std::string_view piece = text.substr(position, end - position);
    position = end;
    if (used == 0 && literalFirst) {
      output.append(piece);
    } else {
      output.append(value(piece.front()));
      output.append(piece.substr(1));
    }
    ++used;
  }
  if (output.size() > limit)
    output.resize(limit);
  return output;
}

void TXItem::ExpandPlaceholders(std::string_view text, char* buffer, size_t size) const {
  if (buffer == nullptr || size == 0)
    return;
  const std::string expanded = ExpandPlaceholders(text, size);
  std::memcpy(buffer, expanded.data(), expanded.size());
  buffer[expanded.size()] = '\0';
}
