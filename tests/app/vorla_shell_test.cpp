// The shell driven through its ports as the desktop program drives it, on real files.
#include "app/vorla_shell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>

#include "app/backup_rotation.h"
#include "app/config_store.h"
#include "app/recent_budgets.h"
#include "core/clock.h"
#include "core/document_file.h"
#include "planning/allocation_plan.h"
#include "tests/support/recording_user_port.h"
#include "tests/support/result_check.h"
#include "tests/support/second_writer.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

class TScriptedShellPort : public TShellPort {
 public:
  std::optional<std::string> ChooseSaveFile(const std::string& title, const std::string&) override {
    saveTitles.push_back(title);
    return Next(saveAnswers);
  }
  std::optional<std::string> ChooseOpenFile(const std::string& folder) override {
    openFolders.push_back(folder);
    return Next(openAnswers);
  }
  static std::optional<std::string> Next(std::deque<std::optional<std::string>>& answers) {
    if (answers.empty())
      return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
  bool RunAccountWizard(TVorlaData&) override {
    ++wizardRuns;
    return wizardAnswer;
  }
  void DocumentOpened(TVorlaData&) override {}
  bool CloseDocumentWindows() override { return windowsClose; }
  void ShowEnvelopeList() override { ++envelopeListShown; }
  void ShowAccountList() override { ++accountListShown; }
  void TileWindows() override {}
  void SetTitle(const std::string& text) override { title = text; }
  void ShowModified(bool) override {}
  void SetBusy(bool) override {}
  bool IsEnabled() const override { return true; }
  void Restore() override {}
  void CheckForUpdates() override { ++updateChecks; }
  void ShowNewlyImported(uint32_t account) override { newlyImported.push_back(account); }
  void WatchFile(const std::string& path) override { watched = path; }
  void ShowFileNotice(const std::string& text) override { notice = text; }
  [[noreturn]] void AbortProcess() override { throw std::runtime_error("aborted"); }

  std::deque<std::optional<std::string>> saveAnswers;
  std::deque<std::optional<std::string>> openAnswers;
  std::vector<std::string> saveTitles;
  std::vector<std::string> openFolders;
  bool wizardAnswer = true;
  bool windowsClose = true;
  int wizardRuns = 0;
  int envelopeListShown = 0;
  int accountListShown = 0;
  int updateChecks = 0;
  std::vector<uint32_t> newlyImported;
  std::string title;
  std::string watched;
  std::string notice;
};

class VorlaShellTest : public ::testing::Test {
 protected:
  void SetUp() override { config_.Settings().UpdateCheckDays = 0; }

  std::unique_ptr<TVorlaShell> MakeShell() {
    return std::make_unique<TVorlaShell>(environment_, config_, (dir_ / "Vorla.cfg").string(),
                                         port_, (dir_ / "locks").string());
  }

  // A budget file on disk, as another run of the program left it.
  fs::path MakeBudget(const std::string& name) {
    TVorlaData doc(environment_);
    fs::path path = dir_ / name;
    EXPECT_TRUE(Succeeded(WriteDocumentFile(path.string(), doc)));
    return path;
  }

