#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "cli/budget_generator.h"
#include "core/document_file.h"

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
  const TResult<void> written =
      GenerateBudgetFile(path.string(), static_cast<uint64_t>(transactions), 1);
  if (!written) {
    std::fprintf(stderr, "%s\n", written.Error().c_str());
    std::abort();
  }
  return made.emplace(transactions, path).first->second;
}

/// The budget at `path` as the program opens it; a benchmark without its budget cannot run.
inline std::unique_ptr<TVorlaData> OpenBudget(const std::filesystem::path& path,
                                              const TModelEnvironment& environment) {
  TResult<std::unique_ptr<TVorlaData>> document = ReadDocumentFile(path.string(), environment);
  if (!document) {
    std::fprintf(stderr, "%s\n", document.Error().c_str());
    std::abort();
  }
  return std::move(document).Value();
}

}  // namespace bench
