#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/model_error.h"
#include "core/streamable.h"

struct TModelEnvironment;

/// The state word shared by every operation of one object stream. Once it is not good, every
/// further operation does nothing, so callers test it once at the end.
class pstream {
 public:
  enum State : uint32_t { kGood = 0, kEnd = 1, kFailed = 2, kBad = 4 };

  /// The stream version that new streams carry in their header.
  static constexpr uint32_t kCurrentVersion = 0x101;
  /// Deepest nesting of object records a reader follows; deeper data is refused, not recursed.
  static constexpr int kMaxNesting = 400;

  uint32_t GetState() const { return state_; }
  bool Good() const { return state_ == kGood; }
  void SetState(State state) { state_ |= state; }
  void ClearState() { state_ = kGood; }
  uint32_t GetVersion() const { return version_; }

 protected:
  pstream() = default;
  ~pstream() = default;
  void SetVersion(uint32_t version) { version_ = version; }

 private:
  uint32_t state_ = kGood;
  uint32_t version_ = kCurrentVersion;
};

/// Writes primitives and object graphs in the object-stream byte format. By itself it collects
/// the bytes in memory; `ofpstream` sends them to a file.
class opstream : public pstream {
 public:
  /// A memory stream; the header is written at once. `expectedBytes` reserves room up front.
  explicit opstream(size_t expectedBytes = 0);
  virtual ~opstream();
  opstream(const opstream&) = delete;
  opstream& operator=(const opstream&) = delete;

  void WriteByte(uint8_t value);
  void WriteWord16(uint16_t value);
  void WriteWord32(uint32_t value);
  /// Writes `size` bytes exactly as they lie in memory; a size of 0 writes nothing.
  void WriteBytes(const void* data, size_t size);
  /// Writes a length-prefixed string without terminator.
  void WriteString(std::string_view text);
  /// Writes the null string (length 0xFFFFFFFF, no characters).
  void WriteNullString();
  /// Writes a pointer record: null, a back-reference, or a full object record.
  /// Throws TModelError when the object's class is not registered.
  void WriteObject(const TStreamableBase* object);
  /// Writes the base-class part of `object`: the base's class version as a raw 4-byte block, then
  /// the fields the base's streamer writes.
  template <class Base>
  void WriteBase(const Base& object) {
    typename Base::Streamer streamer(const_cast<Base*>(&object));
    WriteWord32(streamer.FormatVersion());
    streamer.Write(*this);
  }

  /// The bytes written so far by a memory stream (the buffered bytes are flushed first).
  const std::vector<uint8_t>& Bytes();
  /// Sends buffered bytes on; fails the stream when they cannot be delivered.
  void Flush();

 protected:
  /// For file streams: no header is written until the subclass calls WriteHeader().
  struct DeferHeader {};
  explicit opstream(DeferHeader);
  void WriteHeader();
  /// Delivers bytes to the destination; false when they could not all be delivered.
  virtual bool Deliver(const uint8_t* data, size_t size);

 private:
  void Put(const void* data, size_t size);
  uint32_t IndexOf(const void* object) const;
  void Remember(const void* object);

  // File streams collect bytes here before delivering them; memory streams write straight into
  // `memory_`, which saves a copy of every byte.
  std::vector<uint8_t> buffer_;
  size_t used_ = 0;
  std::vector<uint8_t> memory_;
  bool toMemory_ = false;
  // Written objects ordered by address, each with its 1-based index.
  std::vector<std::pair<const void*, uint32_t>> written_;
  uint32_t nextIndex_ = 1;
};

/// Reads primitives and object graphs in the object-stream byte format from memory; `ifpstream`
/// reads from a file. The header is looked for when the stream is opened.
class ipstream : public pstream {
 public:
  /// A stream over bytes that stay alive and unchanged while it is used.
  explicit ipstream(std::span<const uint8_t> data);
  virtual ~ipstream();
  ipstream(const ipstream&) = delete;
  ipstream& operator=(const ipstream&) = delete;

  /// One byte; at the end of the data the stream fails and the value is 0xFF.
  uint8_t ReadByte();
  uint16_t ReadWord16();
  uint32_t ReadWord32();
  /// 32 bits when the stream version is above 0, 16 bits when it is 0.
  uint32_t ReadWord();
  void ReadBytes(void* data, size_t size);
  /// A raw 4-byte block read as a little-endian value (amounts, packed dates, base versions).
  uint32_t ReadRaw32();
  /// Reads a string into a field of `capacity` characters (capacity - 1 text characters).
  /// Returns false for the null string, leaving `text` unchanged. A longer string fails the stream
  /// and leaves `text` unchanged, so that what follows is never misread.
  bool ReadString(std::string& text, size_t capacity);
  /// The length word of a string (0xFFFFFFFF for the null string; one byte in version 0 streams,
  /// where 0xFF means the null string).
  uint32_t ReadStringLength();
  /// The version word of a base-class part: 4 bytes when the stream version is above 0, else 0.
  uint32_t ReadBaseVersion();
  template <class Base>
  void ReadBase(Base& object) {
    uint32_t version = ReadBaseVersion();
    typename Base::Streamer streamer(&object);
    streamer.Read(*this, version);
  }

  /// Reads a pointer record. A new object belongs to the caller; a back-reference gives the object
  /// already read (null when the index is beyond the read table).
  TStreamableBase* ReadObject();
  /// Reads a pointer record whose object the caller will own. A back-reference here would give two
  /// owners to one object, so it fails the stream. An object of another class than T is discarded
  /// and gives null.
  template <class T>
  std::unique_ptr<T> ReadOwned() {
    std::unique_ptr<TStreamableBase> object(ReadNewObject());
    if (!object)
      return nullptr;
    T* typed = dynamic_cast<T*>(object.get());
    if (typed == nullptr) {
      Forget(object.get());
      return nullptr;
    }
    object.release();
    return std::unique_ptr<T>(typed);
  }

  /// The user and clock that objects being read may need (null when the reader gave none).
  const TModelEnvironment* Environment() const { return environment_; }
  void SetEnvironment(const TModelEnvironment* environment) { environment_ = environment; }

  /// An upper bound on the bytes that can still be read; counts and sizes in the data are checked
  /// against it before anything is allocated.
  uint64_t BytesLeft() const;
  /// Fails the stream unless `count` items of at least `itemSize` bytes each can still follow.
  bool CanHold(uint64_t count, uint64_t itemSize);

 protected:
  /// For file streams, which supply bytes through Fetch() and call ReadHeader() when open.
  ipstream();
  void ReadHeader();
  /// Copies up to `size` further bytes of the source into `data`; returns how many it copied.
  virtual size_t Fetch(uint8_t* data, size_t size);
  /// Bytes the source holds beyond what was fetched.
  virtual uint64_t SourceLeft() const { return 0; }

 private:
  bool Take(void* data, size_t size);
  bool Refill();
  TStreamableBase* ReadNewObject();
  TStreamableBase* ReadObjectRecord();
  void Forget(const TStreamableBase* object);

  const uint8_t* cur_ = nullptr;
  const uint8_t* end_ = nullptr;
  std::vector<uint8_t> buffer_;
  std::vector<TStreamableBase*> read_;
  int nesting_ = 0;
  const TModelEnvironment* environment_ = nullptr;
};
