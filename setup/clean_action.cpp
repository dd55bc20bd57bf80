#include "setup/clean_action.h"

#include <string>
#include <vector>

#include "setup/setup_port.h"
#include "setup/uninstall_entry.h"

uint32_t RunClean(TSetupPort& port) {
  // No registration, or one without a command: there is no older version to remove, and nobody
  // is asked.
  std::string keyFile;
  std::string command;
  if (!port.ReadUninstallKeyFile(keyFile) ||
      !uninstall_entry::FindUninstallString(keyFile, command))
    return kCleanGoOn;

  // An old installation is there even when its command cannot be run safely, so the person is
  // asked in every case: going on without asking would leave it installed unnoticed.
  if (!port.AskYesNo(kCleanCaption, kCleanQuestion))
    return kCleanStop;

  port.DeleteFile(kOldConfigFile);
  // A command that would need a shell to split is never handed to one; like an uninstaller that
  // cannot be started, it is passed over. Its own result does not matter either.
  std::vector<std::string> arguments;
  if (uninstall_entry::SplitCommand(command, arguments))
    port.RunAndWait(arguments);
  port.Pause(kSettleMilliseconds);
  return kCleanGoOn;
}
