#include "app/sync_conflicts.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The part of `name` between `stem` and `extension`, when it has both (the extension in any
// letter case, as services keep the original's).
bool Between(const std::string& name, const std::string& stem, const std::string& extension,
             std::string& middle) {
  if (name.size() <= stem.size() + extension.size() || !name.starts_with(stem) ||
      Lower(name.substr(name.size() - extension.size())) != Lower(extension)) {
    return false;
  }
  middle = name.substr(stem.size(), name.size() - stem.size() - extension.size());
  return true;
}

bool IsConflictCopy(const std::string& middle, bool newer) {
  if (middle.starts_with(".sync-conflict-"))
    return true;
  if (middle.size() < 4 || !middle.starts_with(" (") || middle.back() != ')')
    return false;
  const std::string inside = middle.substr(2, middle.size() - 3);
  if (Lower(inside).find("conflict") != std::string::npos)
    return true;
  // "Home (1).vrl" is also what a browser or a second download calls a copy, so only one that
  // is newer than the budget counts.
  return newer && std::all_of(inside.begin(), inside.end(),
                              [](unsigned char c) { return std::isdigit(c) != 0; });
}

}  // namespace

std::vector<std::string> SyncConflictCopies(const std::string& budget, int64_t budgetModified,
                                            const std::vector<TFolderEntry>& entries) {
  const fs::path name(budget);
  const std::string stem = name.stem().string();
  const std::string extension = name.extension().string();
  std::vector<std::string> copies;
  for (const TFolderEntry& entry : entries) {
    std::string middle;
    if (entry.name != budget && Between(entry.name, stem, extension, middle) &&
        IsConflictCopy(middle, entry.modified > budgetModified)) {
      copies.push_back(entry.name);
    }
  }
  std::sort(copies.begin(), copies.end());
  return copies;
}

std::vector<std::string> SyncConflictCopiesBeside(const std::string& path) {
  const auto nanoseconds = [](fs::file_time_type time) {
    return static_cast<int64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count());
  };
  std::error_code error;
  const fs::path budget(path);
  const fs::file_time_type budgetTime = fs::last_write_time(budget, error);
  if (error)
    return {};
  std::vector<TFolderEntry> entries;
  fs::directory_iterator folder(budget.parent_path().empty() ? fs::path(".") : budget.parent_path(),
                                error);
  for (; !error && folder != fs::directory_iterator(); folder.increment(error)) {
    std::error_code ignored;
    if (folder->is_regular_file(ignored))
      entries.push_back(
          {folder->path().filename().string(), nanoseconds(folder->last_write_time(ignored))});
  }
  return SyncConflictCopies(budget.filename().string(), nanoseconds(budgetTime), entries);
}
