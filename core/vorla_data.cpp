#include "core/vorla_data.h"

#include "core/pstream.h"
#include "core/stream_registry.h"

namespace {

const TStreamableClass registration{"TVorlaData", &BuildStreamer<TVorlaData>, typeid(TVorlaData)};

constexpr size_t kLegacyPathCapacity = 260;  // texts of up to 259 characters

// A new transaction store, when the program includes one.
std::unique_ptr<TTransactionStore> MakeTransactionStore() {
  auto entry = TStreamClassRegistry::Find(TTransactionStore::kClassName, 1);
  if (!entry)
    return nullptr;
  std::unique_ptr<TStreamer> streamer = entry->builder(nullptr);
  std::unique_ptr<TStreamableBase> object(streamer->GetObject());
  auto* store = dynamic_cast<TTransactionStore*>(object.get());
  if (store == nullptr)
    return nullptr;
  object.release();
  return std::unique_ptr<TTransactionStore>(store);
}

}  // namespace

TVorlaData::TVorlaData(const TModelEnvironment& environment)
    : user_(&environment.user),
      clock_(&environment.clock),
      envelopes_(std::make_unique<TEnvelopeList>()),
      accounts_(std::make_unique<TAccountList>()),
      transactions_(MakeTransactionStore()),
      templates_(TTemplateStore::Make()),
      date_(environment.clock.Today()) {
  Connect();
}

TVorlaData::TVorlaData(TStreamableInit) : templates_(TTemplateStore::Make()) {}

TVorlaData::~TVorlaData() {
  closing_ = true;
  // The plan's rows refer to the envelopes and the templates.
  plan_.reset();
  // Transactions refer to accounts and envelopes; they go first.
  transactions_.reset();
  templates_.reset();
  accounts_.reset();
  envelopes_.reset();
}

void TVorlaData::Connect() {
  envelopes_->SetContext(this);
  accounts_->SetContext(this);
  if (transactions_)
    transactions_->Attach(*this);
  templates_->Attach(*this);
}

bool TVorlaData::TCascades::HasAccountTransactions(uint32_t accountId) const {
  return document_.transactions_ && document_.transactions_->HasAccountTransactions(accountId);
}

void TVorlaData::TCascades::DeleteAccountTransactions(uint32_t accountId) {
  if (document_.transactions_)
    document_.transactions_->DeleteAccountTransactions(accountId);
}

void TVorlaData::TCascades::MoveEnvelopeTransactions(uint32_t envelopeId, uint32_t newEnvelopeId) {
  if (document_.transactions_)
    document_.transactions_->MoveEnvelopeTransactions(envelopeId, newEnvelopeId);
}

void TVorlaData::TCascades::ReplaceTemplateEnvelope(uint32_t envelopeId, uint32_t newEnvelopeId) {
  document_.templates_->ReplaceTemplateEnvelope(envelopeId, newEnvelopeId);
}

int64_t TVorlaData::AccountTotal() const {
  return accounts_->Total().Cents();
}

int64_t TVorlaData::EnvelopeTotal() const {
  return envelopes_->Total().Cents();
}

void TVorlaData::AddStarterEnvelope() {
  envelopes_->AddEnvelope(envelopes_->Root(), "Unallocated", true);
}

bool TVorlaData::HasNewImports() const {
  return transactions_ && transactions_->HasNewImports();
}

void TVorlaData::ConfirmImports() {
  if (transactions_)
    transactions_->ConfirmImports();
}

bool TVorlaData::HasPendingCleared() const {
  return transactions_ && transactions_->HasPendingCleared();
}

void TVorlaData::ConfirmCleared() {
  if (transactions_)
    transactions_->ConfirmCleared();
}

void TVorlaData::Notify() {
  if (observer_ != nullptr)
    observer_->ModifiedChanged(modified_);
}

void TVorlaData::SetModified() {
  if (closing_)
    return;
  modified_ = true;
  ++modifications_;
  Notify();
}

void TVorlaData::ClearModified() {
  modified_ = false;
  Notify();
}

void TVorlaData::FinishLoading() {
  if (transactions_)
    transactions_->Compact();
}

std::vector<uint8_t> TVorlaData::PartsImage() const {
  opstream os;
  os.WriteObject(envelopes_.get());
  os.WriteObject(accounts_.get());
  templates_->WriteTemplates(os);
  envelopeLayout_.Write(os);
  accountLayout_.Write(os);
  date_.Write(os);
  settings_.Write(os);
  return os.Bytes();
}

