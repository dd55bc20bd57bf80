#pragma once

#include <cstdint>
#include <memory>
#include <string>

class ipstream;
class opstream;

/// The root of every class that can be written to and read from an object stream.
class TStreamableBase {
 public:
  virtual ~TStreamableBase();
};

/// Reads and writes the fields of one persistent object; built per object by the class registry.
class TStreamer {
 public:
  virtual ~TStreamer() = default;

  /// The class name that object records carry for the served object.
  virtual std::string StreamedClassName() const = 0;
  /// Fills the served object from the stream; `version` is the class version in its record.
  virtual void Read(ipstream& is, uint32_t version) = 0;
  /// Writes the served object's fields.
  virtual void Write(opstream& os) const = 0;
  /// The class version written in new object records.
  virtual uint32_t FormatVersion() const = 0;

  TStreamableBase* GetObject() const { return object_; }

 protected:
  explicit TStreamer(TStreamableBase* object) : object_(object) {}

 private:
  TStreamableBase* object_;
};

/// A streamer whose class name is the registered name of the served object's dynamic type.
class TNewStreamer : public TStreamer {
 public:
  explicit TNewStreamer(TStreamableBase* object) : TStreamer(object) {}
  std::string StreamedClassName() const override;
};

/// Tag for the constructor that makes an empty object for the stream reader to fill.
struct TStreamableInit {};
inline constexpr TStreamableInit streamableInit{};

/// Makes a streamer for `object`, or for a new empty object of the class when `object` is null.
using TStreamBuilder = std::unique_ptr<TStreamer> (*)(TStreamableBase* object);

/// The builder of a class `T` whose nested `Streamer` serves it and which has a
/// `T(TStreamableInit)` constructor.
template <class T>
std::unique_ptr<TStreamer> BuildStreamer(TStreamableBase* object) {
  if (object == nullptr) {
    auto fresh = std::unique_ptr<T>(new T(streamableInit));
    auto streamer = std::make_unique<typename T::Streamer>(fresh.get());
    fresh.release();
    return streamer;
  }
  return std::make_unique<typename T::Streamer>(object);
}
