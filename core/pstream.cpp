#include "core/pstream.h"

#include <algorithm>
#include <cstring>

#include "core/cp1252.h"
#include "core/stream_registry.h"

namespace {

constexpr size_t kBufferSize = 64 * 1024;
constexpr size_t kMaxClassName = 127;  // a 128-character field with its terminator
constexpr uint8_t kNullPointer = 0x00;
constexpr uint8_t kBackReference = 0x01;
constexpr uint8_t kNewObject = 0x02;
constexpr uint8_t kRecordBegin = '[';
constexpr uint8_t kRecordEnd = ']';
constexpr uint8_t kHeaderMark = ':';
constexpr uint32_t kNullStringLength = 0xFFFFFFFFu;

uint32_t LoadLittle32(const uint8_t* bytes) {
  return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
         uint32_t{bytes[3]} << 24;
}

// The name comes from the file: it reaches the message as readable UTF-8, its control bytes
// escaped, so that it can neither split the message nor drive a terminal.
[[noreturn]] void ThrowUnregistered(std::string_view name) {
  throw TModelError("Attempt to stream unregistered type '" + EscapedFileText(name) + "'");
}

}  // namespace

TStreamableBase::~TStreamableBase() = default;

std::string TNewStreamer::StreamedClassName() const {
  const TStreamableBase& object = *GetObject();
  auto name = TStreamClassRegistry::NameOf(typeid(object));
  return name ? *name : TStreamClassRegistry::DescribeType(typeid(object));
}

// ---- opstream -------------------------------------------------------------

opstream::opstream(size_t expectedBytes) : toMemory_(true) {
  memory_.reserve(expectedBytes);
  WriteHeader();
}

opstream::opstream(DeferHeader) : buffer_(kBufferSize) {}

opstream::~opstream() = default;

void opstream::WriteHeader() {
  WriteByte(kHeaderMark);
  WriteWord32(kCurrentVersion);
}

bool opstream::Deliver(const uint8_t* data, size_t size) {
  memory_.insert(memory_.end(), data, data + size);
  return true;
}

void opstream::Flush() {
  if (used_ == 0)
    return;
  if (!Deliver(buffer_.data(), used_))
    SetState(kFailed);
  used_ = 0;
}

const std::vector<uint8_t>& opstream::Bytes() {
  Flush();
  return memory_;
}

void opstream::Put(const void* data, size_t size) {
  if (!Good() || size == 0)
    return;
  if (toMemory_) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    memory_.insert(memory_.end(), bytes, bytes + size);
    return;
  }
  if (size <= buffer_.size() - used_) {
    std::memcpy(buffer_.data() + used_, data, size);
    used_ += size;
    return;
  }
  Flush();
  if (!Good())
    return;
  if (size >= buffer_.size()) {
    if (!Deliver(static_cast<const uint8_t*>(data), size))
      SetState(kFailed);
    return;
  }
  std::memcpy(buffer_.data(), data, size);
  used_ = size;
}

void opstream::WriteByte(uint8_t value) {
  Put(&value, 1);
}

void opstream::WriteWord16(uint16_t value) {
  const uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
  Put(bytes, 2);
}

void opstream::WriteWord32(uint32_t value) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  Put(bytes, 4);
}

void opstream::WriteBytes(const void* data, size_t size) {
  Put(data, size);
}

void opstream::WriteString(std::string_view text) {
  WriteWord32(static_cast<uint32_t>(text.size()));
  Put(text.data(), text.size());
}

void opstream::WriteNullString() {
  WriteWord32(kNullStringLength);
}

uint32_t opstream::IndexOf(const void* object) const {
  auto it = std::lower_bound(written_.begin(), written_.end(), object,
                             [](const auto& entry, const void* key) { return entry.first < key; });
  return it != written_.end() && it->first == object ? it->second : 0;
}

void opstream::Remember(const void* object) {
  auto it = std::lower_bound(written_.begin(), written_.end(), object,
                             [](const auto& entry, const void* key) { return entry.first < key; });
  written_.insert(it, {object, nextIndex_++});
}

void opstream::WriteObject(const TStreamableBase* object) {
  if (!Good())
    return;
  if (object == nullptr) {
    WriteByte(kNullPointer);
    return;
  }
  if (uint32_t index = IndexOf(object); index != 0) {
    WriteByte(kBackReference);
    WriteWord32(index);
    return;
  }
  WriteByte(kNewObject);
  WriteByte(kRecordBegin);
  auto name = TStreamClassRegistry::NameOf(typeid(*object));
  if (!name) {
    std::string described = TStreamClassRegistry::DescribeType(typeid(*object));
    WriteString(described);
    ThrowUnregistered(described);
  }
  WriteString(*name);
  Remember(object);
  auto entry = TStreamClassRegistry::Find(*name, 1);
  if (!entry)
    ThrowUnregistered(*name);
  auto streamer = entry->builder(const_cast<TStreamableBase*>(object));
  WriteWord32(streamer->FormatVersion());
  streamer->Write(*this);
  WriteByte(kRecordEnd);
}

// ---- ipstream -------------------------------------------------------------

ipstream::ipstream(std::span<const uint8_t> data) {
  cur_ = data.data();
  end_ = data.data() + data.size();
  read_.push_back(nullptr);
  ReadHeader();
}

ipstream::ipstream() {
  read_.push_back(nullptr);
}

ipstream::~ipstream() = default;

size_t ipstream::Fetch(uint8_t*, size_t) {
  return 0;
}

