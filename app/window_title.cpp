#include "app/window_title.h"

#include <filesystem>

std::string WindowTitle(const std::string& fileName) {
  std::string version = "Quenbrook " + std::to_string(TProgramVersion::kMajor) + "." +
                        std::to_string(TProgramVersion::kMinor) + " ";
  if (fileName.empty())
    return version;
  return std::filesystem::path(fileName).filename().string() + " - " + version;
}
