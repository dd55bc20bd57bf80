#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

/// Builds compact JSON text with keys in the order they are written. Strings given to it are
/// UTF-8; the caller converts file text first.
class TJsonWriter {
 public:
  TJsonWriter& BeginObject();
  TJsonWriter& EndObject();
  TJsonWriter& BeginArray();
  TJsonWriter& EndArray();
  /// The key of the next value inside an object.
  TJsonWriter& Key(std::string_view key);
  TJsonWriter& String(std::string_view value);
  TJsonWriter& Number(int64_t value);
  TJsonWriter& Unsigned(uint64_t value);
  TJsonWriter& Bool(bool value);
  TJsonWriter& Null();

  const std::string& Text() const { return text_; }
  /// The text made since the last call, handed over and forgotten, so that a long document can
  /// be written out as it is made; the nesting carries on.
  std::string TakeText() { return std::exchange(text_, std::string()); }

 private:
  void BeforeValue();
  void AppendQuoted(std::string_view value);

  std::string text_;
  std::vector<bool> needsComma_;
  bool afterKey_ = false;
};
