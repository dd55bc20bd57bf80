#include "core/cp1252.h"

#include <array>
#include <cstdint>

namespace {

// Code points of the bytes 0x80 to 0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t CodePointOf(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : char32_t{byte};
}

bool IsControl(char32_t cp) {
  return cp < 0x20 || (cp >= 0x7F && cp < 0xA0);
}

void AppendEscaped(std::string& out, char32_t cp) {
  switch (cp) {
    case '\n':
      out += "\\n";
      return;
    case '\r':
      out += "\\r";
      return;
    case '\t':
      out += "\\t";
      return;
    default:
      break;
  }
  static constexpr char kHex[] = "0123456789abcdef";
  out += "\\x";
  out += kHex[cp >> 4];
  out += kHex[cp & 0xF];
}

// Decodes one UTF-8 sequence at `i`; 0 length when it is not valid there.
size_t DecodeUtf8(std::string_view text, size_t i, char32_t& cp) {
  auto lead = static_cast<unsigned char>(text[i]);
  size_t length = lead < 0x80           ? 1
                  : (lead >> 5) == 0x6  ? 2
                  : (lead >> 4) == 0xE  ? 3
                  : (lead >> 3) == 0x1E ? 4
                                        : 0;
  if (length == 0 || i + length > text.size())
    return 0;
  cp = length == 1 ? lead : lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    auto next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80)
      return 0;
    cp = (cp << 6) | (next & 0x3F);
  }
  // Overlong forms and surrogates are not valid UTF-8.
  static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMinimum[length] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
    return 0;
  return length;
}

std::optional<char> ByteOf(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
    return static_cast<char>(cp);
  for (size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == cp)
      return static_cast<char>(0x80 + i);
  }
  return std::nullopt;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    AppendUtf8(out, CodePointOf(static_cast<unsigned char>(c)));
  return out;
}

std::optional<std::string> Utf8ToCp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    const size_t length = DecodeUtf8(text, i, cp);
    if (length == 0)
      return std::nullopt;
    auto byte = ByteOf(cp);
    if (!byte)
      return std::nullopt;
    out += *byte;
    i += length;
  }
  return out;
}

std::string Utf8ToCp1252Replacing(std::string_view text, char replacement) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    const size_t length = DecodeUtf8(text, i, cp);
    if (length == 0) {
      out += replacement;
      ++i;
      continue;
    }
    out += ByteOf(cp).value_or(replacement);
    i += length;
  }
  return out;
}

std::string EscapedFileText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const char32_t cp = CodePointOf(static_cast<unsigned char>(c));
    if (IsControl(cp)) {
      AppendEscaped(out, cp);
    } else {
      AppendUtf8(out, cp);
    }
  }
  return out;
}

bool IsValidUtf8(std::string_view text) {
  char32_t cp = 0;
  for (size_t i = 0; i < text.size();) {
    const size_t length = DecodeUtf8(text, i, cp);
    if (length == 0)
      return false;
    i += length;
  }
  return true;
}

std::string MessageToUtf8(std::string_view text, bool oneLine) {
  const bool utf8 = IsValidUtf8(text);
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    size_t length = 1;
    if (utf8) {
      length = DecodeUtf8(text, i, cp);
    } else {
      cp = CodePointOf(static_cast<unsigned char>(text[i]));
    }
    i += length;
    const bool kept = !oneLine && (cp == '\n' || cp == '\t');
    if (IsControl(cp) && !kept) {
      AppendEscaped(out, cp);
    } else {
      AppendUtf8(out, cp);
    }
  }
  return out;
}

char FoldCp1252(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte >= 'A' && byte <= 'Z')
    return static_cast<char>(byte + ('a' - 'A'));
  if (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7)
    return static_cast<char>(byte + 0x20);
  switch (byte) {
    case 0x8A:  // S caron
    case 0x8C:  // OE
    case 0x8E:  // Z caron
      return static_cast<char>(byte + 0x10);
    case 0x9F:  // Y diaeresis
      return static_cast<char>(0xFF);
    default:
      return c;
  }
}
