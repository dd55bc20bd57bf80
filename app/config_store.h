#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/vorla_config.h"
#include "core/result.h"

/// Looks up an environment variable; null when it is not set.
using TEnvironmentLookup = std::function<const char*(const char*)>;

/// Finds the configuration file: "Vorla.cfg" in the folder "Quenbrook" of the user's
/// configuration folder ($XDG_CONFIG_HOME, else ~/.config), creating that folder. When no file is
/// there yet, one left in the roaming folder ($XDG_DATA_HOME, else ~/.local/share, + "Quenbrook")
/// by an older installation is copied over (never replacing an existing file). Without a home
/// folder the path is "Vorla.cfg" in the current folder.
std::string LocateConfigFile(const TEnvironmentLookup& lookup);

/// Reads the configuration; a missing, empty, damaged or foreign file gives the defaults, which
/// are written at once so that a valid file exists from then on.
std::unique_ptr<TVorlaConfig> LoadConfig(const std::string& path, int32_t screenWidth,
                                         int32_t screenHeight);

/// Writes the configuration (safely: a failed write leaves the previous file). A failure is not
/// reported to the user (the settings stay in memory), but the result says why.
TResult<void> SaveConfig(const std::string& path, const TVorlaConfig& config);

/// Records the main window's placement before a save: a normal window stores its outer size and
/// position; a maximised or minimised one keeps the stored ones. The maximised flag is always
/// stored.
void RecordFramePlacement(TSettingsRecord& settings, bool maximized, bool minimized, int32_t left,
                          int32_t top, int32_t width, int32_t height);

/// Stores the path in `LastFile`; a path longer than the record holds is not remembered.
void SetLastFile(TSettingsRecord& settings, const std::string& path);
