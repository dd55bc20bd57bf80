#include "app/recent_budgets.h"

#include <algorithm>

#include "core/setting_list.h"

namespace {

std::string Key(size_t position) {
  return "RecentBudgets." + std::to_string(position);
}

}  // namespace

std::vector<std::string> RecentBudgets(const TSettingList& named) {
  std::vector<std::string> paths;
  for (size_t position = 1; position <= kRecentBudgets; ++position) {
    std::string path = named.GetText(Key(position), "", 0);
    if (!path.empty() && std::find(paths.begin(), paths.end(), path) == paths.end())
      paths.push_back(std::move(path));
  }
  return paths;
}

void AddRecentBudget(TSettingList& named, const std::string& path) {
  if (path.empty())
    return;
  std::vector<std::string> paths = RecentBudgets(named);
  std::erase(paths, path);
  paths.insert(paths.begin(), path);
  paths.resize(std::min(paths.size(), kRecentBudgets));
  for (size_t position = 1; position <= kRecentBudgets; ++position)
    named.SetText(Key(position), position <= paths.size() ? paths[position - 1] : "", 0);
}
