#include "setup/linux_setup_port.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

extern char** environ;

namespace {

// The registration is a few lines; anything much bigger is not one, and is not read whole.
constexpr std::uintmax_t kLargestKeyFile = 64 * 1024;

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0';
}

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::stringstream folders(path != nullptr ? path : "/usr/bin:/bin");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0)
      return true;
  }
  return false;
}

}  // namespace

bool TLinuxSetupPort::ReadUninstallKeyFile(std::string& contents) {
  contents.clear();
  const char* named = std::getenv(kKeyFileVariable);
  const std::filesystem::path path = named != nullptr && named[0] != '\0' ? named : kDefaultKeyFile;
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error))
    return false;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size > kLargestKeyFile)
    return false;
  std::ifstream file(path, std::ios::binary);
  if (!file)
    return false;
  contents.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return !file.bad();
}

bool TLinuxSetupPort::AskYesNo(const std::string& caption, const std::string& text) {
  if (::isatty(STDIN_FILENO))
    return AskOnTerminal(caption, text);
  if (IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY"))
    return AskOnDesktop(caption, text);
  return false;
}

bool TLinuxSetupPort::AskOnTerminal(const std::string& caption, const std::string& text) {
  std::fprintf(stderr, "%s\n\n%s\n[y/N] ", caption.c_str(), text.c_str());
  std::fflush(stderr);
  std::string answer;
  char c = 0;
  while (answer.size() < 16 && ::read(STDIN_FILENO, &c, 1) == 1 && c != '\n')
    answer += c;
  return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes" || answer == "YES";
}

bool TLinuxSetupPort::AskOnDesktop(const std::string& caption, const std::string& text) {
  if (OnPath("zenity")) {
    return Run({"zenity", "--question", "--no-markup", "--title", caption, "--text", text,
                "--ok-label", "Yes", "--cancel-label", "No"}) == 0;
  }
  if (OnPath("kdialog"))
    return Run({"kdialog", "--title", caption, "--yesno", text}) == 0;
  return false;
}

void TLinuxSetupPort::DeleteFile(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

bool TLinuxSetupPort::RunAndWait(const std::vector<std::string>& arguments) {
  return Run(arguments) >= 0;
}

int TLinuxSetupPort::Run(const std::vector<std::string>& arguments) {
  if (arguments.empty())
    return -1;
  std::vector<char*> argv;
  for (const std::string& argument : arguments)
    argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  // The program gets the standard streams and the environment, and no other open file.
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0)
    return -1;
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  pid_t child = 0;
  const int started = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (started != 0)
    return -1;
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR)
      return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

void TLinuxSetupPort::Pause(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
