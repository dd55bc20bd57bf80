#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

/// Spells out expected stream bytes item by item, the way the byte format tables read.
class TByteBuilder {
 public:
  TByteBuilder& Byte(uint8_t value) {
    bytes_.push_back(value);
    return *this;
  }
  TByteBuilder& Word16(uint16_t value) {
    return Byte(static_cast<uint8_t>(value)).Byte(static_cast<uint8_t>(value >> 8));
  }
  TByteBuilder& Word32(uint32_t value) {
    return Word16(static_cast<uint16_t>(value)).Word16(static_cast<uint16_t>(value >> 16));
  }
  /// A length-prefixed string as stream version 0x101 writes it.
  TByteBuilder& String(std::string_view text) {
    Word32(static_cast<uint32_t>(text.size()));
    return Chars(text);
  }
  TByteBuilder& Chars(std::string_view text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    return *this;
  }
  TByteBuilder& Bytes(std::initializer_list<uint8_t> values) {
    bytes_.insert(bytes_.end(), values);
    return *this;
  }
  /// The stream header: ":" and the stream version 0x101.
  TByteBuilder& Header() { return Byte(':').Word32(0x101); }
  /// The start of a new object record: pointer byte 2, "[", the class name and its version.
  TByteBuilder& BeginObject(std::string_view name, uint32_t version) {
    return Byte(0x02).Byte('[').String(name).Word32(version);
  }
  TByteBuilder& EndObject() { return Byte(']'); }
  TByteBuilder& Append(const std::vector<uint8_t>& more) {
    bytes_.insert(bytes_.end(), more.begin(), more.end());
    return *this;
  }

  const std::vector<uint8_t>& Get() const { return bytes_; }
  operator const std::vector<uint8_t>&() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};
