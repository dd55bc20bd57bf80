#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/file_stamp.h"
#include "core/pstream.h"

/// An output object stream on a file opened for binary output (truncated). A file that cannot be
/// opened leaves the stream bad and nothing is written.
class ofpstream : public opstream {
 public:
  explicit ofpstream(const std::string& path);
  /// Writes to an open descriptor, which the stream takes over (and closes).
  explicit ofpstream(int descriptor);
  ~ofpstream() override;

  bool IsOpen() const { return file_ != nullptr; }
  /// Lets at most `bytes` reach the file; what goes beyond fails the stream as a full disk
  /// would, with the error "No space left on device".
  void LimitBytes(uint64_t bytes) { limit_ = bytes; }
  /// The system's error number of the first failure (opening, writing, forcing, closing); 0
  /// when there was none.
  int Error() const { return error_; }
  /// Records a failure with its error number (for failures injected by tests).
  void Fail(int error);
  /// Forces the written bytes to the disk; fails the stream when that is not possible.
  void Sync();
  /// Flushes and closes; fails the stream when closing fails. Returns whether the stream is good.
  bool Close();
  /// The hash of the bytes that reached the file so far (those still buffered once flushed).
  uint64_t Hash() const { return hash_.Value(); }

 protected:
  bool Deliver(const uint8_t* data, size_t size) override;

 private:
  std::FILE* file_ = nullptr;
  uint64_t delivered_ = 0;
  uint64_t limit_ = UINT64_MAX;
  int error_ = 0;
  TContentHash hash_;
};

/// An input object stream on a file opened for binary input; the header is read on opening.
class ifpstream : public ipstream {
 public:
  explicit ifpstream(const std::string& path);
  ~ifpstream() override;

  bool IsOpen() const { return file_ != nullptr; }
  void Close();
  /// The system's error number when the file could not be opened or read; 0 otherwise.
  int Error() const { return error_; }
  /// What the file is, with the hash of all its bytes: those the reader has not asked for are
  /// read (and only hashed) first. Call it once, after the reading; not known on a failure.
  TFileStamp Stamp();

 protected:
  size_t Fetch(uint8_t* data, size_t size) override;
  uint64_t SourceLeft() const override;

 private:
  std::FILE* file_ = nullptr;
  uint64_t size_ = 0;
  uint64_t fetched_ = 0;
  int error_ = 0;
  TContentHash hash_;
};
