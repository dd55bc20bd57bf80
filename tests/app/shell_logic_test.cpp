// The small decisions of the application shell: command line, title, auto-save, close check and
// import requests.
#include <gtest/gtest.h>

#include "app/auto_save.h"
#include "app/close_check.h"
#include "app/command_line.h"
#include "app/import_request.h"
#include "app/window_title.h"
#include "tests/support/recording_user_port.h"

namespace {

TEST(CommandLine, OptionsWithOneArgumentEachAndNothingElse) {
  TCommandLine both = ParseCommandLine({"-f", "Budget", "-w", "plan.txt"});
  EXPECT_EQ(both.file, "Budget");
  EXPECT_EQ(both.wizardFile, "plan.txt");
  // A file named alone is the budget to open, before or after other options.
  EXPECT_EQ(ParseCommandLine({"Budget.vrl"}).file, "Budget.vrl");
  TCommandLine bare = ParseCommandLine({"--import", "x.qif", "my budget.vrl"});
  EXPECT_EQ(bare.file, "my budget.vrl");
  EXPECT_EQ(bare.importFile, "x.qif");

  struct Case {
    std::vector<std::string> args;
    const char* why;
  } failing[] = {
      {{"a.vrl", "b.vrl"}, "two budgets named alone"},
      {{"-f", "a.vrl", "b.vrl"}, "a budget named alone and with -f"},
      {{"-f"}, "a missing argument"},
      {{"-f", "a", "-f", "b"}, "a repeated option"},
      {{"-F", "a"}, "options are case-sensitive"},
      {{"-x", "a"}, "an unknown option"},
  };
  for (const auto& c : failing) {
    TCommandLine parsed = ParseCommandLine(c.args);
    EXPECT_TRUE(parsed.file.empty() && parsed.wizardFile.empty()) << c.why;
  }
  EXPECT_EQ(ParseCommandLine({"--import", "x.qif"}).importFile, "x.qif");
}

TEST(WindowTitle, NameAndExtensionThenProductAndVersion) {
  EXPECT_EQ(WindowTitle("/home/u/Budgets/Home.vrl"), "Home.vrl - Quenbrook 3.1 ");
  EXPECT_EQ(WindowTitle(""), "Quenbrook 3.1 ");
}

TEST(AutoSave, FirstSaveComesAtTheTickAfterTheInterval) {
  TAutoSave autoSave;
  for (int tick = 1; tick <= 5; ++tick) {
    autoSave.Tick(5);
    EXPECT_FALSE(autoSave.BeginSaveIfDue()) << "tick " << tick;
  }
  autoSave.Tick(5);
  EXPECT_TRUE(autoSave.BeginSaveIfDue()) << "the sixth tick";
  EXPECT_EQ(autoSave.GetState(), TAutoSave::State::Saving);
  autoSave.Tick(5);
  EXPECT_EQ(autoSave.Minutes(), 6u) << "no counting while saving";
  autoSave.EndSave();
  EXPECT_EQ(autoSave.GetState(), TAutoSave::State::Idle);
  EXPECT_EQ(autoSave.Minutes(), 0u);
}

TEST(AutoSave, IntervalZeroIsOffAndAResetRestartsTheCount) {
  TAutoSave autoSave;
  for (int tick = 0; tick < 100; ++tick)
    autoSave.Tick(0);
  EXPECT_FALSE(autoSave.BeginSaveIfDue());
  for (int tick = 0; tick < 5; ++tick)
    autoSave.Tick(5);
  autoSave.Reset();
  autoSave.Tick(5);
  EXPECT_FALSE(autoSave.BeginSaveIfDue());
}

struct CloseCase {
  const char* why;
  TCloseCheckInput input;
  std::vector<TMessageAnswer> answers;
  bool asks;
  TCloseDecision expected;
};

class CloseCheck : public ::testing::TestWithParam<CloseCase> {};

TEST_P(CloseCheck, DecidesAndAsksOnlyWhenItMust) {
  const CloseCase& c = GetParam();
  TRecordingUserPort user;
  for (auto answer : c.answers)
    user.Script(answer);
  TCloseDecision decision = DecideClose(c.input, user);
  EXPECT_EQ(decision.proceed, c.expected.proceed) << c.why;
  EXPECT_EQ(decision.save, c.expected.save) << c.why;
  EXPECT_EQ(decision.confirmImports, c.expected.confirmImports) << c.why;
  EXPECT_EQ(decision.confirmCleared, c.expected.confirmCleared) << c.why;
  ASSERT_EQ(user.Messages().size(), c.asks ? 1u : 0u) << c.why;
  if (c.asks) {
    EXPECT_EQ(user.Messages()[0].text, "File has been modified. Save it now?");
    EXPECT_EQ(user.Messages()[0].caption, "Quenbrook");
    EXPECT_EQ(user.Messages()[0].buttons, TMessageButtons::YesNoCancel);
    EXPECT_EQ(user.Messages()[0].icon, TMessageIcon::Question);
  }
}

TCloseCheckInput Input(bool modified, bool imports, bool cleared, bool confirmImports,
                       bool confirmCleared, uint32_t autoSave) {
  return {modified, imports, cleared, confirmImports, confirmCleared, autoSave};
}

INSTANTIATE_TEST_SUITE_P(
    Matrix, CloseCheck,
    ::testing::Values(CloseCase{"unchanged",
                                Input(false, false, false, true, true, 0),
                                {},
                                false,
                                {true, false, false, false}},
                      CloseCase{"modified, Yes",
                                Input(true, false, false, true, true, 0),
                                {TMessageAnswer::Yes},
                                true,
                                {true, true, true, true}},
                      CloseCase{"modified, No",
                                Input(true, false, false, true, true, 0),
                                {TMessageAnswer::No},
                                true,
                                {true, false, false, false}},
                      CloseCase{"modified, Cancel",
                                Input(true, false, false, true, true, 0),
                                {TMessageAnswer::Cancel},
                                true,
                                {false, false, false, false}},
                      CloseCase{"modified with auto-save saves unasked",
                                Input(true, false, false, true, true, 5),
                                {},
                                false,
                                {true, true, true, true}},
                      CloseCase{"pending imports count when confirming them",
                                Input(false, true, false, true, false, 0),
                                {TMessageAnswer::Yes},
                                true,
                                {true, true, true, false}},
                      CloseCase{"pending imports ignored when not confirming them",
                                Input(false, true, false, false, true, 0),
                                {},
                                false,
                                {true, false, false, false}},
                      CloseCase{"pending cleared count when confirming them",
                                Input(false, false, true, false, true, 5),
                                {},
                                false,
                                {true, true, false, true}},
                      CloseCase{"pending cleared ignored when not confirming them",
                                Input(false, false, true, true, false, 0),
                                {},
                                false,
                                {true, false, false, false}}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(ImportRequest, ClassifiedBySearchingTheTextCaseSensitively) {
  struct Case {
    const char* text;
    TImportRequest::Kind kind;
    const char* file;
  } cases[] = {
      {"[OPENOFX(\"/tmp/a.ofx\")]", TImportRequest::Kind::Ofx, "/tmp/a.ofx"},
      {"[OPENQIF(\"/tmp/b.qif\")]", TImportRequest::Kind::Qif, "/tmp/b.qif"},
      {"QIF and OFX \"/tmp/c\"", TImportRequest::Kind::Ofx, "/tmp/c"},
      {"[open(\"/tmp/d.qfx\")]", TImportRequest::Kind::None, "/tmp/d.qfx"},
      {"OFX without quotes", TImportRequest::Kind::Ofx, ""},
      {"OFX \"unterminated", TImportRequest::Kind::Ofx, ""},
      {"[OPENCSV(\"/tmp/OFX/e.csv\")]", TImportRequest::Kind::Csv, "/tmp/OFX/e.csv"},
      {"[OPENQIF(\"/tmp/CSV/f.qif\")]", TImportRequest::Kind::Qif, "/tmp/CSV/f.qif"},
  };
  for (const auto& c : cases) {
    TImportRequest request = ClassifyImportRequest(c.text);
    EXPECT_EQ(request.kind, c.kind) << c.text;
    EXPECT_EQ(request.file, c.file) << c.text;
  }
  std::string late = std::string(300, ' ') + "OFX";
  EXPECT_EQ(ClassifyImportRequest(late).kind, TImportRequest::Kind::None)
      << "only the first 291 characters are looked at";
}

}  // namespace
