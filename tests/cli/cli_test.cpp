// Runs the real quenbrook-cli program as scripts do and checks its contract: exit codes, one
// clear line on refusal, and nothing written over anything.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "app/file_guard.h"
#include "core/clock.h"
#include "core/document_file.h"
#include "core/pstream.h"
#include "core/save_file.h"
#include "planning/template_manager.h"
#include "tests/support/cli_runner.h"
#include "tests/support/recording_user_port.h"
#include "tests/support/result_check.h"

namespace {

namespace fs = std::filesystem;

using RunResult = TCliRun;

class CliTest : public ::testing::Test {
 protected:
  RunResult Run(const std::string& arguments) {
    return RunProgram(QUENBROOK_CLI_PATH, arguments, dir_);
  }

  fs::path MakeBudget(const std::string& name,
                      const std::function<void(TVorlaData&)>& change = {}) {
    TRecordingUserPort user;
    TFixedClock clock(TDateValue(3, 4, 2021));
    TModelEnvironment environment{user, clock};
    TVorlaData doc(environment);
    doc.Settings().SetText("Caf\xE9", "na\xEFve", 0);
    if (change)
      change(doc);
    fs::path path = dir_ / name;
    EXPECT_TRUE(Succeeded(WriteDocumentFile(path.string(), doc)));
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

// A new budget's envelope root is numbered when it is first read back; after that, opening and
// saving must not change a byte.
TEST_F(CliTest, DumpPrintsTemplatesAndResaveKeepsTheBytes) {
  const fs::path budget = MakeBudget("Templates.vrl", [](TVorlaData& doc) {
    TXTemplate& pay = TemplatesOf(doc).AddNew();
    TemplatesOf(doc).AddNew();
    TemplatesOf(doc).Remove(pay.Id());
    TXTemplate& rent = TemplatesOf(doc).AddNew();
    rent.SetName("Caf\xE9 rent");
    rent.SetPeriod(kPeriodWeekly);
    rent.SetPayableTo("Landlord");
    rent.Items().Add(7, -95000, "Allocate to ~e");
  });
  RunResult result = Run("dump " + budget.string());
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("{\"id\":3,\"name\":\"Caf\u00E9 rent\",\"include_in_plan\":false,"
                            "\"period\":1,\"payable_to\":\"Landlord\",\"memo\":\"\",\"items\":[{"
                            "\"envelope\":7,\"amount\":-95000,\"label\":\"Allocate to ~e\"}]}],"
                            "\"template_ids\":{\"growth\":10,\"states\":[0,2,1,1,0,0,0,0,0,0]}"),
            std::string::npos)
      << result.out;
  const fs::path copy = dir_ / "Copy.vrl";
  ASSERT_EQ(Run("resave " + budget.string() + " " + copy.string()).status, 0);
  const fs::path again = dir_ / "Again.vrl";
  ASSERT_EQ(Run("resave " + copy.string() + " " + again.string()).status, 0);
  EXPECT_EQ(ReadFileBytes(again), ReadFileBytes(copy));
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
  EXPECT_EQ(ReadFileBytes(target), "precious");

  RunResult missing = Run("dump " + (dir_ / "absent.vrl").string());
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("absent.vrl"), std::string::npos);
}

TEST_F(CliTest, NewerFormatIsRefusedWithItsReason) {
  fs::path budget = MakeBudget("New.vrl");
  std::string bytes = ReadFileBytes(budget);
  // The class version follows ":" + version, pointer byte, "[", and the name "TVorlaData".
  size_t versionAt = 1 + 4 + 1 + 1 + 4 + 10;
  bytes[versionAt] = 6;
  std::ofstream(budget, std::ios::binary | std::ios::trunc) << bytes;
  RunResult result = Run("dump " + budget.string());
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find("Attempt to open new format file."), std::string::npos) << result.err;
}

