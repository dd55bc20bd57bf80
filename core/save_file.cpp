#include "core/save_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The same limit the kernel puts on links followed while resolving one path.
constexpr int kMaxLinksFollowed = 40;
constexpr const char* kSuffix = ".saving";
// mkostemps replaces these six letters with letters and digits.
constexpr const char* kUniquePart = "XXXXXX";
constexpr size_t kUniqueLength = 6;
constexpr int kCreateAttempts = 16;

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether `name` is one of the temporary names of saves of the file `base`.
bool IsTemporaryName(const std::string& name, const std::string& base) {
  const std::string suffix = kSuffix;
  if (name == base + suffix)
    return true;
  if (name.size() != base.size() + 1 + kUniqueLength + suffix.size() ||
      name.compare(0, base.size(), base) != 0 || name[base.size()] != '.' ||
      name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
    return false;
  }
  for (size_t i = base.size() + 1; i < base.size() + 1 + kUniqueLength; ++i) {
    const char c = name[i];
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
      return false;
  }
  return true;
}

// Removes `path` when it is a regular file whose lock nobody holds: its writer has ended.
void RemoveIfStale(const std::string& path) {
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0)
    return;
  struct stat opened {};
  struct stat named {};
  if (::fstat(descriptor, &opened) == 0 && S_ISREG(opened.st_mode) &&
      ::flock(descriptor, LOCK_EX | LOCK_NB) == 0 && ::lstat(path.c_str(), &named) == 0 &&
      SameFile(opened, named)) {
    ::unlink(path.c_str());
  }
  ::close(descriptor);
}

// The files whose temporaries are cleared again when the process ends.
struct TNotedTargets {
  std::mutex mutex;
  std::set<std::string> targets;
};

TNotedTargets& NotedTargets() {
  static TNotedTargets noted;
  return noted;
}

bool WriteAll(int descriptor, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(descriptor, data, size);
    if (written < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

}  // namespace

std::string FileErrorText(const std::string& what, const std::string& path, int error) {
  return what + " " + path + ": " + std::strerror(error);
}

bool ResolveSaveTarget(const std::string& path, std::string& target, int& error) {
  fs::path current(path);
  for (int followed = 0; followed <= kMaxLinksFollowed; ++followed) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
      target = current.string();
      return true;
    }
    std::vector<char> buffer(static_cast<size_t>(info.st_size > 0 ? info.st_size : 255) + 1);
    const ssize_t length = ::readlink(current.c_str(), buffer.data(), buffer.size());
    if (length < 0) {
      error = errno;
      return false;
    }
    fs::path next(std::string(buffer.data(), static_cast<size_t>(length)));
    current = next.is_absolute() ? next : current.parent_path() / next;
  }
  error = ELOOP;
  return false;
}

unsigned HardLinkCount(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0)
    return 0;
  return static_cast<unsigned>(info.st_nlink);
}

TSaveTemporary::~TSaveTemporary() {
  Discard();
}

bool TSaveTemporary::Create(const std::string& target, int& error) {
  Discard();
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    std::string name = target + "." + kUniquePart + kSuffix;
    // Created with O_EXCL and mode 0600: a name is never shared and nobody else can read it.
    const int descriptor =
        ::mkostemps(name.data(), static_cast<int>(std::strlen(kSuffix)), O_CLOEXEC);
    if (descriptor < 0) {
      error = errno;
      return false;
    }
    // A cleaner may have taken the fresh file for a stale one between its creation and the
    // lock; then the name no longer leads to it and another name is tried.
    struct stat opened {};
    struct stat named {};
    if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0 && ::fstat(descriptor, &opened) == 0 &&
        ::lstat(name.c_str(), &named) == 0 && SameFile(opened, named)) {
      path_ = name;
      descriptor_ = descriptor;
      return true;
    }
    ::close(descriptor);
  }
  error = EEXIST;
  return false;
}

