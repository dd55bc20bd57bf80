#pragma once

#include <string>
#include <string_view>

#include "core/result.h"

/// The file-system steps of a safe save, shared by budgets, their backups and the configuration:
/// finding the file a path really names, making a private temporary file beside it that no other
/// writer can share, and clearing the temporary files that killed saves left behind. The
/// single steps report the system's errno as the calls they wrap do; the whole-file operations
/// at the end give a TResult with the message for the user.

/// "WHAT PATH: reason" with the system's text for `error` (an errno value).
std::string FileErrorText(const std::string& what, const std::string& path, int error);

/// The file that writing to `path` must replace: `path` with every symbolic link along the final
/// name followed (a link to a link too), so that a save changes the linked file and the link
/// stays. A path that is not a link is returned as it is. False with `error` set (an errno
/// value) for a loop of links.
bool ResolveSaveTarget(const std::string& path, std::string& target, int& error);

/// How many names (hard links) the file at `path` has; 0 when it does not exist.
unsigned HardLinkCount(const std::string& path);

/// A temporary file beside a target, open for writing, created readable by the user alone and
/// locked for as long as it is open so that cleaning never takes it from a live writer. The
/// name is the target's, a unique part and ".saving".
class TSaveTemporary {
 public:
  TSaveTemporary() = default;
  ~TSaveTemporary();
  TSaveTemporary(const TSaveTemporary&) = delete;
  TSaveTemporary& operator=(const TSaveTemporary&) = delete;

  /// Creates the file beside `target`; false with `error` (an errno value) when it cannot.
  bool Create(const std::string& target, int& error);
  /// The open descriptor; it stays open (and the file locked) until Commit or Discard. A writer
  /// that wants its own descriptor takes a dup() of it, which shares the lock.
  int Descriptor() const { return descriptor_; }
  /// Gives the file the owner, group and mode of `target` when it replaces a regular file, as
  /// far as the system lets this user; otherwise `newMode` less the process's umask, or the
  /// creation mode (the user alone) when `newMode` is 0.
  void TakeModeOf(const std::string& target, unsigned newMode = 0);
  /// Renames the file over `target`; false with `error` when that fails.
  bool Commit(const std::string& target, int& error);
  /// Removes the file (unless it was committed) and closes it.
  void Discard();
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  int descriptor_ = -1;
};

/// Removes the temporary files of saves of `target` that no running writer holds: those named by
/// TSaveTemporary and the single "TARGET.saving" of older versions. Failures are ignored. The
/// target is remembered for RemoveStaleTemporariesAtExit.
void RemoveStaleTemporaries(const std::string& target);

/// Remembers that this process works with the file `target` (a budget it has read), so that
/// RemoveStaleTemporariesAtExit clears beside it too.
void NoteSaveTarget(const std::string& target);

/// Runs RemoveStaleTemporaries once more for every file this process has read as a budget, swept
/// or saved: a program that ends normally leaves nothing of killed saves beside the files it
/// worked with, while a save that another process is still writing stays.
void RemoveStaleTemporariesAtExit();

/// Copies `from` to `to` through a temporary file that is forced to disk and renamed over `to`;
/// the copy is readable by the user alone. On failure `to` is left as it was.
TResult<void> CopyFilePrivately(const std::string& from, const std::string& to);

/// Writes `bytes` as the whole content of `path` through a temporary file that is forced to disk
/// and renamed over it: a replaced file keeps its owner and mode, a new one gets `newMode` less
/// the umask. On failure `path` is left as it was and the result says "cannot write PATH: REASON".
TResult<void> WriteFileSafely(const std::string& path, std::string_view bytes, unsigned newMode);
