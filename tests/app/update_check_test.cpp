#include "app/update_check.h"

#include <gtest/gtest.h>

#include "tests/support/recording_user_port.h"

namespace {

std::string Reply(int major, int minor, int build) {
  return "<update><major>" + std::to_string(major) + "</major><minor>" + std::to_string(minor) +
         "</minor><build>" + std::to_string(build) +
         "</build><dlink>https://example.invalid/get</dlink><cstmr>1</cstmr><bdate/></update>";
}

TEST(UpdateReply, FieldsElementsAndEmptyElements) {
  std::string reply = "<a>1</a><b/><c>open only";
  EXPECT_EQ(ExtractUpdateField(reply, "a"), "1");
  EXPECT_EQ(ExtractUpdateField(reply, "b"), "");
  EXPECT_FALSE(ExtractUpdateField(reply, "c")) << "no closing tag";
  EXPECT_FALSE(ExtractUpdateField(reply, "A")) << "tags are case-sensitive";
  EXPECT_FALSE(ExtractUpdateField(reply, "d"));
}

TEST(UpdateReply, NewerOnlyWhenTheVersionIsAbove31Build1004) {
  struct Case {
    int major, minor, build;
    bool newer;
  } cases[] = {{3, 1, 1005, true},  {3, 1, 1004, false}, {4, 0, 0, true},
               {2, 9, 9999, false}, {3, 2, 0, true},     {0, 0, 0, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(IsNewerVersion(ParseUpdateReply(Reply(c.major, c.minor, c.build))), c.newer)
        << c.major << "." << c.minor << " " << c.build;
  }
}

TEST(UpdateReply, OnlyTheFirst1023BytesCount) {
  const std::string field = "<major>9</major>";  // 16 bytes
  EXPECT_EQ(ParseUpdateReply(std::string(1023 - field.size(), ' ') + field).major, 9);
  EXPECT_EQ(ParseUpdateReply(std::string(1024 - field.size(), ' ') + field).major, 0)
      << "the closing tag is cut off";
}

TEST(UpdateReport, TheThreeOutcomes) {
  std::string opened;
  auto open = [&](const std::string& link) { opened = link; };

  TRecordingUserPort offline;
  ReportUpdateCheck(std::nullopt, offline, open);
  ASSERT_EQ(offline.Messages().size(), 1u);
  EXPECT_EQ(offline.Messages()[0].caption, "Check for Updates");
  EXPECT_EQ(offline.Messages()[0].icon, TMessageIcon::Error);

  TRecordingUserPort newer;
  newer.Script(TMessageAnswer::Yes);
  ReportUpdateCheck(Reply(3, 1, 1005), newer, open);
  EXPECT_EQ(newer.Messages()[0].text,
            "New version 3.1 Build 1005 is available.\n\nWould you like to go online now to "
            "download the update?");
  EXPECT_EQ(opened, "https://example.invalid/get");

  opened.clear();
  TRecordingUserPort declined;
  declined.Script(TMessageAnswer::No);
  ReportUpdateCheck(Reply(4, 0, 1), declined, open);
  EXPECT_TRUE(opened.empty());

  TRecordingUserPort current;
  ReportUpdateCheck(Reply(3, 1, 1004), current, open);
  EXPECT_EQ(current.Messages()[0].text,
            "You have version 3.1 Build 1004, which is the most current version.");
  EXPECT_EQ(current.Messages()[0].icon, TMessageIcon::Information);
}

TEST(UpdateReminder, DueWhenTheIntervalHasPassed) {
  TDateValue today(15, 3, 2026);
  EXPECT_FALSE(UpdateReminderDue(TDateValue(14, 2, 2026), 30, today)) << "29 days ago";
  EXPECT_TRUE(UpdateReminderDue(TDateValue(13, 2, 2026), 30, today)) << "30 days ago";
  EXPECT_TRUE(UpdateReminderDue(TDateValue(1, 1, 2008), 30, today));
  EXPECT_FALSE(UpdateReminderDue(TDateValue(1, 1, 2008), 0, today)) << "0 means never";
  EXPECT_FALSE(UpdateReminderDue(TDateValue(1, 1, 2008), 4000000000u, today));
}

}  // namespace
