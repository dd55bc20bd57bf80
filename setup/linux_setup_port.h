#pragma once

#include <string>
#include <vector>

#include "setup/setup_port.h"

/// The outside world on a Linux system: the registration is a key file (by default in the
/// system-wide configuration folder; the environment variable QUENBROOK_UNINSTALL_KEYFILE names
/// another), the question goes to the terminal when standard input is one, else to a desktop
/// question box when a desktop session and a tool to show one are there, else the answer is No.
class TLinuxSetupPort : public TSetupPort {
 public:
  static constexpr const char* kDefaultKeyFile = "/etc/quenbrook/uninstall.conf";
  static constexpr const char* kKeyFileVariable = "QUENBROOK_UNINSTALL_KEYFILE";

  bool ReadUninstallKeyFile(std::string& contents) override;
  bool AskYesNo(const std::string& caption, const std::string& text) override;
  void DeleteFile(const std::string& path) override;
  bool RunAndWait(const std::vector<std::string>& arguments) override;
  void Pause(int milliseconds) override;

 private:
  // Starts the program and waits; the exit status, or -1 when it could not be started.
  static int Run(const std::vector<std::string>& arguments);
  static bool AskOnTerminal(const std::string& caption, const std::string& text);
  static bool AskOnDesktop(const std::string& caption, const std::string& text);
};