bool ipstream::Refill() {
  if (buffer_.empty())
    buffer_.resize(kBufferSize);
  size_t got = Fetch(buffer_.data(), buffer_.size());
  cur_ = buffer_.data();
  end_ = cur_ + got;
  return got > 0;
}

void ipstream::ReadHeader() {
  if (cur_ == end_ && !Refill()) {
    SetState(kEnd);
    return;
  }
  if (*cur_ != kHeaderMark) {
    SetVersion(0);
    return;
  }
  ++cur_;
  SetVersion(ReadWord32());
}

bool ipstream::Take(void* data, size_t size) {
  if (!Good())
    return false;
  auto* out = static_cast<uint8_t*>(data);
  while (size > 0) {
    size_t available = static_cast<size_t>(end_ - cur_);
    if (available == 0) {
      if (size >= kBufferSize) {
        size_t got = Fetch(out, size);
        if (got == 0)
          break;
        out += got;
        size -= got;
        continue;
      }
      if (!Refill())
        break;
      continue;
    }
    size_t chunk = std::min(available, size);
    std::memcpy(out, cur_, chunk);
    cur_ += chunk;
    out += chunk;
    size -= chunk;
  }
  if (size > 0) {
    SetState(kFailed);
    return false;
  }
  return true;
}

uint64_t ipstream::BytesLeft() const {
  return static_cast<uint64_t>(end_ - cur_) + SourceLeft();
}

bool ipstream::CanHold(uint64_t count, uint64_t itemSize) {
  if (!Good())
    return false;
  if (itemSize != 0 && count > BytesLeft() / itemSize) {
    SetState(kFailed);
    return false;
  }
  return true;
}

uint8_t ipstream::ReadByte() {
  uint8_t value = 0;
  if (!Take(&value, 1))
    return 0xFF;
  return value;
}

uint16_t ipstream::ReadWord16() {
  uint8_t bytes[2] = {};
  if (!Take(bytes, 2))
    return 0;
  return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

uint32_t ipstream::ReadWord32() {
  uint8_t bytes[4] = {};
  if (!Take(bytes, 4))
    return 0;
  return LoadLittle32(bytes);
}

uint32_t ipstream::ReadWord() {
  return GetVersion() > 0 ? ReadWord32() : ReadWord16();
}

uint32_t ipstream::ReadRaw32() {
  return ReadWord32();
}

void ipstream::ReadBytes(void* data, size_t size) {
  if (!Take(data, size) && size > 0)
    std::memset(data, 0, size);
}

uint32_t ipstream::ReadStringLength() {
  if (GetVersion() > 0)
    return ReadWord32();
  uint8_t length = ReadByte();
  return length == 0xFF ? kNullStringLength : length;
}

bool ipstream::ReadString(std::string& text, size_t capacity) {
  uint32_t length = ReadStringLength();
  if (!Good() || length == kNullStringLength)
    return false;
  if (capacity == 0 || length > capacity - 1 || !CanHold(length, 1)) {
    SetState(kFailed);
    return false;
  }
  std::string value(length, '\0');
  if (!Take(value.data(), length))
    return false;
  text = std::move(value);
  return true;
}

uint32_t ipstream::ReadBaseVersion() {
  return GetVersion() > 0 ? ReadRaw32() : 0;
}

TStreamableBase* ipstream::ReadObject() {
  if (!Good())
    return nullptr;
  uint8_t marker = ReadByte();
  if (!Good())
    return nullptr;
  switch (marker) {
    case kNullPointer:
      return nullptr;
    case kBackReference: {
      uint32_t index = ReadWord();
      if (!Good() || index >= read_.size())
        return nullptr;
      return read_[index];
    }
    case kNewObject:
      return ReadObjectRecord();
    default:
      SetState(kFailed);
      return nullptr;
  }
}

TStreamableBase* ipstream::ReadNewObject() {
  if (!Good())
    return nullptr;
  uint8_t marker = ReadByte();
  if (!Good())
    return nullptr;
  if (marker == kNullPointer)
    return nullptr;
  if (marker != kNewObject) {
    SetState(kFailed);
    return nullptr;
  }
  return ReadObjectRecord();
}

TStreamableBase* ipstream::ReadObjectRecord() {
  if (ReadByte() != kRecordBegin || !Good()) {
    SetState(kFailed);
    return nullptr;
  }
  std::string name;
  if (!ReadString(name, kMaxClassName + 1) || name.empty()) {
    SetState(kFailed);
    return nullptr;
  }
  auto entry = TStreamClassRegistry::Find(name, 1);
  if (!entry)
    ThrowUnregistered(name);
  if (nesting_ >= kMaxNesting) {
    SetState(kFailed);
    return nullptr;
  }
  std::unique_ptr<TStreamer> streamer = entry->builder(nullptr);
  std::unique_ptr<TStreamableBase> object(streamer->GetObject());
  read_.push_back(object.get());
  uint32_t version = GetVersion() > 0 ? ReadWord32() : 0;
  ++nesting_;
  try {
    streamer->Read(*this, version);
  } catch (...) {
    --nesting_;
    Forget(object.get());
    throw;
  }
  --nesting_;
  if (ReadByte() != kRecordEnd)
    SetState(kFailed);
  return object.release();
}

void ipstream::Forget(const TStreamableBase* object) {
  std::replace(read_.begin(), read_.end(), const_cast<TStreamableBase*>(object),
               static_cast<TStreamableBase*>(nullptr));
}
