#pragma once

#include <cstddef>
#include <string>

/// How reading a whole file ended.
enum class TFileRead {
  Read,
  NotRegular,  ///< missing, or a folder, pipe or device (which could block or never end)
  TooLarge,
  Unreadable,
};

/// Reads the whole regular file at `path` into `bytes` if it holds at most `maxBytes`. On any
/// other outcome `bytes` is empty and `error` holds the errno value when there is one (else 0).
TFileRead ReadRegularFile(const std::string& path, size_t maxBytes, std::string& bytes, int& error);
