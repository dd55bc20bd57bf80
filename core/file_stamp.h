#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

/// A fast 64-bit hash of a byte sequence that arrives in pieces of any size: the same bytes give
/// the same value however they are split. Eight independent lanes take 64 bytes a step with an
/// add and a rotation per word, so that hashing a budget as it streams costs little beside the
/// disk. Not for security: it tells whether a file still holds the bytes we read or wrote,
/// against accidents, not attackers.
class TContentHash {
 public:
  void Add(const uint8_t* data, size_t size);
  /// The hash of everything added so far; more may be added afterwards.
  uint64_t Value() const;

 private:
  static constexpr int kLanes = 8;
  static void Mix(uint64_t* lanes, const uint8_t* data);
  static void MixBlocks(uint64_t* lanes, const uint8_t* data, size_t blocks);

  uint64_t lanes_[kLanes] = {0x243F6A8885A308D3ULL, 0x13198A2E03707344ULL, 0xA4093822299F31D0ULL,
                             0x082EFA98EC4E6C89ULL, 0x452821E638D01377ULL, 0xBE5466CF34E90C6CULL,
                             0xC0AC29B7C97C50DDULL, 0x3F84D5B5B5470917ULL};
  uint8_t pending_[8 * kLanes] = {};
  size_t pendingSize_ = 0;
  uint64_t total_ = 0;
};

/// What a budget file was when we last read or wrote it: which file (device and inode), its
/// size, modification and change times to the nanosecond, and the hash of its bytes. The change
/// time cannot be set back, so a rewrite that restores the modification time still shows.
struct TFileStamp {
  bool known = false;
  uint64_t device = 0;
  uint64_t inode = 0;
  uint64_t size = 0;
  int64_t modifiedSeconds = 0;
  int64_t modifiedNanoseconds = 0;
  int64_t changedSeconds = 0;
  int64_t changedNanoseconds = 0;
  uint64_t hash = 0;

  bool operator==(const TFileStamp&) const = default;
};

/// The stamp of the open file `descriptor` whose bytes hash to `hash`; not known when the file
/// cannot be examined.
TFileStamp StampOfDescriptor(int descriptor, uint64_t hash);

/// The hash of the whole content of the regular file at `path`; false when it cannot be read.
bool HashFile(const std::string& path, uint64_t& hash);

/// Whether the file at `path` is still the one `stamp` describes. When identity, size and times
/// all agree it is, without reading a byte; when they differ but the size does not, the content
/// decides, so a file that was touched or copied back unchanged still counts as ours.
/// A missing file, a folder or an unreadable file is not.
bool FileStillMatches(const std::string& path, const TFileStamp& stamp);
