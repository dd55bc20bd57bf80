#pragma once

#include <memory>
#include <string>

#include "core/model_environment.h"
#include "core/vorla_data.h"

/// Reads a budget file as the program opens it: the document record, then finish-loading.
/// Returns null and an explanation in `error` when the file cannot be read or is refused; the
/// exceptions that refuse a file (a newer format, an unknown class) are turned into that text.
std::unique_ptr<TVorlaData> ReadDocumentFile(const std::string& path,
                                             const TModelEnvironment& environment,
                                             std::string& error);

/// Ways to make a save fail on purpose, so that tests can show a failed save loses nothing.
struct TSaveFaults {
  /// Writing fails once this many bytes have gone to the file, as on a full disk (-1: never).
  int64_t failAfterBytes = -1;
  /// Forcing the bytes to disk fails.
  bool failSync = false;
  /// Replacing the target fails.
  bool failRename = false;
};

/// Writes one object as a whole stream file so that the previous file survives any failure: the
/// bytes go to a temporary file beside the target, are forced to disk, and only then replace the
/// target. Returns false (and an explanation) when anything failed; the target is then untouched.
bool WriteObjectFile(const std::string& path, const TStreamableBase& object, std::string& error,
                     const TSaveFaults& faults = {});

/// Writes the budget document with WriteObjectFile.
bool WriteDocumentFile(const std::string& path, TVorlaData& document, std::string& error);
