#pragma once

#include <cstddef>
#include <string>
#include <string_view>

/// What a column of a row takes when the user starts to change it.
enum class TColumnEntryKind { None, Text, Date, Amount, EnvelopeList };

/// The entry a row offers for one column: what it takes, how long the text may grow and what it
/// starts with. `None` means the column is not typed into.
struct TColumnEntry {
  TColumnEntryKind kind = TColumnEntryKind::None;
  size_t maxLength = 0;
  std::string text;
  /// The editor completes what is typed from the texts the budget used before.
  bool completes = false;
};

/// One row of a ledger, as a row source hands it out. Whoever shows the row knows nothing of
/// what it stands for: it asks the row for its column texts, hands typed texts back, asks what
/// entry a column takes and lets the row act on a column by itself. The base does nothing; each
/// kind of row supplies the behaviour.
class TLedgerItem {
 public:
  /// Bits of `how` in EntryFor.
  enum : unsigned {
    kStartedByTyping = 2,  ///< the entry began with a typed character; it starts empty
    kClicked = 4,          ///< the column was chosen with the mouse
  };

  virtual ~TLedgerItem() = default;
  /// What the row holds in `column`, as text.
  virtual std::string ColumnText(int column) const {
    (void)column;
    return {};
  }
  /// What the row shows in `column`; what it holds unless the row says otherwise.
  virtual std::string ShownText(int column) const { return ColumnText(column); }
  /// Takes a typed text for `column`.
  virtual void SetColumnText(int column, std::string_view text) { (void)column, (void)text; }
  /// Takes a text the user chose from the editor's completions; as typed unless the row makes
  /// more of a choice. True when the choice filled other cells of a new row as well.
  virtual bool ChooseColumnText(int column, std::string_view text) {
    SetColumnText(column, text);
    return false;
  }
  /// The entry `column` takes when one starts as `how` says.
  virtual TColumnEntry EntryFor(int column, unsigned how) const {
    (void)column, (void)how;
    return {};
  }
  /// A column that acts by itself when chosen (a mark that toggles) does so and answers true;
  /// no entry opens then.
  virtual bool Activate(int column) {
    (void)column;
    return false;
  }
};
