#include "cli/json_writer.h"

#include <cstdio>

void TJsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!needsComma_.empty()) {
    if (needsComma_.back())
      text_ += ',';
    needsComma_.back() = true;
  }
}

TJsonWriter& TJsonWriter::BeginObject() {
  BeforeValue();
  text_ += '{';
  needsComma_.push_back(false);
  return *this;
}

TJsonWriter& TJsonWriter::EndObject() {
  needsComma_.pop_back();
  text_ += '}';
  return *this;
}

TJsonWriter& TJsonWriter::BeginArray() {
  BeforeValue();
  text_ += '[';
  needsComma_.push_back(false);
  return *this;
}

TJsonWriter& TJsonWriter::EndArray() {
  needsComma_.pop_back();
  text_ += ']';
  return *this;
}

TJsonWriter& TJsonWriter::Key(std::string_view key) {
  BeforeValue();
  AppendQuoted(key);
  text_ += ':';
  afterKey_ = true;
  return *this;
}

TJsonWriter& TJsonWriter::String(std::string_view value) {
  BeforeValue();
  AppendQuoted(value);
  return *this;
}

void TJsonWriter::AppendQuoted(std::string_view value) {
  text_ += '"';
  for (char c : value) {
    auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        text_ += "\\\"";
        break;
      case '\\':
        text_ += "\\\\";
        break;
      case '\n':
        text_ += "\\n";
        break;
      case '\r':
        text_ += "\\r";
        break;
      case '\t':
        text_ += "\\t";
        break;
      default:
        if (byte < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
          text_ += escaped;
        } else {
          text_ += c;
        }
    }
  }
  text_ += '"';
}

TJsonWriter& TJsonWriter::Number(int64_t value) {
  BeforeValue();
  text_ += std::to_string(value);
  return *this;
}

TJsonWriter& TJsonWriter::Unsigned(uint64_t value) {
  BeforeValue();
  text_ += std::to_string(value);
  return *this;
}

TJsonWriter& TJsonWriter::Bool(bool value) {
  BeforeValue();
  text_ += value ? "true" : "false";
  return *this;
}

TJsonWriter& TJsonWriter::Null() {
  BeforeValue();
  text_ += "null";
  return *this;
}
