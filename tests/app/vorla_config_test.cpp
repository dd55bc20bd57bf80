#include "app/vorla_config.h"

#include <gtest/gtest.h>

#include "core/pstream.h"
#include "tests/support/byte_builder.h"

namespace {

// The settings part as a given settings format writes it, with the default values.
TByteBuilder SettingsPart(uint32_t format) {
  TByteBuilder b;
  b.Word32(format);
  // ShowStatusBar .. FlyByMemo
  for (uint32_t value :
       {1u, 1u, 5u, 1u, 1u, 0u, 1u, 1u, 1u, 1u, 0u, 7u, 35u, 11u, 17u, 17u, 0u, 0u}) {
    b.Word32(value);
  }
  if (format >= 2)
    b.Word32(1024).Word32(640).Word32(128).Word32(80).Byte(0);
  if (format >= 3)
    b.Word32(5);
  if (format >= 4)
    b.Word32(1).String("");
  if (format >= 5)
    b.Word32(0);
  if (format >= 6)
    b.Word32(1);
  if (format >= 7)
    b.Word32(1).Word32(1);
  if (format >= 8)
    b.Word32(30).Byte(1).Byte(1).Word32(2008);
  return b;
}

TEST(VorlaConfig, DefaultsAreWrittenInTheCurrentFormat) {
  TVorlaConfig config(1280, 800);
  opstream os;
  os.WriteObject(&config);
  TByteBuilder expected;
  expected.Header().BeginObject("TVorlaConfig", 3).Append(SettingsPart(8).Get());
  expected.Word16(2).Word16(0).EndObject();
  EXPECT_EQ(os.Bytes(), expected.Get());
}

TEST(VorlaConfig, DefaultsFollowTheScreen) {
  TVorlaConfig config(1000, 700);
  EXPECT_EQ(config.Settings().FrameSize[0], 800);
  EXPECT_EQ(config.Settings().FrameSize[1], 560);
  EXPECT_EQ(config.Settings().FramePos[0], 100);
  EXPECT_EQ(config.Settings().FramePos[1], 70);
  EXPECT_EQ(config.Settings().LastUpdateCheck, TDateValue(1, 1, 2008));
}

TEST(VorlaConfig, OlderSettingsFormatsLeaveLaterFieldsAtTheirDefaults) {
  for (uint32_t format = 1; format <= 8; ++format) {
    // Every value in the file differs from its default, so a field read shows.
    TByteBuilder b;
    b.Header().BeginObject("TVorlaConfig", 3).Word32(format);
    for (int i = 0; i < 18; ++i)
      b.Word32(40 + i);
    if (format >= 2)
      b.Word32(11).Word32(12).Word32(13).Word32(14).Byte(1);
    if (format >= 3)
      b.Word32(2);
    if (format >= 4)
      b.Word32(0).String("/home/u/Home.vrl");
    if (format >= 5)
      b.Word32(44);
    if (format >= 6)
      b.Word32(0);
    if (format >= 7)
      b.Word32(0).Word32(0);
    if (format >= 8)
      b.Word32(9).Byte(5).Byte(6).Word32(2012);
    b.Word16(2).Word16(0).EndObject();

    ipstream is(b.Get());
    auto config = is.ReadOwned<TVorlaConfig>();
    ASSERT_TRUE(config && is.Good()) << "format " << format;
    const TSettingsRecord& s = config->Settings();
    EXPECT_EQ(config->LoadedFormat(), format);
    EXPECT_EQ(s.ShowStatusBar, 40u);
    EXPECT_EQ(s.FlyByMemo, 57u);
    EXPECT_EQ(s.FrameMaximized, format >= 2);
    EXPECT_EQ(s.BackupLevel, format >= 3 ? 2u : 5u);
    EXPECT_EQ(s.ReopenLastFile, format >= 4 ? 0u : 1u);
    EXPECT_EQ(s.LastFile, format >= 4 ? "/home/u/Home.vrl" : "");
    EXPECT_EQ(s.MemoWidth, format >= 5 ? 44u : 0u);
    EXPECT_EQ(s.AutoCorrectYear, format >= 6 ? 0u : 1u);
    EXPECT_EQ(s.ConfirmImportOnClose, format >= 7 ? 0u : 1u);
    EXPECT_EQ(s.UpdateCheckDays, format >= 8 ? 9u : 30u);
    EXPECT_EQ(s.LastUpdateCheck, format >= 8 ? TDateValue(5, 6, 2012) : TDateValue(1, 1, 2008));
  }
}

TEST(VorlaConfig, ClassVersionsBeforeThreeHaveNoNamedSettings) {
  TByteBuilder b;
  b.Header().BeginObject("TVorlaConfig", 2).Append(SettingsPart(8).Get()).EndObject();
  ipstream is(b.Get());
  auto config = is.ReadOwned<TVorlaConfig>();
  ASSERT_TRUE(config && is.Good());
  EXPECT_TRUE(config->Named().Entries().empty());
}

TEST(VorlaConfig, RoundTripKeepsEveryFieldAndNamedSetting) {
  TVorlaConfig config(1280, 800);
  config.Settings().LastFile = "/srv/budgets/Home.vrl";
  config.Settings().CodeWidth = 9;
  config.Named().SetNumber("EnvAct.ColAlloc", 0, 0);
  config.Named().SetText("importer.OFXFolder", "/tmp", 3);
  opstream first;
  first.WriteObject(&config);
  ipstream is(first.Bytes());
  auto read = is.ReadOwned<TVorlaConfig>();
  ASSERT_TRUE(read && is.Good());
  opstream second;
  second.WriteObject(read.get());
  EXPECT_EQ(second.Bytes(), first.Bytes());
}

TEST(VorlaConfig, OverlongLastFileFailsTheStream) {
  TByteBuilder b;
  b.Header().BeginObject("TVorlaConfig", 3).Word32(4);
  for (int i = 0; i < 18; ++i)
    b.Word32(0);
  b.Word32(0).Word32(0).Word32(0).Word32(0).Byte(0).Word32(1).Word32(1).String(
      std::string(260, 'p'));
  ipstream is(b.Get());
  auto config = is.ReadOwned<TVorlaConfig>();
  EXPECT_FALSE(is.Good());
}

}  // namespace
