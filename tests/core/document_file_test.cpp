// Saving must never cost the user the last good file: whatever fails, and wherever the process
// dies, the budget on disk is either the old one or the new one, whole.
#include "core/document_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "core/clock.h"
#include "core/save_file.h"
#include "tests/support/recording_user_port.h"
#include "tests/support/result_check.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// The temporary files of saves in `folder`.
int SavingFilesIn(const fs::path& folder) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator(folder))
    count += entry.path().extension() == ".saving" ? 1 : 0;
  return count;
}

unsigned ModeOf(const fs::path& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

class DocumentFileTest : public ::testing::Test {
 protected:
  // A document of roughly `entries` kilobytes, so that writing it takes several deliveries.
  std::unique_ptr<TVorlaData> MakeDocument(int entries, const std::string& tag) {
    auto doc = std::make_unique<TVorlaData>(environment_);
    for (int i = 0; i < entries; ++i) {
      doc->Settings().SetText(tag + std::to_string(i), std::string(1000, 'v'), 0);
    }
    return doc;
  }

  TTempFolder temp_;
  const fs::path dir_ = temp_.Path();
  TRecordingUserPort user_;
  TFixedClock clock_{TDateValue(6, 12, 2026)};
  TModelEnvironment environment_{user_, clock_};
};

TEST_F(DocumentFileTest, EveryKindOfFailureLeavesThePreviousFileAsItWas) {
  fs::path path = dir_ / "Home.vrl";
  // A failed first save creates no half file.
  EXPECT_FALSE(WriteObjectFile(path.string(), *MakeDocument(1, "x"), TSaveFaults{3}));
  EXPECT_FALSE(fs::exists(path));
  ASSERT_TRUE(Succeeded(WriteObjectFile(path.string(), *MakeDocument(10, "old"))));
  const std::string before = ReadFileBytes(path);
  auto changed = MakeDocument(300, "new");

  std::vector<TSaveFaults> faults;
  for (int64_t bytes : {0, 1, 5, 65535, 65536, 65537, 200000, 250000}) {
    TSaveFaults fault;
    fault.failAfterBytes = bytes;
    faults.push_back(fault);
  }
  faults.push_back(TSaveFaults{-1, true, false});
  faults.push_back(TSaveFaults{-1, false, true});
  for (const TSaveFaults& fault : faults) {
    const std::string error = FailureOf(WriteObjectFile(path.string(), *changed, fault));
    EXPECT_FALSE(error.empty()) << "fail after " << fault.failAfterBytes << " sync "
                                << fault.failSync << " rename " << fault.failRename;
    // The message names the file and the system's reason.
    EXPECT_EQ(error.rfind("cannot ", 0), 0u) << error;
    EXPECT_NE(error.find(path.string() + ": "), std::string::npos) << error;
    const char* reason =
        fault.failAfterBytes >= 0 ? "No space left on device" : "Input/output error";
    EXPECT_NE(error.find(reason), std::string::npos) << error;
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(SavingFilesIn(dir_), 0) << "no temporary file is left behind";
  }
  EXPECT_TRUE(Succeeded(WriteObjectFile(path.string(), *changed)));
  EXPECT_NE(ReadFileBytes(path), before);
}

TEST_F(DocumentFileTest, ASaveKilledMidwayAlwaysLeavesABudgetThatOpens) {
  fs::path path = dir_ / "Big.vrl";
  ASSERT_TRUE(Succeeded(WriteObjectFile(path.string(), *MakeDocument(20, "first"))));
  std::mt19937 random(12);
  std::uniform_int_distribution<int> delayMicros(0, 30000);
  int caughtMidway = 0;
  for (int round = 0; round < 10; ++round) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      TVorlaData big(environment_);
      for (int i = 0; i < 6000; ++i) {
        big.Settings().Append({"entry" + std::to_string(i), std::string(1000, 'v'), 0});
      }
      (void)!::write(ready[1], "s", 1);
      for (;;)
        (void)WriteObjectFile(path.string(), big);
    }
    char started = 0;
    ASSERT_EQ(::read(ready[0], &started, 1), 1);
    ::usleep(static_cast<useconds_t>(delayMicros(random)));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    if (SavingFilesIn(dir_) > 0)
      ++caughtMidway;
    auto doc = ReadDocumentFile(path.string(), environment_);
    ASSERT_TRUE(Succeeded(doc)) << "round " << round;
    // The next save clears what the killed one left.
    ASSERT_TRUE(Succeeded(WriteObjectFile(path.string(), **doc)));
    EXPECT_EQ(SavingFilesIn(dir_), 0) << "round " << round;
  }
  EXPECT_GT(caughtMidway, 0) << "some kill must land while a save is under way";
}