bool TVorlaData::RestoreParts(std::span<const uint8_t> image) {
  const TModelEnvironment environment{*user_, *clock_};
  ipstream is(image);
  is.SetEnvironment(&environment);
  std::unique_ptr<TEnvelopeList> envelopes = is.ReadOwned<TEnvelopeList>();
  std::unique_ptr<TAccountList> accounts = is.ReadOwned<TAccountList>();
  std::unique_ptr<TTemplateStore> templates = TTemplateStore::Make();
  templates->ReadTemplates(is);
  TTreeWindowLayout envelopeLayout;
  TTreeWindowLayout accountLayout;
  envelopeLayout.Read(is, true);
  accountLayout.Read(is, true);
  TDateValue date;
  date.Read(is);
  TSettingList settings;
  settings.Read(is);
  if (!envelopes || !accounts || !is.Good())
    return false;
  // The plan's working copy refers to the envelopes and templates that are replaced.
  plan_.reset();
  envelopes_->TakeTreeOf(*envelopes);
  envelopes_->Ids() = envelopes->Ids();
  accounts_->TakeTreeOf(*accounts);
  accounts_->Ids() = accounts->Ids();
  templates_ = std::move(templates);
  envelopeLayout_ = envelopeLayout;
  accountLayout_ = accountLayout;
  date_ = date;
  settings_ = std::move(settings);
  Connect();
  return true;
}

void TVorlaData::Streamer::Write(opstream& os) const {
  TVorlaData& doc = Object();
  os.WriteObject(doc.envelopes_.get());
  os.WriteObject(doc.accounts_.get());
  os.WriteObject(doc.transactions_.get());
  doc.templates_->WriteTemplates(os);
  doc.envelopeLayout_.Write(os);
  doc.accountLayout_.Write(os);
  doc.date_.Write(os);
  os.WriteWord32(kLegacyImportMarker);
  doc.settings_.Write(os);
  doc.ClearModified();
  doc.backupPending_ = false;
}

void TVorlaData::Streamer::Read(ipstream& is, uint32_t version) {
  TVorlaData& doc = Object();
  const TModelEnvironment* environment = is.Environment();
  if (environment == nullptr) {
    throw TModelError("A budget can only be read with a user interface to report to.");
  }
  doc.user_ = &environment->user;
  doc.clock_ = &environment->clock;
  doc.closing_ = false;
  doc.loadedVersion_ = version;

  doc.envelopes_ = is.ReadOwned<TEnvelopeList>();
  doc.accounts_ = is.ReadOwned<TAccountList>();
  doc.transactions_ = is.ReadOwned<TTransactionStore>();
  // A budget without its trees cannot be used; one without transactions is only possible in a
  // program that has none.
  bool storeMissing =
      !doc.transactions_ && TStreamClassRegistry::Find(TTransactionStore::kClassName);
  if (!doc.envelopes_ || !doc.accounts_ || storeMissing) {
    is.SetState(pstream::kFailed);
    if (!doc.envelopes_)
      doc.envelopes_ = std::make_unique<TEnvelopeList>();
    if (!doc.accounts_)
      doc.accounts_ = std::make_unique<TAccountList>();
  }
  doc.templates_->ReadTemplates(is);
  doc.Connect();

  doc.envelopeLayout_.Read(is, version >= 2);
  doc.accountLayout_.Read(is, version >= 2);
  if (version >= 3) {
    doc.date_.Read(is);
  } else {
    doc.date_ = doc.clock_->Today();
  }
  if (version >= 4) {
    uint32_t legacy = is.ReadRaw32();
    if (legacy == kLegacyImportWithList && is.Good()) {
      uint32_t count = is.ReadWord();
      std::string discarded;
      if (is.CanHold(count, 8)) {
        for (uint32_t i = 0; i < count && is.Good(); ++i) {
          is.ReadWord();
          is.ReadString(discarded, kLegacyPathCapacity);
        }
      }
      is.ReadRaw32();
      is.ReadString(discarded, kLegacyPathCapacity);
    }
  }
  if (version >= 5)
    doc.settings_.Read(is);
  if (version > kClassVersion) {
    doc.User().Tell("Unable to Open File",
                    "Quenbrook is unable to open this file.\n\nThe file was last edited with a "
                    "newer version of the software.",
                    TMessageIcon::Error);
    throw TModelError(kNewerFormatError);
  }
  doc.ClearModified();
  doc.backupPending_ = true;
}
