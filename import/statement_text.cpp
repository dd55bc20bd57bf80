#include "import/statement_text.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "core/cp1252.h"

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// The value after `key` up to the end of its line, trimmed; empty when the key is absent.
std::string HeaderValue(std::string_view upperHeader, std::string_view key) {
  size_t at = upperHeader.find(key);
  if (at == std::string_view::npos)
    return {};
  std::string_view rest = upperHeader.substr(at + key.size());
  rest = rest.substr(0, rest.find_first_of("\r\n"));
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '"' || rest.front() == '\''))
    rest.remove_prefix(1);
  size_t end = rest.find_first_of(" \t\"'?>");
  return std::string(rest.substr(0, end));
}

bool NamesUtf8(std::string_view name) {
  return name == "UTF-8" || name == "UTF8" || name == "65001";
}

bool NamesLatin(std::string_view name) {
  return name == "1252" || name == "WINDOWS-1252" || name == "CP1252" || name == "ISO-8859-1" ||
         name == "ISO8859-1" || name == "LATIN1" || name == "ISOLATIN1" || name == "8859-1";
}

// The code point of a reference's body ("amp", "#233", "#xE9"); a value above 0x10FFFF when
// the body names no character, and nothing (0xFFFFFFFF) when it is no reference at all.
constexpr char32_t kNoReference = 0xFFFFFFFF;
constexpr char32_t kNoCharacter = 0x110000;

char32_t ReferenceValue(std::string_view body) {
  if (body == "amp")
    return '&';
  if (body == "lt")
    return '<';
  if (body == "gt")
    return '>';
  if (body == "quot")
    return '"';
  if (body == "apos")
    return '\'';
  if (body.size() < 2 || body[0] != '#')
    return kNoReference;
  body.remove_prefix(1);
  int base = 10;
  if (body[0] == 'x' || body[0] == 'X') {
    base = 16;
    body.remove_prefix(1);
  }
  if (body.empty())
    return kNoReference;
  uint32_t value = 0;
  for (char c : body) {
    int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                : base == 16 && c >= 'a' && c <= 'f'        ? c - 'a' + 10
                : base == 16 && c >= 'A' && c <= 'F'        ? c - 'A' + 10
                                                            : -1;
    if (digit < 0)
      return kNoReference;
    // Saturates, so that any number of digits stays a number too large to be a character.
    value = value > 0x10FFFF ? value
                             : value * static_cast<uint32_t>(base) + static_cast<uint32_t>(digit);
  }
  return value;
}

bool Storable(char32_t cp) {
  const bool control = cp < 0x20 || (cp >= 0x7F && cp < 0xA0);
  const bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
  return !control && !surrogate && cp <= 0x10FFFF;
}

// Longest reference body looked at: "#x10FFFF" and the named ones are far shorter, and a bound
// keeps a text full of "&" from being scanned again for every one of them.
constexpr size_t kMaxReferenceBody = 32;

std::string DecodeReferences(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    if (utf8[i] != '&') {
      out += utf8[i++];
      continue;
    }
    std::string_view window = utf8.substr(i + 1, kMaxReferenceBody + 1);
    size_t semicolon = window.find(';');
    char32_t cp = semicolon == std::string_view::npos ? kNoReference
                                                      : ReferenceValue(window.substr(0, semicolon));
    if (cp == kNoReference) {
      out += utf8[i++];
      continue;
    }
    if (Storable(cp)) {
      AppendUtf8(out, cp);
    } else {
      out += kUnstorableCharacter;
    }
    i += semicolon + 2;
  }
  return out;
}

}  // namespace

std::string_view TrimStatementBlanks(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\v\f";
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::string_view QifTextToCp1252(std::string_view bytes, std::string& converted) {
  const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii || !IsValidUtf8(bytes))
    return bytes;
  if (bytes.starts_with(kUtf8ByteOrderMark))
    bytes.remove_prefix(kUtf8ByteOrderMark.size());
  converted = Utf8ToCp1252Replacing(bytes, kUnstorableCharacter);
  return converted;
}

TStatementCharset OfxCharsetOf(std::string_view text) {
  // A header is a few hundred bytes; the bound keeps a file without any "<OFX" from being
  // copied whole.
  constexpr size_t kMaxHeader = 64 * 1024;
  const std::string header = Upper(text.substr(0, std::min(text.find("<OFX"), kMaxHeader)));
  if (header.find("OFXHEADER:") != std::string::npos) {
    if (NamesUtf8(HeaderValue(header, "ENCODING:")) || NamesUtf8(HeaderValue(header, "CHARSET:")))
      return TStatementCharset::Utf8;
    return TStatementCharset::Windows1252;
  }
  if (NamesLatin(HeaderValue(header, "ENCODING=")))
    return TStatementCharset::Windows1252;
  return TStatementCharset::Utf8;
}

std::string OfxValueToCp1252(std::string_view value, TStatementCharset charset) {
  const bool utf8 = charset == TStatementCharset::Utf8 && IsValidUtf8(value);
  const std::string decoded = DecodeReferences(utf8 ? std::string(value) : Cp1252ToUtf8(value));
  return Utf8ToCp1252Replacing(decoded, kUnstorableCharacter);
}
