#include "app/config_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

class ConfigStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { variables_["HOME"] = home_.string(); }

  TEnvironmentLookup Lookup() {
    return [this](const char* name) -> const char* {
      auto it = variables_.find(name);
      return it == variables_.end() ? nullptr : it->second.c_str();
    };
  }

  TTempFolder temp_;
  const fs::path home_ = temp_.Path();
  std::map<std::string, std::string> variables_;
};

TEST_F(ConfigStoreTest, FirstStartCreatesTheFolderAndAFileOfDefaults) {
  std::string path = LocateConfigFile(Lookup());
  EXPECT_EQ(path, (home_ / ".config/Quenbrook/Vorla.cfg").string());
  EXPECT_TRUE(fs::is_directory(home_ / ".config/Quenbrook"));
  auto config = LoadConfig(path, 1280, 800);
  ASSERT_TRUE(config);
  EXPECT_EQ(config->Settings().AutoSaveMinutes, 5u);
  ASSERT_TRUE(fs::exists(path));
  auto again = LoadConfig(path, 640, 480);
  EXPECT_EQ(again->Settings().FrameSize[0], 1024) << "the written defaults are read back";
}

TEST_F(ConfigStoreTest, RoamingFileIsCopiedButNeverReplacesALocalOne) {
  fs::create_directories(home_ / ".local/share/Quenbrook");
  TVorlaConfig roaming;
  roaming.Settings().BackupLevel = 2;
  ASSERT_TRUE(SaveConfig((home_ / ".local/share/Quenbrook/Vorla.cfg").string(), roaming));

  std::string path = LocateConfigFile(Lookup());
  EXPECT_EQ(LoadConfig(path, 1280, 800)->Settings().BackupLevel, 2u);

  roaming.Settings().BackupLevel = 4;
  ASSERT_TRUE(SaveConfig((home_ / ".local/share/Quenbrook/Vorla.cfg").string(), roaming));
  LocateConfigFile(Lookup());
  EXPECT_EQ(LoadConfig(path, 1280, 800)->Settings().BackupLevel, 2u);
}

TEST_F(ConfigStoreTest, XdgFoldersAreHonouredAndWithoutAHomeTheFileIsInTheCurrentFolder) {
  variables_["XDG_CONFIG_HOME"] = (home_ / "cfg").string();
  EXPECT_EQ(LocateConfigFile(Lookup()), (home_ / "cfg/Quenbrook/Vorla.cfg").string());
  variables_.clear();
  EXPECT_EQ(LocateConfigFile(Lookup()), "Vorla.cfg");
}

TEST_F(ConfigStoreTest, DamagedOrForeignFilesAreReplacedByDefaults) {
  fs::path path = home_ / "Vorla.cfg";
  for (std::string content : {std::string(), std::string("garbage"),
                              std::string(":\x01\x01\x00\x00\x02[\x04\x00\x00\x00TFoo", 15)}) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    auto config = LoadConfig(path.string(), 1280, 800);
    ASSERT_TRUE(config);
    EXPECT_EQ(config->Settings().UpdateCheckDays, 30u);
    EXPECT_NE(ReadFileBytes(path), content) << "a valid file exists from then on";
  }
}

TEST_F(ConfigStoreTest, MaximisedWindowKeepsItsNormalPlacementAndOverlongNamesAreNotKept) {
  TSettingsRecord settings(1280, 800);
  RecordFramePlacement(settings, false, false, 5, 6, 700, 500);
  RecordFramePlacement(settings, true, false, 0, 0, 1280, 800);
  EXPECT_EQ(settings.FrameSize[0], 700);
  EXPECT_EQ(settings.FramePos[1], 6);
  EXPECT_TRUE(settings.FrameMaximized);
  SetLastFile(settings, "/home/u/Home.vrl");
  EXPECT_EQ(settings.LastFile, "/home/u/Home.vrl");
  SetLastFile(settings, "/" + std::string(300, 'x'));
  EXPECT_EQ(settings.LastFile, "");
}

}  // namespace
