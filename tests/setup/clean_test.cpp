#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "setup/clean_action.h"
#include "setup/setup_port.h"
#include "setup/uninstall_entry.h"

namespace {

namespace fs = std::filesystem;

// Answers from a script and writes down everything the steps did, in order.
class TFakeSetupPort : public TSetupPort {
 public:
  std::optional<std::string> keyFile;
  bool answer = false;
  bool starts = true;
  std::vector<std::string> calls;
  std::vector<std::string> started;
  std::string question;

  bool ReadUninstallKeyFile(std::string& contents) override {
    calls.push_back("read");
    if (keyFile)
      contents = *keyFile;
    return keyFile.has_value();
  }
  bool AskYesNo(const std::string& caption, const std::string& text) override {
    calls.push_back("ask");
    question = caption + "|" + text;
    return answer;
  }
  void DeleteFile(const std::string& path) override { calls.push_back("delete " + path); }
  bool RunAndWait(const std::vector<std::string>& arguments) override {
    calls.push_back("run");
    started = arguments;
    return starts;
  }
  void Pause(int milliseconds) override {
    calls.push_back("pause " + std::to_string(milliseconds));
  }
};

std::string Entry(const std::string& value) {
  return "[Vorla]\nUninstallString=" + value + "\n";
}

const std::vector<std::string> kFullRun = {"read", "ask", "delete /opt/Vorla/Vorla.cfg", "run",
                                           "pause 2500"};

TEST(Clean, StepsFollowTheRegistrationAndTheAnswer) {
  const std::string binary("[Vorla]\nUninstallString=/x\0\x01\xff", 22);
  struct Case {
    const char* name;
    std::optional<std::string> keyFile;
    bool answer;
    bool starts;
    uint32_t result;
    std::vector<std::string> calls;
  };
  const std::vector<Case> cases = {
      {"no registration", std::nullopt, true, true, kCleanGoOn, {"read"}},
      {"empty file", "", true, true, kCleanGoOn, {"read"}},
      {"binary file", binary, true, true, kCleanGoOn, {"read"}},
      {"entry in another group",
       "[Other]\nUninstallString=/bin/true\n",
       true,
       true,
       kCleanGoOn,
       {"read"}},
      {"empty value", Entry(""), true, true, kCleanGoOn, {"read"}},
      {"value too long for the buffer",
       Entry("/" + std::string(255, 'a')),
       true,
       true,
       kCleanGoOn,
       {"read"}},
      // A command that cannot be split without a shell still means an old installation: the
      // question comes, and only the command is passed over.
      {"shell text in the command, accepted",
       Entry("/bin/true; rm -rf /"),
       true,
       true,
       kCleanGoOn,
       {"read", "ask", "delete /opt/Vorla/Vorla.cfg", "pause 2500"}},
      {"unquoted parentheses, accepted",
       Entry("/opt/Vorla (old)/uninstall.sh"),
       true,
       true,
       kCleanGoOn,
       {"read", "ask", "delete /opt/Vorla/Vorla.cfg", "pause 2500"}},
      {"unquoted parentheses, refused",
       Entry("/opt/Vorla (old)/uninstall.sh"),
       false,
       true,
       kCleanStop,
       {"read", "ask"}},
      {"refused", Entry("/opt/Vorla/uninstall"), false, true, kCleanStop, {"read", "ask"}},
      {"accepted", Entry("/opt/Vorla/uninstall"), true, true, kCleanGoOn, kFullRun},
      {"longest value accepted", Entry("/" + std::string(254, 'a')), true, true, kCleanGoOn,
       kFullRun},
      {"uninstaller missing", Entry("/no/such/uninstaller"), true, false, kCleanGoOn, kFullRun},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TFakeSetupPort port;
    port.keyFile = c.keyFile;
    port.answer = c.answer;
    port.starts = c.starts;
    EXPECT_EQ(RunClean(port), c.result);
    EXPECT_EQ(port.calls, c.calls);
  }
}

TEST(Clean, AsksTheFixedQuestionAndRunsTheRegisteredCommand) {
  TFakeSetupPort port;
  // Key-file escapes come first (\s, \\), then the command's own quoting.
  port.keyFile =
      "# old installer\n[Other]\nUninstallString=/wrong\n\n[Vorla]\r\nDisplayName=V\r\n"
      "UninstallString = \"/opt/Old Vorla/uninstall\" --quiet\\s\"a \\\\\"b\\\\\"\"\r\n";
  port.answer = true;
  EXPECT_EQ(RunClean(port), kCleanGoOn);
  EXPECT_EQ(port.started,
            (std::vector<std::string>{"/opt/Old Vorla/uninstall", "--quiet", "a \"b\""}));
  EXPECT_EQ(
      port.question.rfind(
          "Uninstall Previous Version|Setup has detected a previous version of Quenbrook.", 0),
      0u);
  EXPECT_NE(port.question.find("cancelled.\n\nUninstalling"), std::string::npos);
}

TEST(Clean, SplitsCommandsByDesktopEntryQuotingOnly) {
  struct Case {
    const char* command;
    std::vector<std::string> arguments;  // empty: refused
  };
  const std::vector<Case> cases = {
      {"/bin/un  -x\t-y", {"/bin/un", "-x", "-y"}},
      {"\"/a b/un\" \"$HOME\\\\\"", {"/a b/un", "$HOME\\"}},
      {"\"\\$(reboot)\"", {"$(reboot)"}},
      {"\"\" x", {}},
      {"un $(reboot)", {}},
      {"un `reboot`", {}},
      {"un > /etc/passwd", {}},
      {"un | sh", {}},
      {"\"unclosed", {}},
      {"\"a\"b", {}},
      {"\"bad \\n escape\"", {}},
      {"   ", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    std::vector<std::string> arguments{"left over"};
    EXPECT_EQ(uninstall_entry::SplitCommand(c.command, arguments), !c.arguments.empty());
    EXPECT_EQ(arguments, c.arguments);
  }
}

// The built library, loaded as the installation loads it, with the real outside world: no
// terminal and no desktop, so the question is answered No.
class CleanLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("clean-test-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Calls Clean in a child process whose standard input is not a terminal and which has no
  // desktop session, so no person is ever asked; answers Clean's result.
  int CleanInChild(const fs::path& keyFile) {
    const pid_t child = ::fork();
    if (child == 0) {
      std::freopen("/dev/null", "r", stdin);
      ::unsetenv("DISPLAY");
      ::unsetenv("WAYLAND_DISPLAY");
      ::setenv("QUENBROOK_UNINSTALL_KEYFILE", keyFile.c_str(), 1);
      void* library = ::dlopen(QUENBROOK_SETUP_LIBRARY, RTLD_NOW | RTLD_LOCAL);
      auto* clean =
          library ? reinterpret_cast<uint32_t (*)(uint32_t)>(::dlsym(library, "Clean")) : nullptr;
      ::_exit(clean ? static_cast<int>(clean(0)) : 99);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  fs::path dir_;
};

TEST_F(CleanLibrary, RefusalWithoutAPersonStopsAndRunsNothing) {
  const fs::path script = dir_ / "uninstall";
  const fs::path ran = dir_ / "uninstaller-ran";
  std::ofstream(script) << "#!/bin/sh\ntouch '" << ran.string() << "'\n";
  fs::permissions(script, fs::perms::owner_all);
  const fs::path keyFile = dir_ / "uninstall.conf";
  std::ofstream(keyFile) << Entry(script.string());

  EXPECT_EQ(CleanInChild(keyFile), 1);
  EXPECT_FALSE(fs::exists(ran));
  EXPECT_EQ(CleanInChild(dir_ / "missing.conf"), 0);
}

TEST(CleanLibraryExports, OnlyClean) {
  FILE* pipe = ::popen("nm -D --defined-only " QUENBROOK_SETUP_LIBRARY, "r");
  ASSERT_NE(pipe, nullptr);
  std::vector<std::string> names;
  char line[512];
  while (std::fgets(line, sizeof(line), pipe) != nullptr) {
    std::string text(line);
    text.erase(text.find_last_not_of("\n") + 1);
    names.push_back(text.substr(text.rfind(' ') + 1));
  }
  ASSERT_EQ(::pclose(pipe), 0);
  EXPECT_EQ(names, std::vector<std::string>{"Clean"});
}

}  // namespace
