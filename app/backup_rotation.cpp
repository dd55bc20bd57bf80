#include "app/backup_rotation.h"

#include <filesystem>

#include "core/save_file.h"

namespace fs = std::filesystem;

std::string BackupName(const std::string& path, unsigned generation) {
  fs::path file(path);
  fs::path name = file.stem();
  name += ".backup" + std::to_string(generation);
  name += file.extension();
  return (file.parent_path() / name).string();
}

void RotateBackups(const std::string& path, unsigned level) {
  if (level == 0)
    return;
  // The backups of a budget reached through a symbolic link lie beside the file the link names,
  // where its saves go.
  std::string target;
  int reason = 0;
  if (!ResolveSaveTarget(path, target, reason))
    return;
  std::error_code ignored;
  fs::remove(BackupName(target, level), ignored);
  for (unsigned generation = level; generation > 1; --generation) {
    fs::rename(BackupName(target, generation - 1), BackupName(target, generation), ignored);
  }
  // The copy goes through a temporary name, so a half-written copy never poses as generation
  // 1; it is readable by the user alone, whatever the budget's mode.
  // A backup that cannot be made does not stop the save it comes before.
  (void)CopyFilePrivately(target, BackupName(target, 1));
}
