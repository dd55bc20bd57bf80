#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "cli/budget_generator.h"

namespace bench {

/// A folder of this benchmark run under the system's temporary folder.
inline std::filesystem::path Folder() {
  static const std::filesystem::path folder = [] {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("quenbrook-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

/// The generated budget of a size, written once to a file that the benchmarks read.
inline const std::filesystem::path& Budget(int64_t transactions) {
  static std::map<int64_t, std::filesystem::path> made;
  auto found = made.find(transactions);
  if (found != made.end())
    return found->second;
  const std::filesystem::path path = Folder() / ("budget-" + std::to_string(transactions) + ".vrl");
  std::string error;
  if (!GenerateBudgetFile(path.string(), static_cast<uint64_t>(transactions), 1, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    std::abort();
  }
  return made.emplace(transactions, path).first->second;
}

}  // namespace bench
