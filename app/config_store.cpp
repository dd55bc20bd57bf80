#include "app/config_store.h"

#include <filesystem>

#include "core/document_file.h"
#include "core/file_pstream.h"
#include "core/save_file.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kFolder = "Quenbrook";
constexpr const char* kFileName = "Vorla.cfg";

fs::path BaseFolder(const TEnvironmentLookup& lookup, const char* variable, const char* underHome) {
  if (const char* value = lookup(variable); value != nullptr && value[0] == '/')
    return value;
  if (const char* home = lookup("HOME"); home != nullptr && home[0] != '\0') {
    return fs::path(home) / underHome;
  }
  return {};
}

}  // namespace

std::string LocateConfigFile(const TEnvironmentLookup& lookup) {
  fs::path local = BaseFolder(lookup, "XDG_CONFIG_HOME", ".config");
  if (local.empty())
    return kFileName;
  fs::path folder = local / kFolder;
  std::error_code error;
  fs::create_directories(folder, error);
  fs::path file = folder / kFileName;
  if (!fs::exists(file, error)) {
    fs::path roaming = BaseFolder(lookup, "XDG_DATA_HOME", ".local/share");
    // Without the old settings the program starts from its defaults, as on a first start.
    if (!roaming.empty() && fs::exists(roaming / kFolder / kFileName, error))
      (void)CopyFilePrivately((roaming / kFolder / kFileName).string(), file.string());
  }
  return file.string();
}

std::unique_ptr<TVorlaConfig> LoadConfig(const std::string& path, int32_t screenWidth,
                                         int32_t screenHeight) {
  {
    ifpstream is(path);
    std::unique_ptr<TVorlaConfig> config;
    try {
      config = is.ReadOwned<TVorlaConfig>();
    } catch (const TModelError&) {
      config.reset();
    }
    if (config && is.Good())
      return config;
  }
  auto defaults = std::make_unique<TVorlaConfig>(screenWidth, screenHeight);
  (void)SaveConfig(path, *defaults);
  return defaults;
}

TResult<void> SaveConfig(const std::string& path, const TVorlaConfig& config) {
  return WriteObjectFile(path, config);
}

void RecordFramePlacement(TSettingsRecord& settings, bool maximized, bool minimized, int32_t left,
                          int32_t top, int32_t width, int32_t height) {
  if (!maximized && !minimized) {
    settings.FrameSize[0] = width;
    settings.FrameSize[1] = height;
    settings.FramePos[0] = left;
    settings.FramePos[1] = top;
  }
  settings.FrameMaximized = maximized;
}

void SetLastFile(TSettingsRecord& settings, const std::string& path) {
  // A cut path would name another file; better to remember none than a wrong one.
  settings.LastFile = path.size() <= TSettingsRecord::kMaxPath ? path : std::string();
}
