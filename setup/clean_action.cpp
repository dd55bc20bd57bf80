#include "setup/clean_action.h"

#include <string>
#include <vector>

#include "setup/setup_port.h"
#include "setup/uninstall_entry.h"

uint32_t RunClean(TSetupPort& port) {
  // No registration, or one that names nothing we could run: there is no older version to
  // remove, and nobody is asked.
  std::string keyFile;
  if (!port.ReadUninstallKeyFile(keyFile))
    return kCleanGoOn;
  std::string command;
  std::vector<std::string> arguments;
  if (!uninstall_entry::FindUninstallString(keyFile, command) ||
      !uninstall_entry::SplitCommand(command, arguments))
    return kCleanGoOn;

  if (!port.AskYesNo(kCleanCaption, kCleanQuestion))
    return kCleanStop;

  port.DeleteFile(kOldConfigFile);
  // The uninstaller's own result does not matter, nor whether it could be started at all.
  port.RunAndWait(arguments);
  port.Pause(kSettleMilliseconds);
  return kCleanGoOn;
}
