#include "app/file_guard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "core/save_file.h"

namespace fs = std::filesystem;

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

// Lock files are named by a hash of the guard name: guard names hold "/" and may be long.
std::string LockFileName(const std::string& guardName) {
  uint64_t hash = 1469598103934665603ull;
  for (unsigned char c : guardName) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%016llx.lock", static_cast<unsigned long long>(hash));
  return text;
}

}  // namespace

TFileGuard::TFileGuard(std::string lockFolder) : lockFolder_(std::move(lockFolder)) {}

TFileGuard::~TFileGuard() {
  Release();
}

std::string TFileGuard::GuardName(const std::string& fullPath) {
  std::string name = fullPath;
  for (char& c : name) {
    if (c == ' ') {
      c = '_';
    } else if (c == '\\') {
      c = '/';
    } else {
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
  }
  return name;
}

std::string TFileGuard::FullPath(const std::string& path) {
  std::error_code error;
  fs::path full = fs::absolute(path, error);
  if (error)
    return path;
  return full.lexically_normal().string();
}

std::string TFileGuard::DefaultLockFolder() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] == '/') {
    return (fs::path(runtime) / "quenbrook").string();
  }
  return "/tmp/quenbrook-" + std::to_string(::getuid());
}

int TFileGuard::LockName(const std::string& full) const {
  std::string lockPath = (fs::path(lockFolder_) / LockFileName(GuardName(full))).string();
  int descriptor = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (descriptor >= 0 && ::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
    ::close(descriptor);
    descriptor = -1;
  }
  return descriptor;
}

bool TFileGuard::Claim(const std::string& path, TUserPort& user) {
  std::string full = FullPath(path);
  if (!fileName_.empty() && SameIgnoringCase(full, fileName_))
    return true;

  std::error_code error;
  fs::create_directories(lockFolder_, error);
  ::chmod(lockFolder_.c_str(), 0700);
  // A file reached through a symbolic link is also guarded under the name of the file the link
  // names, so that copies that reach the same file by different names see each other.
  std::string target;
  int reason = 0;
  if (!ResolveSaveTarget(full, target, reason))
    target = full;
  target = FullPath(target);
  int descriptor = LockName(full);
  int targetDescriptor = -1;
  if (descriptor >= 0 && !SameIgnoringCase(target, full)) {
    targetDescriptor = LockName(target);
    if (targetDescriptor < 0) {
      ::close(descriptor);
      descriptor = -1;
    }
  }
  if (descriptor < 0) {
    user.Tell("Error",
              "File \"" + path +
                  "\" is already open in another instance of Quenbrook. You must first close the "
                  "file before opening it again.",
              TMessageIcon::Exclamation);
    return false;
  }
  Release();
  lockDescriptor_ = descriptor;
  targetDescriptor_ = targetDescriptor;
  fileName_ = full;
  return true;
}

void TFileGuard::Release() {
  if (lockDescriptor_ >= 0)
    ::close(lockDescriptor_);
  if (targetDescriptor_ >= 0)
    ::close(targetDescriptor_);
  lockDescriptor_ = -1;
  targetDescriptor_ = -1;
  fileName_.clear();
}