void TSaveTemporary::TakeModeOf(const std::string& target, unsigned newMode) {
  if (descriptor_ < 0)
    return;
  struct stat previous {};
  if (::stat(target.c_str(), &previous) == 0 && S_ISREG(previous.st_mode)) {
    if (::fchown(descriptor_, previous.st_uid, previous.st_gid) != 0)
      (void)!::fchown(descriptor_, static_cast<uid_t>(-1), previous.st_gid);
    ::fchmod(descriptor_, previous.st_mode & 07777);
  } else if (newMode != 0) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(descriptor_, static_cast<mode_t>(newMode) & ~mask & 07777);
  }
}

bool TSaveTemporary::Commit(const std::string& target, int& error) {
  if (::rename(path_.c_str(), target.c_str()) != 0) {
    error = errno;
    return false;
  }
  path_.clear();
  Discard();
  return true;
}

void TSaveTemporary::Discard() {
  if (!path_.empty())
    ::unlink(path_.c_str());
  path_.clear();
  if (descriptor_ >= 0)
    ::close(descriptor_);
  descriptor_ = -1;
}

void NoteSaveTarget(const std::string& target) {
  TNotedTargets& noted = NotedTargets();
  const std::lock_guard lock(noted.mutex);
  noted.targets.insert(target);
}

void RemoveStaleTemporariesAtExit() {
  std::set<std::string> targets;
  {
    TNotedTargets& noted = NotedTargets();
    const std::lock_guard lock(noted.mutex);
    targets = noted.targets;
  }
  for (const std::string& target : targets)
    RemoveStaleTemporaries(target);
}

void RemoveStaleTemporaries(const std::string& target) {
  NoteSaveTarget(target);
  const fs::path file(target);
  const std::string base = file.filename().string();
  const fs::path folder = file.parent_path();
  DIR* listing = ::opendir(folder.empty() ? "." : folder.c_str());
  if (listing == nullptr)
    return;
  std::vector<std::string> stale;
  while (const dirent* entry = ::readdir(listing)) {
    if (IsTemporaryName(entry->d_name, base))
      stale.push_back((folder / entry->d_name).string());
  }
  ::closedir(listing);
  for (const std::string& path : stale)
    RemoveIfStale(path);
}

TResult<void> CopyFilePrivately(const std::string& from, const std::string& to) {
  const int source = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (source < 0)
    return TFailure{FileErrorText("cannot read", from, errno)};
  RemoveStaleTemporaries(to);
  TSaveTemporary temporary;
  int error = 0;
  bool copied = temporary.Create(to, error);
  std::vector<char> buffer(size_t{1} << 16);
  while (copied) {
    const ssize_t got = ::read(source, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0 ||
        (got > 0 && !WriteAll(temporary.Descriptor(), buffer.data(), static_cast<size_t>(got)))) {
      error = errno;
      copied = false;
    }
    if (got <= 0)
      break;
  }
  ::close(source);
  if (copied && ::fsync(temporary.Descriptor()) != 0) {
    error = errno;
    copied = false;
  }
  if (!copied || !temporary.Commit(to, error))
    return TFailure{FileErrorText("cannot write", to, error)};
  return {};
}

TResult<void> WriteFileSafely(const std::string& path, std::string_view bytes, unsigned newMode) {
  int error = 0;
  std::string target;
  if (!ResolveSaveTarget(path, target, error))
    return TFailure{FileErrorText("cannot write", path, error)};
  RemoveStaleTemporaries(target);
  TSaveTemporary temporary;
  if (!temporary.Create(target, error))
    return TFailure{FileErrorText("cannot write", path, error)};
  temporary.TakeModeOf(target, newMode);
  if (!WriteAll(temporary.Descriptor(), bytes.data(), bytes.size()) ||
      ::fsync(temporary.Descriptor()) != 0)
    return TFailure{FileErrorText("cannot write", path, errno)};
  if (!temporary.Commit(target, error))
    return TFailure{FileErrorText("cannot write", path, error)};
  return {};
}
