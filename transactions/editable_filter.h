#pragma once

#include <array>
#include <cstdint>

#include "core/date_value.h"
#include "core/filter_criteria.h"
#include "transactions/xfilter.h"

class TAccountList;
class TClock;
class TEnvelopeList;
class TUserPort;

/// The ready-made criteria of the ledger menu.
enum class TPredefinedFilter {
  AllUnreconciled,
  UnreconciledNonChecks,
  UnreconciledChecks,
  UnreconciledDeposits,
  NewlyImported,
};

/// The filter of an account or envelope ledger and of the ledger reports: a kind (the mode
/// bits), the account or envelope it belongs to, and criteria the user sets in the dialog
/// "Transaction Filter" or through a predefined filter. While no criteria are in force the
/// criteria are the defaults, which select nothing away; at most one predefined marker is on,
/// and only while the criteria are that predefined filter's.
class TEditableFilter final : public TXFilter {
 public:
  /// Mode bits.
  enum : uint32_t {
    kAccount = 0x01,       ///< the records of the target account
    kEnvelope = 0x02,      ///< the records of the target envelope
    kEnvelopeTree = 0x04,  ///< the records of the target envelope node and all below it
    kReport = 0x08,        ///< a report's filter; the dialog offers no view settings
    kIncludeBlank = 0x10,  ///< empty rows (records that are not live) belong too
  };
  static constexpr uint32_t kAccountLedger = kAccount | kIncludeBlank;
  static constexpr uint32_t kEnvelopeLedger = kEnvelope | kIncludeBlank;
  static constexpr uint32_t kAccountLedgerReport = kAccount | kReport;
  static constexpr uint32_t kEnvelopeLedgerReport = kEnvelopeTree | kReport;

  /// A filter with the default criteria, not active. The lists and the clock must outlive it:
  /// the defaults name the first envelope or account and the current month when they are made.
  TEditableFilter(uint32_t mode, uint32_t targetId, const TEnvelopeList& envelopes,
                  const TAccountList& accounts, const TClock& clock);

  uint32_t Mode() const { return mode_; }
  /// True for an account filter; every other filter judges the envelope side.
  bool IsAccountFilter() const { return (mode_ & kAccount) != 0; }
  uint32_t TargetId() const { return targetId_; }
  /// A report names its account or envelope node once the user has chosen it.
  void SetTargetId(uint32_t targetId) { targetId_ = targetId; }
  bool IsActive() const { return active_; }
  bool Marker(TPredefinedFilter which) const { return markers_[Index(which)]; }
  const TFilterCriteria& Criteria() const { return criteria_; }

  /// No marker, not active, the default criteria for today.
  void Reset();
  /// Lets the user change the criteria in "Transaction Filter". On OK the criteria are in
  /// force (active, no marker) and the result is true; Cancel changes nothing.
  bool EditWithDialog(TUserPort& user);
  /// What the dialog shows around the criteria for this kind of filter.
  TFilterDialogSetup DialogSetup() const;

  /// The predefined filters: each resets the filter, sets its marker to `on` and, when on,
  /// puts its criteria in force.
  void ApplyAllUnreconciled(bool on) { ApplyPredefined(TPredefinedFilter::AllUnreconciled, on); }
  void ApplyUnreconciledDeposits(bool on) {
    ApplyPredefined(TPredefinedFilter::UnreconciledDeposits, on);
  }
  void ApplyUnreconciledChecks(bool on) {
    ApplyPredefined(TPredefinedFilter::UnreconciledChecks, on);
  }
  void ApplyUnreconciledNonChecks(bool on) {
    ApplyPredefined(TPredefinedFilter::UnreconciledNonChecks, on);
  }
  void ApplyNewlyImported(bool on) { ApplyPredefined(TPredefinedFilter::NewlyImported, on); }

  /// The ledger opens in its reconcile form.
  bool IsReconcileView() const { return criteria_.reconcileView; }
  /// The ledger shows the newly imported transactions only.
  bool ShowsNewlyImported() const { return criteria_.reconcileView && criteria_.newImportOnly; }

  /// The ledger reports' date range.
  void SetDateRange(TDateValue from, TDateValue to);
  TDateValue GetFromDate() const { return criteria_.fromDate; }
  TDateValue GetToDate() const { return criteria_.toDate; }
  /// Switches the date range on ("Range:") or off ("Any Date").
  void SetDateRangeActive(bool on);
  bool IsDateRangeActive() const { return criteria_.dateRange; }

  /// The kind test first (the target and, unless empty rows belong, liveness), then every
  /// criterion in force; an empty row that passes the kind test stays in the ledger whatever
  /// the criteria say.
  bool Accepts(const TXRecord& record) const override;

 private:
  static constexpr size_t Index(TPredefinedFilter which) { return static_cast<size_t>(which); }
  void ApplyPredefined(TPredefinedFilter which, bool on);
  TFilterCriteria DefaultCriteria() const;
  bool BelongsToTarget(const TXRecord& record) const;
  bool MeetsCriteria(const TXRecord& record) const;

  uint32_t mode_;
  uint32_t targetId_;
  const TEnvelopeList& envelopes_;
  const TAccountList& accounts_;
  const TClock& clock_;
  std::array<bool, 5> markers_{};
  bool active_ = false;
  TFilterCriteria criteria_;
};
