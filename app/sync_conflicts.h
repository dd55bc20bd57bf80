#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// One file of a folder as the search for conflict copies sees it.
struct TFolderEntry {
  std::string name;
  /// Modification time in nanoseconds since the epoch.
  int64_t modified = 0;
};

/// The names among `entries` that sync services give to copies of the budget file `budget` (a
/// file name without folder, such as "Home.vrl", modified at `budgetModified`) when two
/// computers changed it at once: "Home (Anna's conflicted copy 2026-12-07).vrl",
/// "Home.sync-conflict-20261207-101500-ABCDEFG.vrl", and a numbered "Home (1).vrl" that is
/// newer than the budget. Sorted by name.
std::vector<std::string> SyncConflictCopies(const std::string& budget, int64_t budgetModified,
                                            const std::vector<TFolderEntry>& entries);

/// SyncConflictCopies over the regular files beside the budget at `path`; none when the folder
/// cannot be read.
std::vector<std::string> SyncConflictCopiesBeside(const std::string& path);
