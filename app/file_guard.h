#pragma once

#include <string>

#include "core/user_port.h"

/// Keeps one budget file from being open in two running copies of the program. The guard is an
/// advisory lock on a file named after the budget's path in the user's runtime folder; the kernel
/// releases it when the process ends, however it ends.
class TFileGuard {
 public:
  /// `lockFolder` holds the lock files (created when missing).
  explicit TFileGuard(std::string lockFolder);
  ~TFileGuard();
  TFileGuard(const TFileGuard&) = delete;
  TFileGuard& operator=(const TFileGuard&) = delete;

  /// Claims `path`, and when it is a symbolic link also the file it names. Succeeds at once when
  /// it is the file already held (compared ignoring case).
  /// When another running copy holds it, tells the user and fails, keeping the previous claim.
  /// On success the previous claim is released and the full path becomes the file name.
  bool Claim(const std::string& path, TUserPort& user);
  /// Gives up the claim; the file name becomes empty.
  void Release();
  /// The full path of the claimed file, empty when none.
  const std::string& FileName() const { return fileName_; }

  /// The name the guard is known by: the full path with every blank as "_", every backslash as
  /// "/" and every other character in upper case.
  static std::string GuardName(const std::string& fullPath);
  /// The full path of `path` as the guard compares it.
  static std::string FullPath(const std::string& path);
  /// The default lock folder: $XDG_RUNTIME_DIR/quenbrook, else a per-user folder under /tmp.
  static std::string DefaultLockFolder();

 private:
  /// Locks the lock file of a full path; the descriptor, or -1 when another process holds it.
  int LockName(const std::string& full) const;

  std::string lockFolder_;
  std::string fileName_;
  int lockDescriptor_ = -1;
  int targetDescriptor_ = -1;
};
