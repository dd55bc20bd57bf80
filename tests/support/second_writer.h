#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/temp_folder.h"

/// What another program or computer does to a budget while we hold it open.
enum class TSecondWriter {
  kReplacedByRename,  // a new file moved over the budget, as sync services and editors do
  kRewrittenInPlace,  // one byte changed, same size, the modification time put back
  kTouched,           // the times move, not a byte changes
  kDeleted,
  kTurnedIntoFolder,
};

struct TSecondWriterCase {
  const char* name;
  TSecondWriter writer;
  /// Whether the file still counts as the one we read: only a touch leaves it so.
  bool stillOurs;
};

inline const TSecondWriterCase kSecondWriterCases[] = {
    {"replaced by rename", TSecondWriter::kReplacedByRename, false},
    {"rewritten in place", TSecondWriter::kRewrittenInPlace, false},
    {"touched", TSecondWriter::kTouched, true},
    {"deleted", TSecondWriter::kDeleted, false},
    {"turned into a folder", TSecondWriter::kTurnedIntoFolder, false},
};

/// Does what `writer` does to the file at `path`; returns the bytes the file holds afterwards,
/// which nothing of ours may destroy (empty when there is no file).
inline std::string ActAsSecondWriter(TSecondWriter writer, const std::filesystem::path& path) {
  namespace fs = std::filesystem;
  std::string bytes = ReadFileBytes(path);
  switch (writer) {
    case TSecondWriter::kReplacedByRename: {
      bytes += "other";
      const fs::path other = path.string() + ".other";
      std::ofstream(other, std::ios::binary) << bytes;
      fs::rename(other, path);
      break;
    }
    case TSecondWriter::kRewrittenInPlace: {
      struct stat before {};
      ::stat(path.c_str(), &before);
      bytes.back() = static_cast<char>(bytes.back() ^ 1);
      std::fstream(path, std::ios::binary | std::ios::in | std::ios::out) << bytes;
      const struct timespec times[2] = {before.st_atim, before.st_mtim};
      ::utimensat(AT_FDCWD, path.c_str(), times, 0);
      break;
    }
    case TSecondWriter::kTouched: {
      const struct timespec times[2] = {{0, UTIME_NOW}, {1000000000, 0}};
      ::utimensat(AT_FDCWD, path.c_str(), times, 0);
      break;
    }
    case TSecondWriter::kDeleted:
      fs::remove(path);
      return {};
    case TSecondWriter::kTurnedIntoFolder:
      fs::remove(path);
      fs::create_directory(path);
      return {};
  }
  return bytes;
}

inline void PrintTo(const TSecondWriterCase& c, std::ostream* out) {
  *out << c.name;
}
