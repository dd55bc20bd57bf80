// The file guard between running copies and the backup rotation, on real files and processes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/backup_rotation.h"
#include "app/file_guard.h"
#include "tests/support/recording_user_port.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

void WriteAll(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

class FileStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(dir_ / "locks"); }
  std::string Locks() const { return (dir_ / "locks").string(); }

  TTempFolder temp_;
  const fs::path dir_ = temp_.Path();
};

TEST_F(FileStoreTest, GuardNameIgnoresCaseAndSlashKindAndBlanks) {
  EXPECT_EQ(TFileGuard::GuardName("/home/u/My Budget.vrl"), "/HOME/U/MY_BUDGET.VRL");
  EXPECT_EQ(TFileGuard::GuardName("C:\\Budgets\\home.vrl"),
            TFileGuard::GuardName("c:/budgets/HOME.vrl"));
}

TEST_F(FileStoreTest, SecondClaimOfAHeldFileIsRefusedWithTheGivenPath) {
  TRecordingUserPort user;
  TFileGuard first(Locks());
  TFileGuard second(Locks());
  std::string path = (dir_ / "Home.vrl").string();
  ASSERT_TRUE(first.Claim(path, user));
  EXPECT_TRUE(first.Claim(path, user)) << "the file already held";
  std::string other = (dir_ / "sub/../HOME.vrl").string();
  EXPECT_FALSE(second.Claim(other, user));
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].caption, "Error");
  EXPECT_EQ(user.Messages()[0].text,
            "File \"" + other +
                "\" is already open in another instance of Quenbrook. You must first close the "
                "file before opening it again.");
  EXPECT_EQ(user.Messages()[0].icon, TMessageIcon::Exclamation);
  EXPECT_TRUE(second.FileName().empty());
  // A refused claim keeps the file the guard held before.
  ASSERT_TRUE(second.Claim((dir_ / "A.vrl").string(), user));
  EXPECT_FALSE(second.Claim(other, user));
  EXPECT_EQ(second.FileName(), (dir_ / "A.vrl").string());
  first.Release();
  EXPECT_TRUE(second.Claim(other, user));
}

TEST_F(FileStoreTest, AFileAndALinkToItGuardEachOther) {
  TRecordingUserPort user;
  const fs::path real = dir_ / "Real.vrl";
  fs::create_symlink(real, dir_ / "Link.vrl");
  for (auto [first, second] : {std::pair{real, dir_ / "Link.vrl"}, {dir_ / "Link.vrl", real}}) {
    TFileGuard holder(Locks());
    TFileGuard other(Locks());
    ASSERT_TRUE(holder.Claim(first.string(), user));
    EXPECT_FALSE(other.Claim(second.string(), user)) << first << " held, " << second << " claimed";
    holder.Release();
    EXPECT_TRUE(other.Claim(second.string(), user));
  }
}

TEST_F(FileStoreTest, AnotherProcessHoldsTheFileUntilItIsKilled) {
  std::string path = (dir_ / "Shared.vrl").string();
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    TRecordingUserPort user;
    TFileGuard guard(Locks());
    char ok = guard.Claim(path, user) ? 'y' : 'n';
    (void)!::write(ready[1], &ok, 1);
    ::pause();
    ::_exit(0);
  }
  char ok = 0;
  ASSERT_EQ(::read(ready[0], &ok, 1), 1);
  ASSERT_EQ(ok, 'y');
  TRecordingUserPort user;
  TFileGuard guard(Locks());
  EXPECT_FALSE(guard.Claim(path, user));
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_TRUE(guard.Claim(path, user)) << "the kernel released the dead process's claim";
  ::close(ready[0]);
  ::close(ready[1]);
}

TEST_F(FileStoreTest, BackupNamesPutTheGenerationBeforeTheExtension) {
  EXPECT_EQ(BackupName("/b/Home.vrl", 2), "/b/Home.backup2.vrl");
  EXPECT_EQ(BackupName("/b/Home", 1), "/b/Home.backup1");
  EXPECT_EQ(BackupName("/b/My.Budget.vrl", 3), "/b/My.Budget.backup3.vrl");
}

TEST_F(FileStoreTest, RotationLevelsZeroAndOne) {
  fs::path file = dir_ / "Home.vrl";
  WriteAll(file, "v1");
  RotateBackups(file.string(), 0);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2)
      << "level 0 creates nothing (the budget and the lock folder)";
  RotateBackups(file.string(), 1);
  WriteAll(file, "v2");
  RotateBackups(file.string(), 1);
  EXPECT_EQ(ReadFileBytes(BackupName(file.string(), 1)), "v2");
  EXPECT_FALSE(fs::exists(BackupName(file.string(), 2)));
}

TEST_F(FileStoreTest, RotationFillsMissingGenerationsThenShiftsThemAndKeepsTheFile) {
  fs::path file = dir_ / "Home.vrl";
  for (const char* version : {"a", "b", "c", "d"}) {
    WriteAll(file, version);
    RotateBackups(file.string(), 3);
  }
  EXPECT_EQ(ReadFileBytes(file), "d") << "the budget exists throughout";
  EXPECT_FALSE(fs::exists(BackupName(file.string(), 4))) << "the oldest generation went";
  EXPECT_EQ(ReadFileBytes(BackupName(file.string(), 1)), "d");
  EXPECT_EQ(ReadFileBytes(BackupName(file.string(), 2)), "c");
  EXPECT_EQ(ReadFileBytes(BackupName(file.string(), 3)), "b");
}

}  // namespace
