#pragma once

#include <cstdint>
#include <string>

#include "core/date_value.h"
#include "core/setting_list.h"
#include "core/streamable.h"

/// The fixed settings of the configuration dialogs, the main window's placement and the last
/// file. Switches are 0 or 1; the field names are the ones the configuration file has always had.
struct TSettingsRecord {
  /// The settings format this program writes.
  static constexpr uint32_t kFormat = 8;
  /// The longest last-file path the record holds.
  static constexpr size_t kMaxPath = 259;

  /// Defaults for a screen of the given size.
  TSettingsRecord(int32_t screenWidth, int32_t screenHeight);

  int32_t FrameSize[2];  ///< width, height of the main window when neither maximised nor minimised
  int32_t FramePos[2];   ///< left, top
  bool FrameMaximized = false;
  uint32_t ShowStatusBar = 1;
  uint32_t ShowControlBar = 1;
  uint32_t ReopenLastFile = 1;
  uint32_t AutoSaveMinutes = 5;
  uint32_t BackupLevel = 5;
  uint32_t ConfirmClearedOnClose = 1;
  uint32_t ConfirmImportOnClose = 1;
  uint32_t UpdateCheckDays = 30;
  TDateValue LastUpdateCheck{1, 1, 2008};
  uint32_t ShowEnvRootBalance = 1;
  uint32_t ShowBundleBalances = 1;
  uint32_t ShowAssociationBalances = 0;
  uint32_t ShowEnvelopeBalances = 1;
  uint32_t ShowAccountRootBalance = 1;
  uint32_t ShowGroupBalances = 1;
  uint32_t ShowAccountBalances = 1;
  uint32_t ShowReconcileBalances = 0;
  uint32_t CodeWidth = 7;
  uint32_t PayableToWidth = 35;
  uint32_t MemoWidth = 0;
  uint32_t AmountWidth = 11;
  uint32_t EnvelopeWidth = 17;
  uint32_t AccountWidth = 17;
  uint32_t DatesWithYear = 0;
  uint32_t FlyByMemo = 0;
  uint32_t AutoCorrectYear = 1;
  std::string LastFile;
};

/// Everything that belongs to the user rather than to a budget: the fixed settings and an
/// open-ended list of named settings. Stored as the one object of the configuration file.
class TVorlaConfig final : public TStreamableBase {
 public:
  static constexpr uint32_t kClassVersion = 3;
  /// The screen size assumed for defaults when the real one is not known.
  static constexpr int32_t kDefaultScreenWidth = 1280;
  static constexpr int32_t kDefaultScreenHeight = 800;

  explicit TVorlaConfig(int32_t screenWidth = kDefaultScreenWidth,
                        int32_t screenHeight = kDefaultScreenHeight);
  explicit TVorlaConfig(TStreamableInit);

  TSettingsRecord& Settings() { return settings_; }
  const TSettingsRecord& Settings() const { return settings_; }
  TSettingList& Named() { return named_; }
  const TSettingList& Named() const { return named_; }
  /// The settings format of the file this configuration was read from (the current one if new).
  uint32_t LoadedFormat() const { return loadedFormat_; }

  class Streamer : public TNewStreamer {
   public:
    using TNewStreamer::TNewStreamer;
    void Read(ipstream& is, uint32_t version) override;
    void Write(opstream& os) const override;
    uint32_t FormatVersion() const override { return kClassVersion; }
    TVorlaConfig& Object() const { return static_cast<TVorlaConfig&>(*GetObject()); }
  };

 private:
  TSettingsRecord settings_;
  TSettingList named_;
  uint32_t loadedFormat_ = TSettingsRecord::kFormat;
};
