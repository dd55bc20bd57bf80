#pragma once

#include <string>
#include <vector>

class TSettingList;

/// The budgets opened last, newest first, at most `kRecentBudgets`, kept in the configuration's
/// named settings ("RecentBudgets.1" to "RecentBudgets.8"), never in a budget file.
inline constexpr size_t kRecentBudgets = 8;

/// The list as the settings hold it: empty entries left out.
std::vector<std::string> RecentBudgets(const TSettingList& named);
/// Puts `path` at the head of the list (once), the oldest falling off the end.
void AddRecentBudget(TSettingList& named, const std::string& path);
