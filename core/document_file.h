#pragma once

#include <memory>
#include <string>

#include "core/file_stamp.h"
#include "core/model_environment.h"
#include "core/result.h"
#include "core/vorla_data.h"

/// Reads a budget file as the program opens it: the document record, then finish-loading.
/// A file that cannot be read or is refused gives the reason; the exceptions that refuse a file
/// (a newer format, an unknown class) are turned into that text. `stamp`, when given, receives
/// what the file was as it was read, for the check before a later save.
TResult<std::unique_ptr<TVorlaData>> ReadDocumentFile(const std::string& path,
                                                      const TModelEnvironment& environment,
                                                      TFileStamp* stamp = nullptr);

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
/// target. When anything failed the target is untouched and the result says why. `written`, when
/// given, receives what the new file is after a success, its hash taken as the bytes went out.
TResult<void> WriteObjectFile(const std::string& path, const TStreamableBase& object,
                              const TSaveFaults& faults = {}, TFileStamp* written = nullptr);

/// Writes the budget document with WriteObjectFile.
TResult<void> WriteDocumentFile(const std::string& path, TVorlaData& document,
                                TFileStamp* written = nullptr);