TEST_F(CliTest, FileFailuresNameTheFileAndTheReason) {
  RunResult folder = Run("dump " + dir_.string());
  EXPECT_EQ(folder.status, 2);
  EXPECT_EQ(folder.err, "quenbrook-cli: cannot open " + dir_.string() + ": Is a directory\n");
  const fs::path nowhere = dir_ / "missing" / "Out.vrl";
  RunResult resave = Run("resave " + MakeBudget("In.vrl").string() + " " + nowhere.string());
  EXPECT_EQ(resave.status, 1);
  EXPECT_EQ(resave.err,
            "quenbrook-cli: cannot write " + nowhere.string() + ": No such file or directory\n");
}

TEST_F(CliTest, ClassNamesFromTheFileArePrintedEscapedOnOneLine) {
  std::string bytes = ReadFileBytes(MakeBudget("New.vrl"));
  const size_t name = bytes.find("TVorlaData");
  ASSERT_NE(name, std::string::npos);
  // Same length: a line break, a terminal escape and a Windows-1252 letter.
  bytes.replace(name, 10, "TV\n\x1b[2J\xE9ta");
  std::ofstream(dir_ / "Odd.vrl", std::ios::binary) << bytes;
  RunResult result = Run("dump " + (dir_ / "Odd.vrl").string());
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err,
            "quenbrook-cli: Attempt to stream unregistered type 'TV\\n\\x1b[2J\xC3\xA9ta'\n");
}

TEST_F(CliTest, WritingCommandsWaitForTheProgramsFileGuard) {
  const fs::path runtime = dir_ / "runtime";
  const fs::path budget = MakeBudget("Home.vrl");
  const std::string before = ReadFileBytes(budget);
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t holder = ::fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    TRecordingUserPort user;
    TFileGuard guard((runtime / "quenbrook").string());
    const char claimed = guard.Claim(budget.string(), user) ? 'y' : 'n';
    (void)!::write(ready[1], &claimed, 1);
    for (;;)
      ::pause();
  }
  char claimed = 0;
  ASSERT_EQ(::read(ready[0], &claimed, 1), 1);
  ASSERT_EQ(claimed, 'y');
  const std::string tool = "XDG_RUNTIME_DIR=" + runtime.string() + " " QUENBROOK_CLI_PATH;
  const std::string held =
      "quenbrook-cli: " + budget.string() + " is open in Quenbrook; nothing was written\n";
  for (const std::string& command :
       {"resave " + MakeBudget("Other.vrl").string() + " " + budget.string(),
        "generate " + budget.string() + " --transactions 3"}) {
    TCliRun refused = RunProgram(tool, command, dir_);
    EXPECT_EQ(refused.status, 2) << command;
    EXPECT_EQ(refused.err, held) << command;
    EXPECT_EQ(ReadFileBytes(budget), before) << command;
  }
  ::kill(holder, SIGKILL);
  ::waitpid(holder, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
  EXPECT_EQ(RunProgram(tool, "generate " + budget.string() + " --transactions 3", dir_).status, 0);
  EXPECT_NE(ReadFileBytes(budget), before);
}

// A killed save's temporary file goes when a later run that read the budget ends; one that a
// live writer holds stays, and so do those beside files the run never touched.
TEST_F(CliTest, ANormalEndClearsWhatKilledSavesLeftBesideItsBudget) {
  const std::string budget = MakeBudget("Home.vrl").string();
  const fs::path killed = dir_ / "Home.vrl.Ab12Cd.saving";
  const fs::path untouched = dir_ / "Other.vrl.Ab12Cd.saving";
  TSaveTemporary live;
  int reason = 0;
  ASSERT_TRUE(live.Create(budget, reason)) << reason;
  for (const std::string& command :
       {"dump " + budget, "check " + budget, "report account-summary " + budget + " --tsv"}) {
    std::ofstream(killed) << "half a budget";
    std::ofstream(untouched) << "half a budget";
    ASSERT_EQ(Run(command).status, 0) << command;
    EXPECT_FALSE(fs::exists(killed)) << command;
    EXPECT_TRUE(fs::exists(live.Path())) << command;
    EXPECT_TRUE(fs::exists(untouched)) << command;
  }
}

TEST_F(CliTest, WrongArgumentsShowUsage) {
  RunResult result = Run("frobnicate");
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find("usage:"), std::string::npos);
}

}  // namespace