TEST_F(DocumentFileTest, ASaveKeepsTheModeItReplacesAndANewFileIsPrivate) {
  const fs::path fresh = dir_ / "New.vrl";
  ::umask(022);
  ASSERT_TRUE(Succeeded(WriteObjectFile(fresh.string(), *MakeDocument(1, "n"))));
  EXPECT_EQ(ModeOf(fresh), 0600u);
  for (unsigned mode : {0600u, 0640u, 0444u}) {
    ::chmod(fresh.c_str(), mode);
    ASSERT_TRUE(Succeeded(WriteObjectFile(fresh.string(), *MakeDocument(2, "m"))));
    EXPECT_EQ(ModeOf(fresh), mode);
  }
  // Owner and group too, where the system lets this user give them (root may).
  if (::chown(fresh.c_str(), 4321, 4322) == 0) {
    ASSERT_TRUE(Succeeded(WriteObjectFile(fresh.string(), *MakeDocument(2, "o"))));
    struct stat info {};
    ASSERT_EQ(::stat(fresh.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 4321u);
    EXPECT_EQ(info.st_gid, 4322u);
  }
}

TEST_F(DocumentFileTest, SavingThroughALinkWritesTheLinkedFileAndKeepsTheLink) {
  fs::create_directories(dir_ / "real");
  const fs::path target = dir_ / "real" / "Home.vrl";
  ASSERT_TRUE(Succeeded(WriteObjectFile(target.string(), *MakeDocument(1, "old"))));
  // A relative link to a link to the file.
  fs::create_symlink("real/Home.vrl", dir_ / "inner.vrl");
  fs::create_symlink(dir_ / "inner.vrl", dir_ / "outer.vrl");
  const std::string before = ReadFileBytes(target);
  ASSERT_TRUE(Succeeded(WriteObjectFile((dir_ / "outer.vrl").string(), *MakeDocument(3, "new"))));
  EXPECT_TRUE(fs::is_symlink(dir_ / "outer.vrl"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "inner.vrl"));
  EXPECT_NE(ReadFileBytes(target), before);
  EXPECT_EQ(ReadFileBytes(dir_ / "outer.vrl"), ReadFileBytes(target));

  fs::create_symlink("loop-b.vrl", dir_ / "loop-a.vrl");
  fs::create_symlink("loop-a.vrl", dir_ / "loop-b.vrl");
  const std::string error =
      FailureOf(WriteObjectFile((dir_ / "loop-a.vrl").string(), *MakeDocument(1, "x")));
  EXPECT_NE(error.find("Too many levels of symbolic links"), std::string::npos) << error;
}

TEST_F(DocumentFileTest, StaleTemporariesGoButOneHeldByAWriterStays) {
  const fs::path path = dir_ / "Home.vrl";
  const fs::path older = dir_ / "Home.vrl.saving";
  const fs::path killed = dir_ / "Home.vrl.Ab12Cd.saving";
  const fs::path unrelated = dir_ / "Other.vrl.Ab12Cd.saving";
  for (const fs::path& leftover : {older, killed, unrelated})
    std::ofstream(leftover) << "half a budget";
  TSaveTemporary live;
  int reason = 0;
  ASSERT_TRUE(live.Create(path.string(), reason)) << reason;
  TSaveTemporary second;
  ASSERT_TRUE(second.Create(path.string(), reason));
  EXPECT_NE(second.Path(), live.Path()) << "two writers never share a name";

  RemoveStaleTemporaries(path.string());
  EXPECT_FALSE(fs::exists(older));
  EXPECT_FALSE(fs::exists(killed));
  EXPECT_TRUE(fs::exists(unrelated));
  EXPECT_TRUE(fs::exists(live.Path()));
  EXPECT_EQ(ModeOf(live.Path()), 0600u);

  // Opening the budget clears them too.
  std::ofstream(killed) << "half a budget";
  ASSERT_TRUE(Succeeded(WriteObjectFile(path.string(), *MakeDocument(1, "x"))));
  ASSERT_TRUE(Succeeded(ReadDocumentFile(path.string(), environment_)));
  EXPECT_FALSE(fs::exists(killed));
}

TEST_F(DocumentFileTest, ReadFailuresNameTheFileAndTheReason) {
  EXPECT_EQ(FailureOf(ReadDocumentFile(dir_.string(), environment_)),
            "cannot open " + dir_.string() + ": Is a directory");
  const fs::path hidden = dir_ / "hidden.vrl";
  std::ofstream(hidden) << "x";
  ::chmod(hidden.c_str(), 0);
  if (::access(hidden.c_str(), R_OK) != 0) {  // root reads every file
    EXPECT_EQ(FailureOf(ReadDocumentFile(hidden.string(), environment_)),
              "cannot open " + hidden.string() + ": Permission denied");
  }
  fs::create_directories(dir_ / "Folder.vrl");
  EXPECT_EQ(FailureOf(WriteObjectFile((dir_ / "Folder.vrl").string(), *MakeDocument(1, "x"))),
            "cannot replace " + (dir_ / "Folder.vrl").string() + ": Is a directory");
}

}  // namespace
