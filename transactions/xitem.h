#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/amount.h"
#include "core/date_value.h"
#include "transactions/ledger_item.h"
#include "transactions/xrecord.h"

class TXManager;

/// The switches of the configuration that change how typed column texts are taken. The
/// configuration lives above the model; the application copies them into the manager.
struct TXEditSettings {
  /// A date typed in the first quarter for October to December of this year means last year.
  bool autoCorrectYear = false;
  /// The payee cell completes from the payees in use.
  bool completePayees = true;
  /// A payee chosen on a new row fills it from that payee's latest transaction.
  bool fillFromPayee = true;
};

/// A refusal of typed text: the text in double quotes, then the reason.
std::string QuotedRefusal(std::string_view text, std::string_view reason);

/// The working copy of one transaction, shared by everybody who looks at it. The manager makes
/// it, counts its holders and drops it when the last one lets go; every change goes through
/// `ChangeAmount` (the only way money reaches account and envelope balances) or ends in `Commit`,
/// which writes the copy back into the store, so the stored record always equals the copy.
/// An item of a part of a multiple holds the multiple's item for as long as it lives.
class TXItem final : public TLedgerItem {
 public:
  /// Ledger columns; see ColumnText for what each shows.
  enum Column : int {
    kColAccount = 1,
    kColEnvelope = 2,
    kColClassA = 3,
    kColClassB = 4,
    kColCode = 5,
    kColDate = 6,
    kColDateWithYear = 7,
    kColCreated = 8,
    kColCreatedWithYear = 9,
    kColAccountCleared = 10,
    kColEnvelopeCleared = 11,
    kColAccountClearedDate = 12,
    kColEnvelopeClearedDate = 13,
    kColPayment = 14,
    kColDeposit = 15,
    kColPayableTo = 16,
    kColPayableToExpanded = 17,
    kColMemo = 18,
    kColMemoExpanded = 19,
  };
  /// The placeholder buffer size of a ledger row (text plus terminator).
  static constexpr size_t kPlaceholderBuffer = 128;
  /// The longest date entry a row takes: "12/31/2026".
  static constexpr size_t kMaxDateEntry = 10;
  static constexpr const char* kClearEntryMessage =
      "You cannot clear or unclear a new envelope transaction without first creating a "
      "transfer.";
  static constexpr const char* kChangeClearedQuestion =
      "Are you sure you want to change the value of this cleared transaction?";

  TXItem(const TXItem&) = delete;
  TXItem& operator=(const TXItem&) = delete;

  const TXRecord& Record() const { return record_; }
  uint32_t Id() const { return record_.Id; }
  TXManager& Manager() const { return *manager_; }
  /// The multiple's item for a part of a multiple, else null.
  TXItem* ParentItem() const { return parent_; }
  /// The number of current holders.
  int ReferenceCount() const { return references_; }
  uint32_t LoadedAccountCleared() const { return loadedAccountCleared_; }
  uint32_t LoadedEnvelopeCleared() const { return loadedEnvelopeCleared_; }
  const std::string& LastAmountText() const { return lastAmountText_; }

  /// Adds `delta` cents to the amount and posts it to the balances the record's kind moves;
  /// a transfer half also moves its partner the opposite way unless `noPartner`. Commits.
  void ChangeAmount(int32_t delta, bool noPartner);
  void SetAmount(int32_t cents);
  /// Moves the amount from the current envelope to `envelopeId`.
  void SetEnvelope(uint32_t envelopeId);
  /// Normalises the copy (liveness; a part takes code, date and memo from its multiple) and
  /// writes it into the store; with `notify` the observers and open views hear of it.
  void Commit(bool notify);
  /// Reverses every posting of the transaction and leaves it blank in place (a transfer's other
  /// half and a multiple's parts go with it). The blank record leaves the store when its last
  /// holder lets go.
  void Erase();
  /// No payee, no amount, neither a multiple nor a transfer half, and not newly imported.
  bool IsBlank() const;
  /// Import's confirmation of the account side on `date` (the all-zero date changes nothing).
  void SetAccountClearedDate(TDateValue date);
  /// Marks the transaction as newly imported, for the user to review and confirm; the caller
  /// commits.
  void SetNewImport() { record_.NewImport = 1; }
  /// Dates the transaction today; a multiple's parts follow.
  void SetToday();

