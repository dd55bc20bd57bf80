#include "import/statement_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "core/clock.h"
#include "core/setting_list.h"
#include "tests/support/recording_user_port.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(StatementFileTest, ChosenFileRemembersItsFolder) {
  TTempFolder folder;
  const std::string path = (folder.Path() / "May.ofx").string();
  std::ofstream(path) << "<STMTTRN><TRNAMT>-1.50</STMTTRN>";
  TRecordingUserPort user;
  TSettingList configuration;
  user.ScriptOpenFile(path);
  TImportBatch batch;
  ASSERT_TRUE(ChooseImportFile(batch, TStatementKind::Ofx, "", user, configuration));
  EXPECT_EQ(batch.Path, path);
  ASSERT_EQ(user.Dialogs().size(), 1u);
  EXPECT_EQ(user.Dialogs()[0].name, "Open OFX File");
  EXPECT_EQ(user.Dialogs()[0].takenNames,
            (std::vector<std::string>{"OFX File|*.ofx|QFX File|*.qfx|All Files|*.*|", ".\\."}));
  EXPECT_EQ(configuration.GetText("importer.OFXFolder", "", 0), folder.Path().string());
  EXPECT_EQ(configuration.GetText("importer.QIFFolder", "none", 0), "none");

  TFixedClock clock(TDateValue(1, 6, 2011));
  EXPECT_EQ(ReadStatementFile(batch, TStatementKind::Ofx, clock), 1u);
  EXPECT_EQ(batch.Records.at(0).Amount.Cents(), -150);

  // The next choice starts in that folder; cancelling leaves the path empty.
  user.ScriptOpenFile(std::nullopt);
  EXPECT_FALSE(ChooseImportFile(batch, TStatementKind::Ofx, "", user, configuration));
  EXPECT_EQ(user.Dialogs().at(1).takenNames.at(1), folder.Path().string());
  EXPECT_TRUE(batch.Path.empty());
  EXPECT_TRUE(user.Messages().empty());
}

TEST(StatementFileTest, MissingFileIsToldWithItsPathEscaped) {
  TRecordingUserPort user;
  TSettingList configuration;
  TImportBatch batch;
  EXPECT_FALSE(
      ChooseImportFile(batch, TStatementKind::Qif, "/nowhere/a\nb.qif", user, configuration));
  EXPECT_TRUE(batch.Path.empty());
  EXPECT_TRUE(user.Dialogs().empty());
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].caption, "QIF Import");
  EXPECT_EQ(user.Messages()[0].text,
            "Could not open \"/nowhere/a\\nb.qif\" for importing transactions. Check to see if "
            "the file exists.");
  EXPECT_EQ(user.Messages()[0].icon, TMessageIcon::None);
}

TEST(StatementFileTest, OnlyWholeRegularFilesAreRead) {
  TTempFolder folder;
  const std::string fifo = (folder.Path() / "pipe.qif").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(ReadStatementBytes(fifo));
  EXPECT_FALSE(ReadStatementBytes(folder.Path().string()));
  EXPECT_FALSE(ReadStatementBytes("/dev/zero"));
  TImportBatch batch;
  batch.Path = (folder.Path() / "gone.qif").string();
  EXPECT_EQ(ReadStatementFile(batch, TStatementKind::Qif, TFixedClock(TDateValue())), 0u);
}

TEST(StatementFileTest, KindByContent) {
  const struct {
    std::string bytes;
    TStatementKind kind;
  } cases[] = {
      {"OFXHEADER:100\r\nDATA:OFXSGML", TStatementKind::Ofx},
      {"\xEF\xBB\xBF  <?xml version=\"1.0\"?>", TStatementKind::Ofx},
      {"\n<OFX>", TStatementKind::Ofx},
      {"!Type:Bank\nD1/1/11", TStatementKind::Qif},
      {"\r\nD1/1/11\nT5\n^", TStatementKind::Qif},
      {"", TStatementKind::Unknown},
      {"%PDF-1.4", TStatementKind::Unknown},
      {std::string("\0\0", 2), TStatementKind::Unknown},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DetectStatementKind(c.bytes), c.kind) << c.bytes;
}

}  // namespace
