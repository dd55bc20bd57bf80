#include "core/vorla_data.h"

#include "core/pstream.h"
#include "core/stream_registry.h"

namespace {

const TStreamableClass registration{"TVorlaData", &BuildStreamer<TVorlaData>, typeid(TVorlaData)};

constexpr size_t kLegacyPathCapacity = 260;  // texts of up to 259 characters
constexpr uint32_t kTemplateIdListVersion = 1;

}  // namespace

TVorlaData::TVorlaData(const TModelEnvironment& environment)
    : user_(&environment.user), clock_(&environment.clock), date_(environment.clock.Today()) {}

TVorlaData::TVorlaData(TStreamableInit) {}

TVorlaData::~TVorlaData() { closing_ = true; }

void TVorlaData::Notify() {
  if (observer_ != nullptr) observer_->ModifiedChanged(modified_);
}

void TVorlaData::SetModified() {
  if (closing_) return;
  modified_ = true;
  Notify();
}

void TVorlaData::ClearModified() {
  modified_ = false;
  Notify();
}

void TVorlaData::FinishLoading() {}

void TVorlaData::Streamer::Write(opstream& os) const {
  TVorlaData& doc = Object();
  os.WriteObject(nullptr);  // envelope list
  os.WriteObject(nullptr);  // account list
  os.WriteObject(nullptr);  // transaction manager
  os.WriteWord32(0);        // templates
  os.WriteWord32(kTemplateIdListVersion);
  os.WriteWord32(doc.templateIds_.growth);
  os.WriteWord32(static_cast<uint32_t>(doc.templateIds_.states.size()));
  os.WriteBytes(doc.templateIds_.states.data(), doc.templateIds_.states.size());
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

  for (int member = 0; member < 3; ++member) {
    if (is.ReadOwned<TStreamableBase>()) is.SetState(pstream::kFailed);
  }

  uint32_t templateCount = is.ReadWord();
  if (templateCount != 0) is.SetState(pstream::kFailed);
  is.ReadWord();  // identifier list record version
  doc.templateIds_.growth = is.ReadWord();
  uint32_t size = is.ReadWord();
  if (size != 0 && is.CanHold(size, 1)) {
    doc.templateIds_.states.assign(size, 0);
    is.ReadBytes(doc.templateIds_.states.data(), size);
  }

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
  if (version >= 5) doc.settings_.Read(is);
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
