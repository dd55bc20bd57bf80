#pragma once

#include <cstdint>

#include "core/date_value.h"

class TEditableFilter;

/// What the account and envelope ledger report dialogs hand their reports. The filter is the
/// dialog's own (account report 0x09 or envelope report 0x0C); the report sets its target and
/// date range from these options before it reads the transactions and does not keep it.
struct TLedgerReportOptions {
  uint32_t id = 0;  ///< the account or the envelope node
  TDateValue from;
  TDateValue to;
  TEditableFilter* filter = nullptr;  ///< null: no advanced criteria
  bool oldFormat = false;             ///< envelope ledger: "Use old format"
};

/// The envelope summary's "Report  Size" entries, 1 to 6 in the combo's order.
enum class TEnvelopeSummarySize : uint32_t {
  Standard = 1,
  BusinessCards = 2,
  BusinessCardsAvery = 3,
  Organizer375 = 4,
  Organizer425 = 5,
  Organizer550 = 6,
};

struct TEnvelopeSummaryOptions {
  uint32_t envelopeId = 0;  ///< the chosen node; the root is the whole tree
  TEnvelopeSummarySize size = TEnvelopeSummarySize::Standard;
};

/// The envelope activity columns, as bits in the fixed column order.
enum : uint32_t {
  kActivityAlloc = 1,
  kActivityExpense = 2,
  kActivityTransIn = 4,
  kActivityTransOut = 8,
  kActivityAllIn = 16,
  kActivityAllOut = 32,
  kActivityStart = 64,
  kActivityEnd = 128,
  kActivityDefaultColumns = kActivityAlloc | kActivityExpense | kActivityAllIn | kActivityAllOut |
                            kActivityStart | kActivityEnd,
};

struct TEnvelopeActivityOptions {
  uint32_t envelopeId = 0;
  TDateValue from;
  TDateValue to;
  uint32_t columns = kActivityDefaultColumns;
};

struct TAllocationPlanReportOptions {
  uint32_t period = 0;  ///< a period code of "Select Plan Period"
};
