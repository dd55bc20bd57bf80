#include "app/vorla_config.h"

#include <array>

#include "core/pstream.h"
#include "core/stream_registry.h"

namespace {

const TStreamableClass registration{"TVorlaConfig", &BuildStreamer<TVorlaConfig>,
                                    typeid(TVorlaConfig)};

// The switches and widths that every settings format starts with, in their stored order.
std::array<uint32_t*, 18> LeadingFields(TSettingsRecord& s) {
  return {&s.ShowStatusBar,         &s.ShowControlBar,
          &s.AutoSaveMinutes,       &s.ShowEnvRootBalance,
          &s.ShowBundleBalances,    &s.ShowAssociationBalances,
          &s.ShowEnvelopeBalances,  &s.ShowAccountRootBalance,
          &s.ShowGroupBalances,     &s.ShowAccountBalances,
          &s.ShowReconcileBalances, &s.CodeWidth,
          &s.PayableToWidth,        &s.AmountWidth,
          &s.EnvelopeWidth,         &s.AccountWidth,
          &s.DatesWithYear,         &s.FlyByMemo};
}

}  // namespace

TSettingsRecord::TSettingsRecord(int32_t screenWidth, int32_t screenHeight)
    : FrameSize{screenWidth * 4 / 5, screenHeight * 4 / 5},
      FramePos{screenWidth / 10, screenHeight / 10} {}

TVorlaConfig::TVorlaConfig(int32_t screenWidth, int32_t screenHeight)
    : settings_(screenWidth, screenHeight) {}

TVorlaConfig::TVorlaConfig(TStreamableInit) : TVorlaConfig() {}

void TVorlaConfig::Streamer::Write(opstream& os) const {
  TVorlaConfig& config = Object();
  TSettingsRecord& s = config.settings_;
  os.WriteWord32(TSettingsRecord::kFormat);
  for (uint32_t* field : LeadingFields(s))
    os.WriteWord32(*field);
  os.WriteWord32(static_cast<uint32_t>(s.FrameSize[0]));
  os.WriteWord32(static_cast<uint32_t>(s.FrameSize[1]));
  os.WriteWord32(static_cast<uint32_t>(s.FramePos[0]));
  os.WriteWord32(static_cast<uint32_t>(s.FramePos[1]));
  os.WriteByte(s.FrameMaximized ? 1 : 0);
  os.WriteWord32(s.BackupLevel);
  os.WriteWord32(s.ReopenLastFile);
  os.WriteString(s.LastFile);
  os.WriteWord32(s.MemoWidth);
  os.WriteWord32(s.AutoCorrectYear);
  os.WriteWord32(s.ConfirmClearedOnClose);
  os.WriteWord32(s.ConfirmImportOnClose);
  os.WriteWord32(s.UpdateCheckDays);
  s.LastUpdateCheck.Write(os);
  config.named_.Write(os);
}

void TVorlaConfig::Streamer::Read(ipstream& is, uint32_t version) {
  TVorlaConfig& config = Object();
  TSettingsRecord& s = config.settings_;
  uint32_t format = is.ReadWord();
  config.loadedFormat_ = format;
  for (uint32_t* field : LeadingFields(s))
    *field = is.ReadWord();
  if (format >= 2) {
    s.FrameSize[0] = static_cast<int32_t>(is.ReadRaw32());
    s.FrameSize[1] = static_cast<int32_t>(is.ReadRaw32());
    s.FramePos[0] = static_cast<int32_t>(is.ReadRaw32());
    s.FramePos[1] = static_cast<int32_t>(is.ReadRaw32());
    s.FrameMaximized = is.ReadByte() != 0;
  }
  if (format >= 3)
    s.BackupLevel = is.ReadWord();
  if (format >= 4) {
    s.ReopenLastFile = is.ReadWord();
    is.ReadString(s.LastFile, TSettingsRecord::kMaxPath + 1);
  }
  if (format >= 5)
    s.MemoWidth = is.ReadWord();
  if (format >= 6)
    s.AutoCorrectYear = is.ReadWord();
  if (format >= 7) {
    s.ConfirmClearedOnClose = is.ReadWord();
    s.ConfirmImportOnClose = is.ReadWord();
  }
  if (format >= 8) {
    s.UpdateCheckDays = is.ReadWord();
    s.LastUpdateCheck.Read(is);
  }
  if (version >= 3)
    config.named_.Read(is);
}
