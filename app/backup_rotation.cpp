#include "app/backup_rotation.h"

#include <filesystem>

#include "core/document_file.h"

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
  std::error_code ignored;
  fs::remove(BackupName(path, level), ignored);
  for (unsigned generation = level; generation > 1; --generation) {
    fs::rename(BackupName(path, generation - 1), BackupName(path, generation), ignored);
  }
  // Copy through a temporary name so a half-written copy never poses as generation 1.
  std::string first = BackupName(path, 1);
  std::string partial = first + ".partial";
  if (fs::copy_file(path, partial, fs::copy_options::overwrite_existing, ignored)) {
    fs::rename(partial, first, ignored);
  } else {
    fs::remove(partial, ignored);
  }
}
