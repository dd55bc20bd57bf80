#pragma once

#include <string>
#include <vector>

/// Everything the removal of an older installation does to the world outside, so that the steps
/// themselves can be exercised without a real installation, a person at the keyboard or a clock.
class TSetupPort {
 public:
  virtual ~TSetupPort() = default;

  /// Reads the whole file that stands for the old installation's uninstall registration. False
  /// when there is no such file or it cannot be read.
  virtual bool ReadUninstallKeyFile(std::string& contents) = 0;
  /// Asks the person installing a Yes/No question; true only for an explicit Yes.
  virtual bool AskYesNo(const std::string& caption, const std::string& text) = 0;
  /// Deletes one file; a failure is of no interest to the caller.
  virtual void DeleteFile(const std::string& path) = 0;
  /// Starts a program with these arguments (the first names the program) without a shell and
  /// waits until it ends. False when it could not be started.
  virtual bool RunAndWait(const std::vector<std::string>& arguments) = 0;
  /// Waits for the given time.
  virtual void Pause(int milliseconds) = 0;
};
