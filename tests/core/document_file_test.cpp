// Saving must never cost the user the last good file: whatever fails, and wherever the process
// dies, the budget on disk is either the old one or the new one, whole.
#include "core/document_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "core/clock.h"
#include "tests/support/recording_user_port.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  return ReadFileBytes(path);
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
  std::string error;
  ASSERT_TRUE(WriteObjectFile(path.string(), *MakeDocument(10, "old"), error)) << error;
  const std::string before = ReadAll(path);
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
    error.clear();
    EXPECT_FALSE(WriteObjectFile(path.string(), *changed, error, fault))
        << "fail after " << fault.failAfterBytes << " sync " << fault.failSync << " rename "
        << fault.failRename;
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_FALSE(fs::exists(path.string() + ".saving")) << "no temporary file is left behind";
  }
  EXPECT_TRUE(WriteObjectFile(path.string(), *changed, error));
  EXPECT_NE(ReadAll(path), before);
}

TEST_F(DocumentFileTest, AFailedFirstSaveCreatesNoHalfFile) {
  fs::path path = dir_ / "Home.vrl";
  std::string error;
  TSaveFaults fault;
  fault.failAfterBytes = 3;
  EXPECT_FALSE(WriteObjectFile(path.string(), *MakeDocument(1, "x"), error, fault));
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(DocumentFileTest, ASaveKilledMidwayAlwaysLeavesABudgetThatOpens) {
  fs::path path = dir_ / "Big.vrl";
  std::string error;
  ASSERT_TRUE(WriteObjectFile(path.string(), *MakeDocument(20, "first"), error));
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
      std::string childError;
      for (;;)
        WriteObjectFile(path.string(), big, childError);
    }
    char started = 0;
    ASSERT_EQ(::read(ready[0], &started, 1), 1);
    ::usleep(static_cast<useconds_t>(delayMicros(random)));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    if (fs::exists(path.string() + ".saving"))
      ++caughtMidway;
    std::string readError;
    auto doc = ReadDocumentFile(path.string(), environment_, readError);
    ASSERT_TRUE(doc) << "round " << round << ": " << readError;
  }
  EXPECT_GT(caughtMidway, 0) << "some kill must land while a save is under way";
}

}  // namespace