  TTempFolder temp_;
  const fs::path dir_ = temp_.Path();
  TRecordingUserPort user_;
  TFixedClock clock_{TDateValue(6, 12, 2026), 1000};
  TModelEnvironment environment_{user_, clock_};
  TVorlaConfig config_;
  TScriptedShellPort port_;
};

TEST_F(VorlaShellTest, NewRunsTheWizardSavesAndShowsTheLists) {
  auto shell = MakeShell();
  port_.saveAnswers.push_back((dir_ / "Home.vrl").string());
  user_.ScriptMonthlyIncome(std::array<float, 4>{3000, 0, 0, 0});
  user_.ScriptPlanEditor([](TAllocationPlan&) { return true; });
  ASSERT_TRUE(shell->New());
  EXPECT_EQ(port_.wizardRuns, 1);
  // The plan wizard came first: its twelve envelopes and "Unallocated" are in the new budget.
  EXPECT_EQ(shell->Document()->Envelopes().NumberOfEnvelopes(), 13u);
  EXPECT_EQ(port_.saveTitles, std::vector<std::string>{"New Quenbrook File Name"});
  EXPECT_TRUE(fs::exists(dir_ / "Home.vrl"));
  EXPECT_EQ(port_.title, "Home.vrl - Quenbrook 3.1 ");
  EXPECT_EQ(port_.envelopeListShown, 1);
  EXPECT_EQ(config_.Settings().LastFile, (dir_ / "Home.vrl").string());
  EXPECT_FALSE(shell->Document()->IsModified());
}

TEST_F(VorlaShellTest, CancelledWizardOrNameLeavesNoBudget) {
  auto shell = MakeShell();
  auto saveAndClose = [](TAllocationPlan&) { return true; };
  EXPECT_FALSE(shell->New()) << "plan editor cancelled";
  EXPECT_EQ(port_.wizardRuns, 0);
  EXPECT_EQ(shell->Document(), nullptr);
  port_.wizardAnswer = false;
  user_.ScriptPlanEditor(saveAndClose);
  EXPECT_FALSE(shell->New());
  EXPECT_EQ(shell->Document(), nullptr);
  port_.wizardAnswer = true;
  user_.ScriptPlanEditor(saveAndClose);
  EXPECT_FALSE(shell->New()) << "no name chosen";
  EXPECT_EQ(shell->Document(), nullptr);
  EXPECT_EQ(port_.title, "Quenbrook 3.1 ");
}

TEST_F(VorlaShellTest, UnreadableFileIsReportedAndReleased) {
  std::ofstream(dir_ / "Bad.vrl") << "not a budget";
  auto shell = MakeShell();
  EXPECT_FALSE(shell->OpenFile((dir_ / "Bad.vrl").string()));
  ASSERT_EQ(user_.Messages().size(), 1u);
  EXPECT_EQ(user_.Messages()[0].text, "Error opening file: " + (dir_ / "Bad.vrl").string() + ".");
  EXPECT_EQ(shell->FileName(), "");
  EXPECT_EQ(shell->Document(), nullptr);
}

TEST_F(VorlaShellTest, SecondShellCannotOpenTheHeldFile) {
  fs::path budget = MakeBudget("Home.vrl");
  auto first = MakeShell();
  ASSERT_TRUE(first->OpenFile(budget.string()));
  TScriptedShellPort otherPort;
  TRecordingUserPort otherUser;
  TModelEnvironment otherEnvironment{otherUser, clock_};
  TVorlaConfig otherConfig;
  TVorlaShell second(otherEnvironment, otherConfig, (dir_ / "Other.cfg").string(), otherPort,
                     (dir_ / "locks").string());
  EXPECT_FALSE(second.OpenFile(budget.string()));
  ASSERT_EQ(otherUser.Messages().size(), 1u);
  EXPECT_NE(otherUser.Messages()[0].text.find("already open in another instance"),
            std::string::npos);
  ASSERT_TRUE(first->CloseCheck());
  EXPECT_TRUE(second.OpenFile(budget.string()));
}

TEST_F(VorlaShellTest, BackupsRotateOncePerOpenedFile) {
  config_.Settings().BackupLevel = 3;
  fs::path budget = MakeBudget("Home.vrl");
  auto shell = MakeShell();
  ASSERT_TRUE(shell->OpenFile(budget.string()));
  for (int save = 0; save < 3; ++save)
    ASSERT_TRUE(shell->Save());
  EXPECT_TRUE(fs::exists(BackupName(budget.string(), 1)));
  EXPECT_FALSE(fs::exists(BackupName(budget.string(), 2))) << "one rotation in one run";
  ASSERT_TRUE(shell->CloseCheck());
  ASSERT_TRUE(shell->OpenFile(budget.string()));
  ASSERT_TRUE(shell->Save());
  EXPECT_TRUE(fs::exists(BackupName(budget.string(), 2)));
  ASSERT_TRUE(shell->CloseCheck());

  config_.Settings().BackupLevel = 0;
  fs::path unkept = MakeBudget("Unkept.vrl");
  ASSERT_TRUE(shell->OpenFile(unkept.string()));
  ASSERT_TRUE(shell->Save());
  EXPECT_FALSE(fs::exists(BackupName(unkept.string(), 1))) << "no backups at level 0";
}

TEST_F(VorlaShellTest, LinkedBudgetsAndLeftoversOfAKilledSave) {
  config_.Settings().BackupLevel = 1;
  fs::create_directories(dir_ / "real");
  fs::path real = MakeBudget("real/Home.vrl");
  ::chmod(real.c_str(), 0640);
  fs::create_symlink(real, dir_ / "Link.vrl");
  const fs::path leftover = dir_ / "real" / "Home.vrl.x1Y2z3.saving";
  std::ofstream(leftover) << "half";
  auto shell = MakeShell();
  ASSERT_TRUE(shell->OpenFile((dir_ / "Link.vrl").string()));
  EXPECT_FALSE(fs::exists(leftover)) << "opening clears what a killed save left";
  ASSERT_TRUE(shell->Save());
  EXPECT_TRUE(fs::is_symlink(dir_ / "Link.vrl"));
  EXPECT_EQ(fs::status(real).permissions(), fs::perms(0640));
  EXPECT_EQ(fs::status(BackupName(real.string(), 1)).permissions(), fs::perms(0600));
  EXPECT_EQ(fs::status(dir_ / "Vorla.cfg").permissions(), fs::perms(0600));
  EXPECT_TRUE(user_.Messages().empty());
  ASSERT_TRUE(shell->CloseCheck());

  // A second name of the file is separated by the first save, which the user is told once.
  fs::create_hard_link(real, dir_ / "Other.vrl");
  ASSERT_TRUE(shell->OpenFile(real.string()));
  ASSERT_TRUE(shell->Save());
  ASSERT_TRUE(shell->Save());
  ASSERT_EQ(user_.Messages().size(), 1u);
  EXPECT_NE(user_.Messages()[0].text.find("has other names (hard links)"), std::string::npos);
}

TEST_F(VorlaShellTest, FailedSaveKeepsTheFileAndOffersSaveAs) {
  // A name so long that no temporary file can go beside it makes the write fail (even for
  // root, whom permissions do not stop).
  fs::path budget = dir_ / (std::string(244, 'H') + ".vrl");
  fs::copy_file(MakeBudget("Home.vrl"), budget);
  std::string before = ReadFileBytes(budget);
  auto shell = MakeShell();
  ASSERT_TRUE(shell->OpenFile(budget.string()));
  shell->Document()->SetModified();
  EXPECT_FALSE(shell->Save());
  EXPECT_EQ(ReadFileBytes(budget), before);
  EXPECT_TRUE(shell->Document()->IsModified());
  ASSERT_FALSE(user_.Messages().empty());
  const std::string& text = user_.Messages()[0].text;
  EXPECT_EQ(text.rfind("There was an error saving file \"", 0), 0u);
  // The system's reason, with the file it concerns.
  EXPECT_NE(text.find("\n\ncannot write " + budget.string() + ": File name too long"),
            std::string::npos)
      << text;
  EXPECT_EQ(port_.saveTitles, std::vector<std::string>{"Save Quenbrook File As"});
}

TEST_F(VorlaShellTest, AutoSaveAtTheSixthTick) {
  config_.Settings().AutoSaveMinutes = 5;
  fs::path budget = MakeBudget("Home.vrl");
  auto shell = MakeShell();
  shell->SetCommandLine(ParseCommandLine({"-f", budget.string()}));
  shell->Idle();
  ASSERT_NE(shell->Document(), nullptr);
  auto stamp = fs::last_write_time(budget);
  shell->Document()->SetModified();
  for (int tick = 0; tick < 5; ++tick) {
    shell->TimerTick();
    shell->Idle();
  }
  EXPECT_TRUE(shell->Document()->IsModified());
  shell->TimerTick();
  shell->Idle();
  EXPECT_FALSE(shell->Document()->IsModified());
  EXPECT_GE(fs::last_write_time(budget), stamp);
}

TEST_F(VorlaShellTest, StartUpWithAPlanFileMakesANewBudgetFromIt) {
  std::ofstream(dir_ / "plan.xml") << "<label>Pay</label><label/><label/><label/>"
                                      "<label>Rent</label><amount>700</amount>";
  auto shell = MakeShell();
  shell->SetCommandLine(ParseCommandLine({"-w", (dir_ / "plan.xml").string()}));
  port_.saveAnswers.push_back((dir_ / "Home.vrl").string());
  std::vector<std::string> columns;
  user_.ScriptPlanEditor([&](TAllocationPlan& plan) {
    columns.push_back(plan.ColumnName(0));
    return true;
  });
  shell->Idle();
  ASSERT_NE(shell->Document(), nullptr);
  EXPECT_EQ(columns, std::vector<std::string>{"Pay"});
  EXPECT_NE(shell->Document()->Envelopes().EnvelopeIdOfName("Rent"), 0u);
  EXPECT_TRUE(fs::exists(dir_ / "Home.vrl"));
}

TEST_F(VorlaShellTest, StartUpAsksForANewFileOnlyWhenNoneWasNamed) {
  // A named file that fails to open has had its own message; the question would be a second,
  // unrelated one. Without a name the question comes, and only once.
  const std::string missing = (dir_ / "Missing.vrl").string();
  enum { kNone, kLastFile, kCommandLine };
  for (int named : {kNone, kLastFile, kCommandLine}) {
    SCOPED_TRACE(named);
    user_.Clear();
    config_.Settings().ReopenLastFile = named == kNone ? 0 : 1;
    config_.Settings().LastFile = named == kLastFile ? missing : "";
    auto shell = MakeShell();
    if (named == kCommandLine)
      shell->SetCommandLine(ParseCommandLine({"-f", missing}));
    if (named == kNone)
      user_.Script(TMessageAnswer::No);
    shell->Idle();
    shell->Idle();
    EXPECT_EQ(shell->Document(), nullptr);
    size_t asked = 0;
    for (const TMessage& message : user_.Messages())
      asked += message.text == "No File Specified. Would you like to create a new Quenbrook File?";
    EXPECT_EQ(asked, named == kNone ? 1u : 0u);
    EXPECT_TRUE(named != kNone || user_.Messages().size() == 1u);
  }
}

TEST_F(VorlaShellTest, StartUpReopensTheLastFile) {
  fs::path budget = MakeBudget("Last.vrl");
  config_.Settings().LastFile = budget.string();
  auto shell = MakeShell();
  shell->SetCommandLine(ParseCommandLine({"-x", "Other.vrl"}));  // fails the parse
  shell->Idle();
  ASSERT_NE(shell->Document(), nullptr);
  EXPECT_EQ(shell->FileName(), budget.string());
}

TEST_F(VorlaShellTest, RecentBudgetsListTheLastOpenedNewestFirst) {
  auto shell = MakeShell();
  std::vector<std::string> opened;
  for (int i = 1; i <= 10; ++i) {
    opened.push_back(MakeBudget("B" + std::to_string(i) + ".vrl").string());
    ASSERT_TRUE(shell->OpenRecent(opened.back()));
  }
  // Opening one again moves it to the front instead of listing it twice.
  ASSERT_TRUE(shell->OpenRecent(opened[5]));
  const std::vector<std::string> expected = {opened[5], opened[9], opened[8], opened[7],
                                             opened[6], opened[4], opened[3], opened[2]};
  EXPECT_EQ(RecentBudgets(config_.Named()), expected);
  // The list lives in the configuration file, not in any budget.
  std::unique_ptr<TVorlaConfig> reread = LoadConfig((dir_ / "Vorla.cfg").string(), 1024, 768);
  ASSERT_NE(reread, nullptr);
  EXPECT_EQ(RecentBudgets(reread->Named()), expected);
}

TEST_F(VorlaShellTest, OpenStartsInTheOpenBudgetsFolder) {
  fs::create_directories(dir_ / "kept");
  fs::path budget = MakeBudget("kept/Home.vrl");
  config_.Settings().LastFile = budget.string();
  auto shell = MakeShell();
  shell->Idle();
  ASSERT_NE(shell->Document(), nullptr);
  shell->OpenCommand();  // cancelled
  ASSERT_EQ(port_.openFolders.size(), 1u);
  EXPECT_EQ(port_.openFolders[0], (dir_ / "kept").string());
}

TEST_F(VorlaShellTest, OpenTriesTheNameWithVrlAppendedAndReopensTheListsThatWereOpen) {
  TVorlaData doc(environment_);
  doc.AccountLayout().open = true;
  ASSERT_TRUE(Succeeded(WriteDocumentFile((dir_ / "L.vrl").string(), doc)));
  auto shell = MakeShell();
  ASSERT_TRUE(shell->OpenFile((dir_ / "L").string()));
  EXPECT_EQ(shell->FileName(), (dir_ / "L.vrl").string());
  EXPECT_TRUE(user_.Messages().empty());
  EXPECT_EQ(port_.accountListShown, 1);
  EXPECT_EQ(port_.envelopeListShown, 0);
}

TEST_F(VorlaShellTest, ModifiedBudgetAsksBeforeClosingWithoutAutoSave) {
  config_.Settings().AutoSaveMinutes = 0;
  fs::path budget = MakeBudget("Home.vrl");
  auto shell = MakeShell();
  ASSERT_TRUE(shell->OpenFile(budget.string()));
  shell->Document()->SetModified();
  user_.Script(TMessageAnswer::Cancel);
  EXPECT_FALSE(shell->CloseCheck());
  EXPECT_NE(shell->Document(), nullptr);
  user_.Script(TMessageAnswer::No);
  EXPECT_TRUE(shell->CloseCheck());
  EXPECT_EQ(shell->Document(), nullptr);
  EXPECT_EQ(port_.title, "Quenbrook 3.1 ");
}

TEST_F(VorlaShellTest, ImportRequestsNameExistingFilesOnly) {
  std::ofstream(dir_ / "a.ofx") << "x";
  auto shell = MakeShell();
  shell->ImportRequest("[OFX(\"" + (dir_ / "a.ofx").string() + "\")]");
  EXPECT_EQ(shell->PendingOfxImport(), (dir_ / "a.ofx").string());
  shell->ImportRequest("[QIF(\"" + (dir_ / "missing.qif").string() + "\")]");
  EXPECT_EQ(shell->PendingQifImport(), "");
}

TEST_F(VorlaShellTest, ImportCommandAsksForTheStatementAndRemembersItsFolder) {
  std::ofstream(dir_ / "may.qif") << "D05/02/2026\nT-12.34\n^\n";
  auto shell = MakeShell();
  ASSERT_TRUE(shell->OpenFile(MakeBudget("Home.vrl").string()));
  user_.ScriptOpenFile((dir_ / "may.qif").string());
  user_.ScriptAccountChoice(std::nullopt);
  shell->ImportStatement(TStatementKind::Qif, "");
  // The statement was read: the import asked for its account.
  EXPECT_EQ(user_.Dialogs().back().name, "Select Import Account");
  EXPECT_TRUE(port_.newlyImported.empty());
  std::unique_ptr<TVorlaConfig> saved = LoadConfig((dir_ / "Vorla.cfg").string(), 1024, 768);
  EXPECT_EQ(saved->Named().GetText("importer.QIFFolder", "", 0), dir_.string());
}

TEST_F(VorlaShellTest, UpdateReminderAfterAMinuteOncePerRun) {
  config_.Settings().UpdateCheckDays = 30;
  config_.Settings().ReopenLastFile = 0;
  auto shell = MakeShell();
  user_.Script(TMessageAnswer::No);  // no new file
  shell->Idle();
  shell->Idle();
  EXPECT_EQ(user_.Messages().size(), 1u) << "not within the first minute";
  clock_.SetSeconds(1000 + 61);
  user_.Script(TMessageAnswer::Yes);
  shell->Idle();
  ASSERT_EQ(user_.Messages().size(), 2u);
  EXPECT_EQ(user_.Messages()[1].caption, "Check for Updates");
  EXPECT_EQ(port_.updateChecks, 1);
  EXPECT_EQ(config_.Settings().LastUpdateCheck, TDateValue(6, 12, 2026));
  shell->Idle();
  EXPECT_EQ(user_.Messages().size(), 2u);
}

// ---- A budget changed on disk by another program or computer ----

class ChangedBudgetTest : public VorlaShellTest {
 protected:
  static bool IsChangedQuestion(const TMessage& message) {
    return message.text.find("was changed by another program or computer since you opened it") !=
           std::string::npos;
  }
  // Opened as the first idle moment opens it, so that later idle moments only check.
  static void OpenAtStartUp(TVorlaShell& shell, const fs::path& budget) {
    shell.SetCommandLine(ParseCommandLine({"-f", budget.string()}));
    shell.Idle();
    ASSERT_NE(shell.Document(), nullptr);
  }
  int ChangedQuestions() const {
    return static_cast<int>(
        std::count_if(user_.Messages().begin(), user_.Messages().end(), IsChangedQuestion));
  }
};

class SecondWriterShellTest : public ChangedBudgetTest,
                              public ::testing::WithParamInterface<TSecondWriterCase> {};

TEST_P(SecondWriterShellTest, SaveAndAutoSaveLeaveTheOtherWritersFileAlone) {
  config_.Settings().AutoSaveMinutes = 1;
  const fs::path budget = MakeBudget("Home.vrl");
  auto shell = MakeShell();
  OpenAtStartUp(*shell, budget);
  shell->Document()->SetModified();
  const std::string others = ActAsSecondWriter(GetParam().writer, budget);

  // Save: asked, cancelled, nothing written.
  user_.Script(TMessageAnswer::Cancel);
  EXPECT_EQ(shell->Save(), GetParam().stillOurs);
  if (GetParam().stillOurs) {
    EXPECT_EQ(ChangedQuestions(), 0);
    return;
  }
  ASSERT_EQ(ChangedQuestions(), 1);
  const TMessage& question = user_.Messages().back();
  EXPECT_EQ(question.text, "The budget \"" + budget.string() +
                               "\" was changed by another program or computer since you "
                               "opened it.");
  EXPECT_EQ(question.buttonTexts,
            (std::vector<std::string>{"Save a Copy...", "Overwrite", "Cancel"}));
  // Auto-save: asked once, then skipped silently interval after interval.
  for (int tick = 0; tick < 6; ++tick) {
    user_.Script(TMessageAnswer::Cancel);
    shell->TimerTick();
    shell->TimerTick();
    shell->Idle();
  }
  EXPECT_EQ(ChangedQuestions(), 2);
  EXPECT_TRUE(shell->Document()->IsModified());
  if (GetParam().writer == TSecondWriter::kTurnedIntoFolder)
    EXPECT_TRUE(fs::is_directory(budget));
  else
    EXPECT_EQ(ReadFileBytes(budget), others);
}

INSTANTIATE_TEST_SUITE_P(SecondWriters, SecondWriterShellTest,
                         ::testing::ValuesIn(kSecondWriterCases));

TEST_F(ChangedBudgetTest, TheAnswersToAChangedFileOverwriteAfterAskingOrSaveACopy) {
  const fs::path budget = MakeBudget("Home.vrl");
  const fs::path copy = dir_ / "Copy.vrl";
  struct {
    const char* name;
    std::vector<TMessageAnswer> answers;
    bool saved;
    fs::path written;
  } const cases[] = {
      {"overwrite, confirmed", {TMessageAnswer::No, TMessageAnswer::Yes}, true, budget},
      {"overwrite, then no", {TMessageAnswer::No, TMessageAnswer::No}, false, {}},
      {"save a copy", {TMessageAnswer::Yes}, true, copy},
      {"cancel", {TMessageAnswer::Cancel}, false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(copy);
    auto shell = MakeShell();
    OpenAtStartUp(*shell, budget);
    shell->Document()->Settings().SetText("Mine", c.name, 0);
    const std::string others = ActAsSecondWriter(TSecondWriter::kReplacedByRename, budget);
    for (TMessageAnswer answer : c.answers)
      user_.Script(answer);
    port_.saveAnswers.push_back(copy.string());
    EXPECT_EQ(shell->Save(), c.saved);
    port_.saveAnswers.clear();
    EXPECT_EQ(ReadFileBytes(budget) == others, c.written != budget);
    if (!c.written.empty()) {
      TResult<std::unique_ptr<TVorlaData>> read =
          ReadDocumentFile(c.written.string(), environment_);
      ASSERT_TRUE(Succeeded(read));
      EXPECT_EQ((*read)->Settings().GetText("Mine", "", 0), c.name);
    }
    EXPECT_EQ(fs::exists(copy), c.written == copy);
    // A save that wrote leaves nothing to ask about.
    if (c.saved) {
      const size_t asked = user_.Messages().size();
      shell->Document()->SetModified();
      EXPECT_TRUE(shell->Save());
      EXPECT_EQ(user_.Messages().size(), asked);
    }
    shell.reset();
    // The next case starts from a budget of ours again.
    fs::remove_all(budget);
    MakeBudget("Home.vrl");
  }
}

TEST_F(ChangedBudgetTest, AChangeOnDiskIsNoticedOnceAndNotAfterOurOwnSave) {
  const fs::path budget = MakeBudget("Home.vrl");
  auto shell = MakeShell();
  OpenAtStartUp(*shell, budget);
  shell->Document()->SetModified();
  ASSERT_TRUE(shell->Save());
  shell->FileChangedOutside();
  shell->Idle();
  EXPECT_TRUE(user_.Messages().empty());
  EXPECT_TRUE(port_.notice.empty());

  ActAsSecondWriter(TSecondWriter::kReplacedByRename, budget);
  user_.Script(TMessageAnswer::No);
  shell->FileChangedOutside();
  shell->Idle();
  shell->FileChangedOutside();
  shell->Idle();
  ASSERT_EQ(user_.Messages().size(), 1u);
  EXPECT_EQ(user_.Messages()[0].buttonTexts, (std::vector<std::string>{"Reopen", "Keep Open"}));
  EXPECT_EQ(port_.notice, "The budget was changed by another program or computer.");
  // Reopen reads what is on disk now; afterwards the budget is ours again.
  ActAsSecondWriter(TSecondWriter::kReplacedByRename, budget);
  shell.reset();
  shell = MakeShell();
  OpenAtStartUp(*shell, budget);
  ActAsSecondWriter(TSecondWriter::kReplacedByRename, budget);
  user_.Script(TMessageAnswer::Yes);
  shell->FileChangedOutside();
  shell->Idle();
  ASSERT_EQ(user_.Messages().size(), 2u);
  EXPECT_EQ(port_.notice, "");
  EXPECT_EQ(port_.watched, budget.string());
  EXPECT_TRUE(shell->Save());
  EXPECT_EQ(user_.Messages().size(), 2u);
}

TEST_F(ChangedBudgetTest, SyncConflictCopiesAreNamedOnceWhenTheBudgetOpens) {
  const fs::path budget = MakeBudget("Home.vrl");
  std::ofstream(dir_ / "Home (Anna's conflicted copy 2026-12-07).vrl") << "x";
  auto shell = MakeShell();
  OpenAtStartUp(*shell, budget);
  ASSERT_EQ(user_.Messages().size(), 1u);
  EXPECT_NE(user_.Messages()[0].text.find("\n\nHome (Anna's conflicted copy 2026-12-07).vrl\n"),
            std::string::npos);
  shell->Idle();
  EXPECT_EQ(user_.Messages().size(), 1u);
}

}  // namespace
