#include "import/statement_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "core/clock.h"
#include "core/setting_list.h"
#include "tests/support/recording_user_port.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(StatementFileTest, ChosenFileRemembersItsFolderAndMissingOnesAreTold) {
  TTempFolder folder;
  const std::string path = (folder.Path() / "May.ofx").string();
  std::ofstream(path) << "<STMTTRN><TRNAMT>-1.50</STMTTRN>";
  TRecordingUserPort user;
  TSettingList configuration;
  user.ScriptOpenFile(path);
  TImportBatch batch;
  ASSERT_TRUE(ChooseImportFile(batch, TStatementKind::Ofx, "", user, configuration));
  EXPECT_EQ(batch.Path, path);
  EXPECT_EQ(user.Dialogs().at(0).name, "Open OFX File");
  EXPECT_EQ(user.Dialogs()[0].takenNames,
            (std::vector<std::string>{"OFX File|*.ofx|QFX File|*.qfx|All Files|*.*|", ".\\."}));
  EXPECT_EQ(configuration.GetText("importer.OFXFolder", "", 0), folder.Path().string());
  EXPECT_EQ(ReadStatementFile(batch, TStatementKind::Ofx, TFixedClock(TDateValue())), 1u);

  // The next choice starts in that folder; cancelling leaves the path empty.
  user.ScriptOpenFile(std::nullopt);
  EXPECT_FALSE(ChooseImportFile(batch, TStatementKind::Ofx, "", user, configuration));
  EXPECT_EQ(user.Dialogs().at(1).takenNames.at(1), folder.Path().string());
  EXPECT_TRUE(batch.Path.empty());
  EXPECT_TRUE(user.Messages().empty());

  // A given path is not asked for; a missing one is told, its control characters escaped.
  EXPECT_FALSE(ChooseImportFile(batch, TStatementKind::Qif, "/no/a\nb.qif", user, configuration));
  EXPECT_TRUE(batch.Path.empty());
  EXPECT_EQ(user.Dialogs().size(), 2u);
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].caption, "QIF Import");
  EXPECT_EQ(user.Messages()[0].text,
            "Could not open \"/no/a\\nb.qif\" for importing transactions. Check to see if the "
            "file exists.");
  EXPECT_EQ(user.Messages()[0].icon, TMessageIcon::None);
}

TEST(StatementFileTest, OnlyWholeRegularFilesAreRead) {
  TTempFolder folder;
  const std::string fifo = (folder.Path() / "pipe.qif").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(ReadStatementBytes(fifo));  // would wait for a writer forever
  EXPECT_FALSE(ReadStatementBytes(folder.Path().string()));
  EXPECT_FALSE(ReadStatementBytes("/dev/zero"));
}

TEST(StatementFileTest, KindByContent) {
  EXPECT_EQ(DetectStatementKind("OFXHEADER:100\r\nDATA:OFXSGML"), TStatementKind::Ofx);
  EXPECT_EQ(DetectStatementKind("\xEF\xBB\xBF \n<?xml version=\"1.0\"?>"), TStatementKind::Ofx);
  EXPECT_EQ(DetectStatementKind("\r\n!Type:Bank\nD1/1/11"), TStatementKind::Qif);
  EXPECT_EQ(DetectStatementKind("D1/1/11\nT5\n^"), TStatementKind::Qif);
  EXPECT_EQ(DetectStatementKind("%PDF-1.4"), TStatementKind::Unknown);
  EXPECT_EQ(DetectStatementKind(std::string("\0\0", 2)), TStatementKind::Unknown);
}

}  // namespace
