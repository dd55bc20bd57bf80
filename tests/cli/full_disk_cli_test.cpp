// quenbrook-cli when what it writes cannot reach its destination: standard output on a full
// device, and files beyond what the system lets the process write. Each command ends with status
// 1 and one line with the file and the system's reason, and the budget stays as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/cli_runner.h"
#include "tests/support/small_budget.h"

namespace {

namespace fs = std::filesystem;

// Where the command's output is made to fail.
enum class TFailingOutput {
  StandardOutput,  // standard output is /dev/full
  Files,           // no file may grow beyond 512 bytes
};

class FullDiskCliTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(WriteSmallBudget(budget_, "Landlord")); }

  TCliRun Run(const std::string& arguments, TFailingOutput failing) {
    const fs::path err = dir_ / "stderr.txt";
    // A process over its file size limit gets SIGXFSZ unless it ignores it; ignored, the write
    // fails with "File too large", as one on a full disk fails with "No space left on device".
    const std::string command =
        failing == TFailingOutput::Files
            ? "trap '' XFSZ; ulimit -f 1; " QUENBROOK_CLI_PATH " " + arguments + " >/dev/null"
            : QUENBROOK_CLI_PATH " " + arguments + " >/dev/full";
    const int raw = std::system((command + " 2>" + err.string()).c_str());
    TCliRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.err = ReadFileBytes(err);
    return run;
  }

  TTempFolder temp_;
  const fs::path dir_ = temp_.Path();
  const fs::path budget_ = dir_ / "Home.vrl";
};

TEST_F(FullDiskCliTest, EveryCommandSaysWhyItsOutputWasNotWritten) {
  const std::string budget = budget_.string();
  const fs::path copy = dir_ / "Copy.vrl";
  ASSERT_TRUE(WriteSmallBudget(copy, "Grocer"));
  const fs::path statement = dir_ / "bank.qif";
  std::ofstream(statement) << "!Type:Bank\nD04/06/2021\nT250.00\nPEmployer\n^\n";
  const std::string import = "import " + budget + " " + statement.string() + " --account 1";
  const std::string report = "report account-ledger " + budget;
  // The painting libraries keep caches of their own; these are written now, so that the runs
  // below fail only in what the tool itself writes.
  ASSERT_EQ(
      RunProgram(QUENBROOK_CLI_PATH, report + " --png " + (dir_ / "warm").string(), dir_).status,
      0);
  fs::remove(dir_ / "warm-1.png");

  const std::string full = "No space left on device";
  const std::string large = "File too large";
  const std::string stdoutFails = "quenbrook-cli: cannot write standard output: " + full + "\n";
  struct TCase {
    std::string arguments;
    TFailingOutput failing;
    std::string line;
    bool budgetSaved;  // the import saved the budget before its report failed
  };
  const TCase cases[] = {
      {"dump " + budget, TFailingOutput::StandardOutput, stdoutFails, false},
      {report + " --tsv", TFailingOutput::StandardOutput, stdoutFails, false},
      {report + " --clipboard", TFailingOutput::StandardOutput, stdoutFails, false},
      {report + " --pdf " + (dir_ / "out.pdf").string(), TFailingOutput::Files,
       "quenbrook-cli: Cannot write " + (dir_ / "out.pdf").string() + ": " + large + ".\n", false},
      {report + " --png " + (dir_ / "page").string(), TFailingOutput::Files,
       "quenbrook-cli: Cannot write " + (dir_ / "page-1.png").string() + ": " + large + ".\n",
       false},
      {"resave " + budget + " " + copy.string(), TFailingOutput::Files,
       "quenbrook-cli: cannot write " + copy.string() + ": " + large + "\n", false},
      {import, TFailingOutput::Files, "quenbrook-cli: cannot write " + budget + ": " + large + "\n",
       false},
      {import, TFailingOutput::StandardOutput,
       "quenbrook-cli: " + budget +
           " was saved with the import, but its report could not be written to standard "
           "output: " +
           full + "\n",
       true},
  };
  for (const TCase& c : cases) {
    const std::string before = ReadFileBytes(budget_);
    const std::string copyBefore = ReadFileBytes(copy);
    const TCliRun run = Run(c.arguments, c.failing);
    EXPECT_EQ(run.status, 1) << c.arguments;
    EXPECT_EQ(run.err, c.line) << c.arguments;
    EXPECT_EQ(ReadFileBytes(budget_) != before, c.budgetSaved) << c.arguments;
    EXPECT_EQ(ReadFileBytes(copy), copyBefore) << c.arguments;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      const std::string name = entry.path().filename().string();
      EXPECT_TRUE(name.ends_with(".vrl") || name.ends_with(".qif") || name.ends_with(".txt"))
          << c.arguments << " left " << name;
    }
  }
}

}  // namespace
