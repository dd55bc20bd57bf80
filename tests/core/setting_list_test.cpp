#include "core/setting_list.h"

#include <gtest/gtest.h>

#include "core/pstream.h"
#include "tests/support/byte_builder.h"

namespace {

TEST(SettingList, ScopesKeepEntriesApartAndNamesIgnoreCase) {
  TSettingList list;
  list.SetNumber("importer.IMPORTXONLYNEWERDATE", 11, 7);
  list.SetNumber("importer.IMPORTXONLYNEWERDATE", 22, 8);
  ASSERT_EQ(list.Entries().size(), 2u);
  list.SetNumber("IMPORTER.importxonlynewerdate", 33, 7);
  ASSERT_EQ(list.Entries().size(), 2u);
  EXPECT_EQ(list.Entries()[0].value, "33");
  EXPECT_EQ(list.Entries()[0].name, "importer.IMPORTXONLYNEWERDATE") << "first spelling stays";
  EXPECT_EQ(list.GetNumber("importer.IMPORTXONLYNEWERDATE", 5, 8), 22);
  EXPECT_EQ(list.GetNumber("importer.IMPORTXONLYNEWERDATE", 5, 9), 5);
  EXPECT_EQ(list.GetText("missing", "dflt", 0), "dflt");
}

TEST(SettingList, NumbersReadLikeTheStoredTextSays) {
  struct Case {
    const char* text;
    int32_t number;
  } cases[] = {{"42", 42},
               {"  -17", -17},
               {"+5x", 5},
               {"abc", 0},
               {"", 0},
               {"99999999999", 2147483647},
               {"-99999999999", -2147483647 - 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(TSettingList::ParseNumber(c.text), c.number) << c.text;
  }
}

TEST(SettingList, StoredFormAndReadingOldListVersions) {
  TSettingList list;
  list.SetText("EnvAct.ColAlloc", "0", 0);
  list.SetText("importer.QIFFolder", ".\\.", 12);
  opstream os;
  list.Write(os);
  std::vector<uint8_t> expected = TByteBuilder()
                                      .Header()
                                      .Word16(2)
                                      .Word16(2)
                                      .String("EnvAct.ColAlloc")
                                      .String("0")
                                      .Word32(0)
                                      .String("importer.QIFFolder")
                                      .String(".\\.")
                                      .Word32(12);
  EXPECT_EQ(os.Bytes(), expected);

  std::vector<uint8_t> version1 =
      TByteBuilder().Header().Word16(1).Word16(1).String("A").String("b");
  ipstream is(version1);
  TSettingList old;
  old.Read(is);
  EXPECT_TRUE(is.Good());
  ASSERT_EQ(old.Entries().size(), 1u);
  EXPECT_EQ(old.Entries()[0].scope, 0u);
}

TEST(SettingList, ReadingKeepsDuplicatesAndFindsTheFirst) {
  std::vector<uint8_t> bytes = TByteBuilder()
                                   .Header()
                                   .Word16(2)
                                   .Word16(2)
                                   .String("Key")
                                   .String("1")
                                   .Word32(0)
                                   .String("KEY")
                                   .String("2")
                                   .Word32(0);
  ipstream is(bytes);
  TSettingList list;
  list.Read(is);
  EXPECT_EQ(list.Entries().size(), 2u);
  EXPECT_EQ(list.GetNumber("key", 0, 0), 1);
}

TEST(SettingList, OverlongEntryFailsTheStream) {
  std::vector<uint8_t> bytes =
      TByteBuilder().Header().Word16(2).Word16(1).String(std::string(1024, 'n')).String("v");
  ipstream is(bytes);
  TSettingList list;
  list.Read(is);
  EXPECT_FALSE(is.Good());
  EXPECT_TRUE(list.Entries().empty());
}

}  // namespace
