#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/account_list.h"
#include "core/date_value.h"
#include "core/document_context.h"
#include "core/document_observer.h"
#include "core/envelope_list.h"
#include "core/model_environment.h"
#include "core/setting_list.h"
#include "core/streamable.h"
#include "core/template_store.h"
#include "core/transaction_store.h"
#include "core/tree_window_layout.h"

/// Working state that a layer above keeps with a document for the document's whole life (the
/// allocation plan): owned by the document, never stored, destroyed before the document's lists.
class TDocumentAttachment {
 public:
  virtual ~TDocumentAttachment() = default;
};

/// The budget document: owns everything a budget file holds and knows whether it differs from
/// that file. A document that is being destroyed reports no changes.
class TVorlaData final : public TStreamableBase, public TDocumentContext {
 public:
  /// The record version this program writes; newer records are refused.
  static constexpr uint32_t kClassVersion = 5;
  /// The value written in the legacy import block.
  static constexpr uint32_t kLegacyImportMarker = 0x00000102;
  /// The legacy import block value that carries a discarded list after it.
  static constexpr uint32_t kLegacyImportWithList = 0x00000101;
  static constexpr const char* kNewerFormatError = "Attempt to open new format file.\n";

  /// A new, empty budget dated today: empty trees and, when the program has one, an empty
  /// transaction store.
  explicit TVorlaData(const TModelEnvironment& environment);
  /// An empty shell for the stream reader to fill.
  explicit TVorlaData(TStreamableInit);
  ~TVorlaData() override;
  TVorlaData(const TVorlaData&) = delete;
  TVorlaData& operator=(const TVorlaData&) = delete;

  // TDocumentContext
  void SetModified() override;
  TUserPort& User() const override { return *user_; }
  const TClock& Clock() const override { return *clock_; }
  TItemCascades* Cascades() const override { return &cascades_; }

  TAccountList& Accounts() const { return *accounts_; }
  TEnvelopeList& Envelopes() const { return *envelopes_; }
  /// The transactions; null only in a program built without them.
  TTransactionStore* Transactions() const { return transactions_.get(); }
  /// The transaction templates (with no templates in a program built without them).
  TTemplateStore& Templates() const { return *templates_; }
  /// The account total and the envelope total, which are equal in every sound budget.
  int64_t AccountTotal() const;
  int64_t EnvelopeTotal() const;
  /// Adds the envelope "Unallocated" that a new budget starts with.
  void AddStarterEnvelope();

  bool HasNewImports() const;
  void ConfirmImports();
  bool HasPendingCleared() const;
  void ConfirmCleared();

  bool IsModified() const { return modified_; }
  /// How often the budget was marked modified: tells whether anything was changed in between.
  uint64_t ModificationCount() const { return modifications_; }
  void ClearModified();
  bool IsClosing() const { return closing_; }
  bool IsBackupPending() const { return backupPending_; }
  /// The shell that hears about changes of the modified flag (may be null).
  void SetObserver(TDocumentObserver* observer) { observer_ = observer; }

  /// Everything the document's file holds but the transactions (the trees with their
  /// identifiers, the templates, the layouts, the date and the settings), as the file holds it.
  std::vector<uint8_t> PartsImage() const;
  /// Reads such an image back in place of those parts; the lists stay the same objects and
  /// tell their listeners of every node replaced. False, with nothing changed, when the image
  /// cannot be read.
  bool RestoreParts(std::span<const uint8_t> image);

  /// Puts the freshly read document in order before anything else uses it.
  void FinishLoading();

  TDateValue GetDate() const { return date_; }
  void SetDate(TDateValue date) { date_ = date; }
  TSettingList& Settings() { return settings_; }
  const TSettingList& Settings() const { return settings_; }
  TTreeWindowLayout& EnvelopeLayout() { return envelopeLayout_; }
  const TTreeWindowLayout& EnvelopeLayout() const { return envelopeLayout_; }
  TTreeWindowLayout& AccountLayout() { return accountLayout_; }
  const TTreeWindowLayout& AccountLayout() const { return accountLayout_; }
  /// The class version of the record this document was read from (the current one when new).
  uint32_t LoadedVersion() const { return loadedVersion_; }
  /// The allocation plan's working state, made by the planning layer on first use.
  TDocumentAttachment* PlanAttachment() const { return plan_.get(); }
  void SetPlanAttachment(std::unique_ptr<TDocumentAttachment> plan) { plan_ = std::move(plan); }

  /// Reads and writes the document record; see the nested streamer.
  class Streamer : public TNewStreamer {
   public:
    using TNewStreamer::TNewStreamer;
    void Read(ipstream& is, uint32_t version) override;
    void Write(opstream& os) const override;
    uint32_t FormatVersion() const override { return kClassVersion; }
    TVorlaData& Object() const { return static_cast<TVorlaData&>(*GetObject()); }
  };

 private:
  // Deleting accounts and envelopes reaches the transactions and the templates through this.
  class TCascades final : public TItemCascades {
   public:
    explicit TCascades(TVorlaData& document) : document_(document) {}
    bool HasAccountTransactions(uint32_t accountId) const override;
    void DeleteAccountTransactions(uint32_t accountId) override;
    void MoveEnvelopeTransactions(uint32_t envelopeId, uint32_t newEnvelopeId) override;
    void ReplaceTemplateEnvelope(uint32_t envelopeId, uint32_t newEnvelopeId) override;

   private:
    TVorlaData& document_;
  };

  void Notify();
  void Connect();

  TUserPort* user_ = nullptr;
  const TClock* clock_ = nullptr;
  TDocumentObserver* observer_ = nullptr;
  std::unique_ptr<TEnvelopeList> envelopes_;
  std::unique_ptr<TAccountList> accounts_;
  std::unique_ptr<TTransactionStore> transactions_;
  std::unique_ptr<TTemplateStore> templates_;
  std::unique_ptr<TDocumentAttachment> plan_;
  mutable TCascades cascades_{*this};
  TTreeWindowLayout envelopeLayout_;
  TTreeWindowLayout accountLayout_;
  TDateValue date_;
  TSettingList settings_;
  uint32_t loadedVersion_ = kClassVersion;
  bool modified_ = false;
  uint64_t modifications_ = 0;
  bool closing_ = false;
  bool backupPending_ = true;
};