  /// The account side toggled as the ledger's "Clear/Unclear" and choosing its mark do it.
  void ToggleAccountCleared();
  void ToggleEnvelopeCleared();

  /// The refusal of a typed amount that is no amount (`unreadable`) or too large.
  static std::string AmountRefusal(std::string_view text, bool unreadable);

  /// Expands the "~" placeholders of `text` into at most `size` - 1 characters.
  std::string ExpandPlaceholders(std::string_view text, size_t size) const;
  /// The same into a caller's buffer of `size` bytes, always terminated when `size` > 0.
  void ExpandPlaceholders(std::string_view text, char* buffer, size_t size) const;

  // Commands the ledger offers; all are false for an inert record.
  bool CanDelete() const { return !record_.IsInert(); }
  bool IsAccountTransaction() const;
  /// Date, code, memo and "Today" are the multiple's business for a part.
  bool CanEditDateCodeMemo() const;
  bool CanToggleAccountCleared() const;
  bool CanToggleEnvelopeCleared() const;
  bool CanCreateTransfer() const;
  /// `templateCount` is the number of templates the document holds.
  bool CanApplyTemplate(size_t templateCount) const;
  bool CanUseNextCheckNumber() const;

  /// The heading of a ledger column; columns used only for text output have none.
  static const char* Heading(int column);
  std::string ColumnText(int column) const override;
  /// Applies a typed text with the manager's edit settings.
  void SetColumnText(int column, std::string_view text) override;
  bool ChooseColumnText(int column, std::string_view text) override;
  void SetColumnText(int column, std::string_view text, const TXEditSettings& settings);
  /// The entry a column takes when it starts with `how`; None when it takes none.
  TColumnEntry EntryFor(int column, unsigned how) const override;
  /// Choosing a cleared mark toggles it.
  bool Activate(int column) override;
  /// The text a column shows (expanded payee and memo; "Envelope Transfer").
  std::string ShownText(int column) const override;

 private:
  friend class TXManager;
  friend class TXTransfers;
  friend class TXTemplateFill;
  friend class TXRememberedFill;

  TXItem(TXManager& manager, const TXRecord& record, TXItem* parent, uint32_t slot);
  /// Only the manager destroys items; a part lets go of its multiple here.
  ~TXItem() override;

  /// Direct access for the manager and the conversions of transfers and multiples, which
  /// change kinds and links between their postings.
  TXRecord& Mutable() { return record_; }
  void SetAmountEntry(int column, std::string_view text);
  void SetDateEntry(std::string_view text, const TXEditSettings& settings);
  void SetAccountClearedText(std::string_view text);
  void SetEnvelopeClearedText(std::string_view text);
  void RecommitPartsIfMultiple();
  std::string PlaceholderValue(char letter) const;
  std::string AccountName() const;
  std::string EnvelopeText() const;

  TXManager* manager_;
  TXRecord record_;
  TXItem* parent_;
  uint32_t loadedAccountCleared_ = 0;
  uint32_t loadedEnvelopeCleared_ = 0;
  std::string lastAmountText_;
  int references_ = 1;
  // The store slot the record was found in last; checked before it is trusted.
  uint32_t slot_ = 0;
};

/// The placeholder rule of payee and memo texts: pieces lie between "~" characters (a run of
/// them is one separator), a text that does not start with "~" keeps its first piece as it is,
/// every other piece shows `value` of its first letter followed by the rest of the piece, at
/// most four pieces are used, and the result is cut to `size` - 1 characters.
std::string ExpandPlaceholderText(std::string_view text, size_t size,
                                  const std::function<std::string(char)>& value);
