#pragma once

#include <cstdint>

class TSetupPort;

/// What the installation is told: go on, or stop.
constexpr uint32_t kCleanGoOn = 0;
constexpr uint32_t kCleanStop = 1;

/// Where the older version kept its configuration; it goes with the old installation.
inline constexpr const char* kOldConfigFile = "/opt/Vorla/Vorla.cfg";
/// How long the old uninstaller's last file operations are given to finish.
constexpr int kSettleMilliseconds = 2500;

inline constexpr const char* kCleanCaption = "Uninstall Previous Version";
inline constexpr const char* kCleanQuestion =
    "Setup has detected a previous version of Quenbrook. The older version must be uninstalled. "
    "If you choose not to uninstall the previous version, this installation will be "
    "cancelled.\n\nUninstalling the previous version should have no effect on your data. But, it "
    "is always wise to back up your data before upgrading software.\n\nWould you like to continue "
    "and uninstall the previous version of Quenbrook?";

/// Removes an older installation after asking leave: returns kCleanStop only when the person
/// refuses, kCleanGoOn in every other case (no old installation, an unreadable registration, a
/// failed deletion, an uninstall command that cannot be split without a shell or an uninstaller
/// that cannot be started all let the installation go on).
uint32_t RunClean(TSetupPort& port);
