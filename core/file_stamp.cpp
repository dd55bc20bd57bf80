#include "core/file_stamp.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace {

constexpr uint64_t kPrime1 = 0x9E3779B185EBCA87ULL;
constexpr uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;
constexpr uint64_t kPrime3 = 0x165667B19E3779F9ULL;

uint64_t RotateLeft(uint64_t value, int bits) {
  return (value << bits) | (value >> (64 - bits));
}

uint64_t Word(const uint8_t* data) {
  uint64_t word;
  std::memcpy(&word, data, sizeof word);
  return word;
}

}  // namespace

void TContentHash::Mix(uint64_t* lanes, const uint8_t* data) {
  // An add and a rotation per word: each step is a bijection of the lane for a given word and of
  // the word for a given lane, so a change in any one word always changes the result, and
  // eight independent lanes keep the processor busy at several words a cycle. The multiplications
  // that spread the bits come once, at the end.
  for (int lane = 0; lane < kLanes; ++lane)
    lanes[lane] = RotateLeft(lanes[lane] + Word(data + 8 * lane), 29);
}

// The block loop is also built for AVX2, chosen when the processor has it: with x86-64's
// baseline 128-bit vectors, hashing a large budget cost about 3% of opening it; with 256-bit
// ones it costs about 2%.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define QUENBROOK_WIDE_VECTORS __attribute__((target_clones("avx2", "default")))
#else
#define QUENBROOK_WIDE_VECTORS
#endif

QUENBROOK_WIDE_VECTORS
void TContentHash::MixBlocks(uint64_t* lanes, const uint8_t* data, size_t blocks) {
  // The lanes stay in registers: written through the pointer, they would be stored and loaded
  // again for every block, since the bytes might alias them.
  uint64_t local[kLanes];
  std::memcpy(local, lanes, sizeof local);
  for (; blocks > 0; --blocks, data += 8 * kLanes)
    Mix(local, data);
  std::memcpy(lanes, local, sizeof local);
}

void TContentHash::Add(const uint8_t* data, size_t size) {
  total_ += size;
  if (pendingSize_ > 0) {
    const size_t taken = std::min(size, sizeof pending_ - pendingSize_);
    std::memcpy(pending_ + pendingSize_, data, taken);
    pendingSize_ += taken;
    data += taken;
    size -= taken;
    if (pendingSize_ < sizeof pending_)
      return;
    Mix(lanes_, pending_);
    pendingSize_ = 0;
  }
  const size_t blocks = size / sizeof pending_;
  MixBlocks(lanes_, data, blocks);
  data += blocks * sizeof pending_;
  size -= blocks * sizeof pending_;
  std::memcpy(pending_, data, size);
  pendingSize_ = size;
}

uint64_t TContentHash::Value() const {
  uint64_t hash = total_ * kPrime3;
  for (int lane = 0; lane < kLanes; ++lane)
    hash = RotateLeft(hash ^ (lanes_[lane] * kPrime2), 31) * kPrime1;
  // The bytes short of a block, zero-padded: the length above tells "ab" from "ab\0".
  uint8_t tail[sizeof pending_] = {};
  std::memcpy(tail, pending_, pendingSize_);
  for (size_t at = 0; at < pendingSize_; at += 8)
    hash = RotateLeft(hash ^ (Word(tail + at) * kPrime2), 27) * kPrime1 + kPrime3;
  hash ^= hash >> 33;
  hash *= kPrime2;
  hash ^= hash >> 29;
  hash *= kPrime3;
  return hash ^ (hash >> 32);
}

TFileStamp StampOfDescriptor(int descriptor, uint64_t hash) {
  struct stat info {};
  if (::fstat(descriptor, &info) != 0)
    return {};
  TFileStamp stamp;
  stamp.known = true;
  stamp.device = static_cast<uint64_t>(info.st_dev);
  stamp.inode = static_cast<uint64_t>(info.st_ino);
  stamp.size = static_cast<uint64_t>(info.st_size);
  stamp.modifiedSeconds = static_cast<int64_t>(info.st_mtim.tv_sec);
  stamp.modifiedNanoseconds = static_cast<int64_t>(info.st_mtim.tv_nsec);
  stamp.changedSeconds = static_cast<int64_t>(info.st_ctim.tv_sec);
  stamp.changedNanoseconds = static_cast<int64_t>(info.st_ctim.tv_nsec);
  stamp.hash = hash;
  return stamp;
}

bool HashFile(const std::string& path, uint64_t& hash) {
  // Non-blocking, so that a fifo put in the budget's place cannot hang the check.
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0)
    return false;
  struct stat info {};
  bool ok = ::fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode);
  TContentHash content;
  std::vector<uint8_t> buffer(ok ? 1 << 16 : 0);
  while (ok) {
    const ssize_t got = ::read(descriptor, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR)
      continue;
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    content.Add(buffer.data(), static_cast<size_t>(got));
  }
  ::close(descriptor);
  hash = content.Value();
  return ok;
}

bool FileStillMatches(const std::string& path, const TFileStamp& stamp) {
  struct stat info {};
  if (!stamp.known || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
      static_cast<uint64_t>(info.st_size) != stamp.size) {
    return false;
  }
  if (static_cast<uint64_t>(info.st_dev) == stamp.device &&
      static_cast<uint64_t>(info.st_ino) == stamp.inode &&
      info.st_mtim.tv_sec == stamp.modifiedSeconds &&
      info.st_mtim.tv_nsec == stamp.modifiedNanoseconds &&
      info.st_ctim.tv_sec == stamp.changedSeconds &&
      info.st_ctim.tv_nsec == stamp.changedNanoseconds) {
    return true;
  }
  uint64_t hash = 0;
  return HashFile(path, hash) && hash == stamp.hash;
}
