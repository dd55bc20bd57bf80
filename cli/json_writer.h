#pragma once

#include <cstdint>
#include <string>
#include <string_view>
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

 private:
  void BeforeValue();
  void AppendQuoted(std::string_view value);

  std::string text_;
  std::vector<bool> needsComma_;
  bool afterKey_ = false;
};
