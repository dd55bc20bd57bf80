// Runs the real quenbrook-cli program as scripts do and checks its contract: exit codes, one
// clear line on refusal, and nothing written over anything.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/clock.h"
#include "core/document_file.h"
#include "core/pstream.h"
#include "tests/support/cli_runner.h"
#include "tests/support/recording_user_port.h"

namespace {

namespace fs = std::filesystem;

using RunResult = TCliRun;

std::string ReadAll(const fs::path& path) {
  return ReadFileBytes(path);
}

class CliTest : public ::testing::Test {
 protected:
  RunResult Run(const std::string& arguments) {
    return RunProgram(QUENBROOK_CLI_PATH, arguments, dir_);
  }

  fs::path MakeBudget(const std::string& name) {
    TRecordingUserPort user;
    TFixedClock clock(TDateValue(3, 4, 2021));
    TModelEnvironment environment{user, clock};
    TVorlaData doc(environment);
    doc.Settings().SetText("Caf\xE9", "na\xEFve", 0);
    fs::path path = dir_ / name;
    std::string error;
    EXPECT_TRUE(WriteDocumentFile(path.string(), doc, error)) << error;
    return path;
  }

  TTempFolder temp_;
  const fs::path dir_ = temp_.Path();
};

TEST_F(CliTest, DumpPrintsTheDocumentAsJsonWithDecodedText) {
  fs::path budget = MakeBudget("Home.vrl");
  RunResult result = Run("dump " + budget.string());
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("\"class_version\":5"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("\"date\":" + std::to_string(TDateValue(3, 4, 2021).Packed())),
            std::string::npos);
  EXPECT_NE(result.out.find("\"name\":\"Caf\u00E9\",\"value\":\"na\u00EFve\",\"scope\":0"),
            std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("\"templates\":[],\"template_ids\":{\"growth\":10,\"states\":[]}"),
            std::string::npos)
      << result.out;
}

TEST_F(CliTest, ResaveWritesIdenticalBytes) {
  // A new budget's envelope root is numbered when it is first read back; after that, opening
  // and saving must not change a byte.
  fs::path budget = MakeBudget("New.vrl");
  fs::path opened = dir_ / "Opened.vrl";
  ASSERT_EQ(Run("resave " + budget.string() + " " + opened.string()).status, 0);
  fs::path copy = dir_ / "Out.vrl";
  RunResult result = Run("resave " + opened.string() + " " + copy.string());
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(ReadAll(copy), ReadAll(opened));
}

TEST_F(CliTest, UnreadableFileGivesOneLineAndStatusTwoAndWritesNothing) {
  fs::path garbage = dir_ / "garbage.vrl";
  std::ofstream(garbage, std::ios::binary) << ":\x01\x01\x00\x00\x07junk";
  fs::path target = dir_ / "keep.vrl";
  std::ofstream(target, std::ios::binary) << "precious";

  RunResult dump = Run("dump " + garbage.string());
  EXPECT_EQ(dump.status, 2);
  EXPECT_TRUE(dump.out.empty());
  EXPECT_EQ(std::count(dump.err.begin(), dump.err.end(), '\n'), 1) << dump.err;

  RunResult resave = Run("resave " + garbage.string() + " " + target.string());
  EXPECT_EQ(resave.status, 2);
  EXPECT_EQ(ReadAll(target), "precious");

  RunResult missing = Run("dump " + (dir_ / "absent.vrl").string());
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("absent.vrl"), std::string::npos);
}

TEST_F(CliTest, NewerFormatIsRefusedWithItsReason) {
  fs::path budget = MakeBudget("New.vrl");
  std::string bytes = ReadAll(budget);
  // The class version follows ":" + version, pointer byte, "[", and the name "TVorlaData".
  size_t versionAt = 1 + 4 + 1 + 1 + 4 + 10;
  bytes[versionAt] = 6;
  std::ofstream(budget, std::ios::binary | std::ios::trunc) << bytes;
  RunResult result = Run("dump " + budget.string());
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find("Attempt to open new format file."), std::string::npos) << result.err;
}

TEST_F(CliTest, WrongArgumentsShowUsage) {
  RunResult result = Run("frobnicate");
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find("usage:"), std::string::npos);
}

}  // namespace
