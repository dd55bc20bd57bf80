#include "core/vorla_data.h"

#include <gtest/gtest.h>

#include "core/account_list.h"
#include "core/clock.h"
#include "core/envelope_list.h"
#include "core/pstream.h"
#include "tests/support/byte_builder.h"
#include "tests/support/recording_user_port.h"

namespace {

class TModifiedSpy : public TDocumentObserver {
 public:
  void ModifiedChanged(bool modified) override { changes.push_back(modified); }
  std::vector<bool> changes;
};

class VorlaDataTest : public ::testing::Test {
 protected:
  TRecordingUserPort user;
  TFixedClock clock{TDateValue(15, 2, 2011)};
  TModelEnvironment environment{user, clock};

  std::vector<uint8_t> Save(TVorlaData& doc) {
    opstream os;
    os.WriteObject(&doc);
    EXPECT_TRUE(os.Good());
    return os.Bytes();
  }

  std::unique_ptr<TVorlaData> Load(const std::vector<uint8_t>& bytes, bool expectGood = true) {
    ipstream is(bytes);
    is.SetEnvironment(&environment);
    auto doc = is.ReadOwned<TVorlaData>();
    EXPECT_EQ(is.Good(), expectGood);
    return doc;
  }

  // The members that an empty document writes before its window layouts: the envelope list and
  // the account list (their own bytes are pinned by their tests), no transaction store in a
  // program built without one, then the empty template block.
  static TByteBuilder& Members(TByteBuilder& b) {
    TEnvelopeList envelopes;
    TAccountList accounts;
    opstream os;
    os.WriteObject(&envelopes);
    os.WriteObject(&accounts);
    std::vector<uint8_t> lists(os.Bytes().begin() + 5, os.Bytes().end());
    return b.Append(lists).Byte(0).Word32(0).Word32(1).Word32(10).Word32(0);
  }
  static TByteBuilder& Layout(TByteBuilder& b, bool withVersion, int32_t w, int32_t h, int32_t x,
                              int32_t y, uint32_t show, uint32_t open) {
    if (withVersion)
      b.Word32(1);
    return b.Word32(w).Word32(h).Word32(x).Word32(y).Word32(show).Word32(open);
  }
};

TEST_F(VorlaDataTest, ModifiedAndBackupPendingFollowNewSaveReadAndClose) {
  auto doc = std::make_unique<TVorlaData>(environment);
  EXPECT_EQ(doc->GetDate(), TDateValue(15, 2, 2011));
  EXPECT_FALSE(doc->IsModified());
  EXPECT_TRUE(doc->IsBackupPending());
  EXPECT_EQ(doc->EnvelopeLayout().showState, TTreeWindowLayout::kNormal);
  EXPECT_FALSE(doc->AccountLayout().open);
  TModifiedSpy spy;
  doc->SetObserver(&spy);
  doc->SetModified();
  EXPECT_TRUE(doc->IsModified());
  auto bytes = Save(*doc);
  EXPECT_FALSE(doc->IsModified());
  EXPECT_FALSE(doc->IsBackupPending());
  EXPECT_EQ(spy.changes, (std::vector<bool>{true, false}));
  // Closing reports no change.
  doc.reset();
  EXPECT_EQ(spy.changes.size(), 2u);
  auto read = Load(bytes);
  ASSERT_TRUE(read);
  EXPECT_TRUE(read->IsBackupPending());
  EXPECT_FALSE(read->IsModified());
}

TEST_F(VorlaDataTest, CurrentRecordBytes) {
  TVorlaData doc(environment);
  doc.EnvelopeLayout() = {nullptr, 300, 200, 10, 20, TTreeWindowLayout::kMaximized, true};
  doc.Settings().SetNumber("EnvLgr.OldFormat", 1, 0);
  TByteBuilder b;
  b.Header().BeginObject("TVorlaData", 5);
  Members(b);
  Layout(b, true, 300, 200, 10, 20, 2, 1);
  Layout(b, true, 0, 0, 0, 0, 3, 0);
  b.Byte(15).Byte(2).Word32(2011).Word32(0x102);
  b.Word16(2).Word16(1).String("EnvLgr.OldFormat").String("1").Word32(0).EndObject();
  EXPECT_EQ(Save(doc), b.Get());
}

TEST_F(VorlaDataTest, WritingAndReadingGiveIdenticalBytes) {
  TVorlaData doc(environment);
  doc.AccountLayout() = {nullptr, -5, 7, 1, 2, TTreeWindowLayout::kMinimized, true};
  doc.SetDate(TDateValue(31, 12, 1999));
  doc.Settings().SetText("importer.QIFFolder", "C:\\Statements", 4);
  doc.AddStarterEnvelope();
  // The envelope root gets its identifier when a budget is first read back; from then on a
  // budget reads and writes to the same bytes.
  auto read = Load(Save(doc));
  ASSERT_TRUE(read);
  auto first = Save(*read);
  read = Load(first);
  ASSERT_TRUE(read);
  EXPECT_EQ(Save(*read), first);
  EXPECT_EQ(read->Envelopes().NumberOfEnvelopes(), 1u);
  EXPECT_EQ(read->AccountLayout().width, -5);
  EXPECT_EQ(read->Settings().GetText("importer.qiffolder", "", 4), "C:\\Statements");
}

// Older records lack the later fields; version 1 even the layouts' own versions.
TEST_F(VorlaDataTest, OlderVersionsReadTheirFields) {
  for (uint32_t version : {1u, 2u, 3u, 4u}) {
    TByteBuilder b;
    b.Header().BeginObject("TVorlaData", version);
    Members(b);
    Layout(b, version >= 2, 1, 2, 3, 4, 3, 0);
    Layout(b, version >= 2, 5, 6, 7, 8, 1, 1);
    if (version >= 3)
      b.Byte(4).Byte(7).Word32(2010);
    if (version >= 4)
      b.Word32(0x102);
    b.EndObject();
    auto doc = Load(b.Get());
    ASSERT_TRUE(doc) << version;
    // A record without a date is dated today.
    EXPECT_EQ(doc->GetDate(), version >= 3 ? TDateValue(4, 7, 2010) : TDateValue(15, 2, 2011));
    EXPECT_EQ(doc->EnvelopeLayout().width, 1) << version;
    EXPECT_EQ(doc->AccountLayout().y, 8) << version;
    EXPECT_TRUE(doc->AccountLayout().open) << version;
    EXPECT_TRUE(doc->Settings().Entries().empty()) << version;
    EXPECT_EQ(doc->LoadedVersion(), version);
  }
}

TEST_F(VorlaDataTest, DiscardedLegacyListIsSkippedBeforeTheSettings) {
  TByteBuilder b;
  b.Header().BeginObject("TVorlaData", 5);
  Members(b);
  Layout(b, true, 0, 0, 0, 0, 3, 0);
  Layout(b, true, 0, 0, 0, 0, 3, 0);
  b.Byte(1).Byte(1).Word32(2009).Word32(0x101);
  b.Word32(2).Word32(77).String("C:\\old\\a.qif").Word32(78).String("C:\\old\\b.qif");
  b.Word32(0xABCD).String("C:\\old");
  b.Word16(2).Word16(1).String("Kept").String("yes").Word32(3).EndObject();
  auto doc = Load(b.Get());
  ASSERT_TRUE(doc);
  EXPECT_EQ(doc->Settings().GetText("Kept", "", 3), "yes");
  // Written again, the legacy block is the short form.
  auto again = Save(*doc);
  auto reread = Load(again);
  ASSERT_TRUE(reread);
  EXPECT_EQ(Save(*reread), again);
}

TEST_F(VorlaDataTest, NewerVersionIsRefusedAfterItsKnownFields) {
  TByteBuilder b;
  b.Header().BeginObject("TVorlaData", 6);
  Members(b);
  Layout(b, true, 0, 0, 0, 0, 3, 0);
  Layout(b, true, 0, 0, 0, 0, 3, 0);
  b.Byte(1).Byte(1).Word32(2030).Word32(0x102).Word16(2).Word16(0).EndObject();
  ipstream is(b.Get());
  is.SetEnvironment(&environment);
  try {
    is.ReadOwned<TVorlaData>();
    FAIL() << "a newer record must be refused";
  } catch (const TModelError& error) {
    EXPECT_STREQ(error.what(), "Attempt to open new format file.\n");
  }
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].caption, "Unable to Open File");
  EXPECT_EQ(user.Messages()[0].text,
            "Quenbrook is unable to open this file.\n\nThe file was last edited with a newer "
            "version of the software.");
  EXPECT_EQ(user.Messages()[0].icon, TMessageIcon::Error);
}

TEST_F(VorlaDataTest, TruncatedRecordFailsAtEveryLength) {
  TVorlaData doc(environment);
  doc.Settings().SetText("a", "b", 0);
  auto bytes = Save(doc);
  for (size_t length = 0; length + 1 < bytes.size(); ++length) {
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(length));
    ipstream is(cut);
    is.SetEnvironment(&environment);
    auto read = is.ReadOwned<TVorlaData>();
    EXPECT_FALSE(is.Good()) << "cut at " << length;
  }
}

TEST_F(VorlaDataTest, ReadingWithoutAnEnvironmentIsAnError) {
  TVorlaData doc(environment);
  auto bytes = Save(doc);
  ipstream is(bytes);
  EXPECT_THROW(is.ReadOwned<TVorlaData>(), TModelError);
}

}  // namespace
