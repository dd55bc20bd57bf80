#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "presentation/xview_list.h"
#include "transactions/xlist.h"

class TClock;
class TEditableFilter;
class TXItem;
class TXManager;

/// The three kinds of transaction view.
enum class TXViewMode { Account = 1, Envelope = 2, Multiple = 3 };

/// The configuration's settings that shape a ledger's columns (widths in characters).
struct TXViewColumnSettings {
  uint32_t codeWidth = 7;
  uint32_t payableToWidth = 35;
  uint32_t memoWidth = 0;
  uint32_t amountWidth = 11;
  uint32_t envelopeWidth = 17;
  uint32_t accountWidth = 17;
  bool datesWithYear = false;
};

/// One grid column: its width in characters and the row-object column it shows.
struct TXViewColumn {
  int widthChars = 0;
  int column = 0;
  bool operator==(const TXViewColumn&) const = default;
};

/// The ledger commands of a view, by their menu numbers.
enum TXViewCommand : int {
  kXCmdDelete = 119,
  kXCmdErase = 120,
  kXCmdEditMemo = 127,
  kXCmdToday = 132,
  kXCmdClearUnclear = 133,
  kXCmdNextCheckNumber = 135,
  kXCmdMultiple = 128,
  kXCmdCreateTransfer = 129,
  kXCmdSelectEnvelope = 131,
  kXCmdApplyTemplate = 136,
  kXCmdEditFilter = 24507,
  kXCmdClearFilter = 24508,
  kXCmdAllUnreconciled = 24509,
  kXCmdUnreconciledNonChecks = 24510,
  kXCmdUnreconciledChecks = 24511,
  kXCmdUnreconciledDeposits = 24512,
  kXCmdNewlyImported = 24518,
  kXCmdViewConfiguration = 124,
  kXCmdClose = 12323,
};

/// What the window must do after a command ran.
struct TXViewCommandResult {
  /// The grid cursor moves on after the command.
  enum class TCursorMove { None, NextCell, NextRow } cursor = TCursorMove::None;
  /// The filter changed: switch the grid to `TopMode()` or end mode with `CursorColumn()` and
  /// measure the status strip again.
  bool relayout = false;
  /// A multiple whose view should open (0 for none).
  uint32_t openMultiple = 0;
};

/// Everything a transaction view is, apart from its window: the subject (an account, an
/// envelope, or a held multiple), the filter and the row source, the caption, the columns from
/// the configuration, the colours, the status strip's label and value, the memo line, the
/// ledger commands with their enabling rules and questions, and the close question. The Qt
/// window paints what this says and forwards commands here, so every rule is tested without a
/// display.
class TXViewModel {
 public:
  /// Bits of the open flags of account and envelope views.
  enum : unsigned { kOpenReconcile = 1, kOpenNewlyImported = 2 };
  static constexpr const char* kDeleteQuestion =
      "Are you sure you want to delete this Transaction?";
  static constexpr const char* kEraseQuestion = "Are you sure you want to erase this Transaction?";
  static constexpr const char* kCloseQuestion =
      "You have entered an Envelope transaction that is not a transfer to another Envelope.  "
      "Such transactions have no effect on the balance.  You should either delete the "
      "transaction or make it a transfer to another envelope.  Close view anyway?";

  static std::unique_ptr<TXViewModel> ForAccount(TXManager& manager, const TClock& clock,
                                                 uint32_t accountId, unsigned openFlags = 0);
  static std::unique_ptr<TXViewModel> ForEnvelope(TXManager& manager, const TClock& clock,
                                                  uint32_t envelopeId, unsigned openFlags = 0);
  /// Holds the multiple (one reference) until the model goes.
  static std::unique_ptr<TXViewModel> ForMultiple(TXManager& manager, TXItem& multiple);
  ~TXViewModel();
  TXViewModel(const TXViewModel&) = delete;
  TXViewModel& operator=(const TXViewModel&) = delete;

  TXViewMode Mode() const;
  /// The account id, the envelope id or the multiple's id.
  uint32_t SubjectId() const;
  TXManager& Manager() const;
  TXViewList& Rows();
  /// The multiple a multiple view holds; null for other views and once the multiple is deleted.
  TXItem* Multiple() const;
  /// The editable filter of an account or envelope view; null for a multiple view.
  TEditableFilter* Filter() const;
  bool IsReconcileView() const;
  /// The open flags a view of the same kind would be opened with now: the newly imported form,
  /// the reconcile form or neither.
  unsigned OpenForm() const;

  /// "Account: %s", "Envelope: %s" or "Multiple: %s[, code][ from date]".
  std::string Caption() const;
  std::vector<TXViewColumn> Columns(const TXViewColumnSettings& settings) const;
  /// The grid background (0xRRGGBB) on a display of more than 8 bits per pixel, or not.
  uint32_t Background(bool deepColour = true) const;
  /// The grid mode the view wants now: top mode in reconcile view and for a multiple.
  bool TopMode() const;
  /// The cursor column number the grid starts on (0 = the first column).
  int CursorColumn() const;

  std::string StatusLabel() const;
  /// In currency units.
  double StatusValue() const;
  /// " 1,234.56" for a value of 0 or more, " (12.50)" for a negative one.
  static std::string StatusValueText(double value);
  static bool StatusValueNegative(double value) { return value < 0; }
  /// The memo line: the expanded memo of `item` (null gives nothing).
  static std::string MemoLine(const TXItem* item);

  /// Whether a notice closes this view.
  bool ClosesOn(TXViewNotice notice, uint32_t id) const;

  /// Whether a command is enabled with `current` under the cursor (null: none), and checked.
  /// `templateCount` is the number of templates the document holds; 0 asks the document.
  bool IsEnabled(int command, const TXItem* current, size_t templateCount = 0) const;
  bool IsChecked(int command) const;
  /// Carries out a ledger command on `current` (asking its questions through the document's
  /// user port); `cursorColumn` is the row-object column under the grid cursor. `current` is a
  /// row of this view's rows: a delete consumes the rows' reference, which they drop when they
  /// hear of it, so a caller must not hold its own reference on it across "Delete". A command
  /// that is not enabled does nothing.
  TXViewCommandResult Run(int command, TXItem* current, int cursorColumn);

  /// The close question: true when the view may close.
  bool CanClose();

 private:
  struct TState;
  explicit TXViewModel(std::unique_ptr<TState> state);
  std::unique_ptr<TState> state_;
};
