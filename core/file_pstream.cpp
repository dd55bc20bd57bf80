#include "core/file_pstream.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {

// Small enough to stay in the second-level cache between reading and hashing.
constexpr size_t kHashPiece = size_t{256} << 10;

}  // namespace

ofpstream::ofpstream(const std::string& path) : opstream(DeferHeader{}) {
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) {
    error_ = errno;
    SetState(kBad);
    return;
  }
  WriteHeader();
}

ofpstream::ofpstream(int descriptor) : opstream(DeferHeader{}) {
  file_ = descriptor >= 0 ? ::fdopen(descriptor, "wb") : nullptr;
  if (file_ == nullptr) {
    error_ = descriptor >= 0 ? errno : EBADF;
    if (descriptor >= 0)
      ::close(descriptor);
    SetState(kBad);
    return;
  }
  WriteHeader();
}

ofpstream::~ofpstream() {
  Close();
}

void ofpstream::Fail(int error) {
  if (error_ == 0)
    error_ = error;
  SetState(kFailed);
}

bool ofpstream::Deliver(const uint8_t* data, size_t size) {
  if (file_ == nullptr)
    return false;
  size_t allowed = limit_ - delivered_ < size ? static_cast<size_t>(limit_ - delivered_) : size;
  // A large block is hashed and written piece by piece, each while it is in the cache, rather
  // than read from memory twice.
  size_t written = 0;
  while (written < allowed) {
    const size_t piece = std::min(allowed - written, kHashPiece);
    hash_.Add(data + written, piece);
    const size_t put = std::fwrite(data + written, 1, piece, file_);
    written += put;
    if (put < piece)
      break;
  }
  delivered_ += written;
  if (written != size && error_ == 0)
    error_ = written < allowed ? errno : ENOSPC;
  return written == size;
}

void ofpstream::Sync() {
  if (file_ == nullptr)
    return;
  Flush();
  if (std::fflush(file_) != 0 || ::fsync(::fileno(file_)) != 0)
    Fail(errno);
}

bool ofpstream::Close() {
  if (file_ == nullptr)
    return Good();
  Flush();
  if (std::fclose(file_) != 0)
    Fail(errno);
  file_ = nullptr;
  return Good();
}

ifpstream::ifpstream(const std::string& path) {
  file_ = std::fopen(path.c_str(), "rb");
  if (file_ == nullptr) {
    error_ = errno;
    SetState(kBad);
    return;
  }
  struct stat info {};
  if (::fstat(::fileno(file_), &info) == 0 && S_ISREG(info.st_mode)) {
    size_ = static_cast<uint64_t>(info.st_size);
  } else if (::fstat(::fileno(file_), &info) == 0 && S_ISDIR(info.st_mode)) {
    std::fclose(file_);
    file_ = nullptr;
    error_ = EISDIR;
    SetState(kBad);
    return;
  } else {
    size_ = UINT64_MAX / 2;  // a pipe or device: its length is unknown
  }
  ReadHeader();
}

ifpstream::~ifpstream() {
  Close();
}

void ifpstream::Close() {
  if (file_ != nullptr)
    std::fclose(file_);
  file_ = nullptr;
}

size_t ifpstream::Fetch(uint8_t* data, size_t size) {
  if (file_ == nullptr)
    return 0;
  // Read and hashed piece by piece, each piece while it is in the cache.
  size_t got = 0;
  while (got < size) {
    const size_t piece = std::min(size - got, kHashPiece);
    const size_t read = std::fread(data + got, 1, piece, file_);
    hash_.Add(data + got, read);
    got += read;
    if (read < piece)
      break;
  }
  fetched_ += got;
  if (got < size && std::ferror(file_) && error_ == 0)
    error_ = errno;
  return got;
}

uint64_t ifpstream::SourceLeft() const {
  return fetched_ < size_ ? size_ - fetched_ : 0;
}

TFileStamp ifpstream::Stamp() {
  if (file_ == nullptr || error_ != 0)
    return {};
  // Bytes after the document, normally none: the stamp describes the whole file.
  uint8_t rest[4096];
  while (Fetch(rest, sizeof rest) > 0) {
  }
  if (std::ferror(file_))
    return {};
  return StampOfDescriptor(::fileno(file_), hash_.Value());
}
