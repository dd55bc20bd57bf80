#include "reports/page_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <utility>

#include "core/cp1252.h"
#include "core/file_bytes.h"

namespace {

// Presentation attributes as an element inherits them from its group.
struct TStyle {
  std::optional<uint32_t> stroke;  // empty: none
  std::optional<uint32_t> fill = 0;
  double strokeWidth = 1;
  double fontSize = 16;
  int fontWeight = 400;
  bool italic = false;
  TTextAlign anchor = TTextAlign::kLeft;
  std::string face = "Tahoma";
};

struct TAttribute {
  std::string name;
  std::string value;
};

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == ':' || c == '.';
}

// Parses a number with an optional unit suffix left in `rest`.
bool ParseNumber(std::string_view text, double& value, std::string_view& rest) {
  size_t start = 0;
  while (start < text.size() && IsSpace(text[start]))
    ++start;
  if (start < text.size() && text[start] == '+')
    ++start;
  const char* first = text.data() + start;
  const char* last = text.data() + text.size();
  auto [end, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || end == first || !std::isfinite(value) ||
      std::fabs(value) > kMaxPageFormatCoordinate)
    return false;
  rest = text.substr(static_cast<size_t>(end - text.data()));
  return true;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsSpace(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back()))
    text.remove_suffix(1);
  return text;
}

bool ParsePlainNumber(std::string_view text, double& value) {
  std::string_view rest;
  return ParseNumber(text, value, rest) && (Trimmed(rest).empty() || Trimmed(rest) == "px");
}

// A paper length in millimetres.
bool ParseLengthMm(std::string_view text, double& mm) {
  double value = 0;
  std::string_view unit;
  if (!ParseNumber(text, value, unit))
    return false;
  unit = Trimmed(unit);
  double factor = 0;
  if (unit == "mm")
    factor = 1;
  else if (unit == "cm")
    factor = 10;
  else if (unit == "in")
    factor = 25.4;
  else if (unit == "pt")
    factor = 25.4 / 72;
  else if (unit.empty() || unit == "px")
    factor = 25.4 / 96;
  else
    return false;
  mm = value * factor;
  return mm > 0 && mm <= 5000;
}

// Numbers separated by blanks and commas.
bool ParseNumberList(std::string_view text, std::vector<double>& numbers, size_t limit) {
  size_t pos = 0;
  while (true) {
    while (pos < text.size() && (IsSpace(text[pos]) || text[pos] == ','))
      ++pos;
    if (pos == text.size())
      return true;
    if (numbers.size() >= limit)
      return false;
    double value = 0;
    std::string_view rest;
    if (!ParseNumber(text.substr(pos), value, rest))
      return false;
    numbers.push_back(value);
    size_t next = text.size() - rest.size();
    if (next < text.size() && !IsSpace(text[next]) && text[next] != ',')
      return false;
    pos = next;
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

// A paint: `none` or a colour. False for what we do not understand.
bool ParsePaint(std::string_view text, std::optional<uint32_t>& paint) {
  text = Trimmed(text);
  static const std::pair<std::string_view, uint32_t> kNames[] = {
      {"black", 0x000000},  {"white", 0xFFFFFF},  {"gray", 0x808080},  {"grey", 0x808080},
      {"silver", 0xC0C0C0}, {"red", 0xFF0000},    {"green", 0x008000}, {"blue", 0x0000FF},
      {"navy", 0x000080},   {"maroon", 0x800000}, {"currentColor", 0}};
  if (text == "none") {
    paint.reset();
    return true;
  }
  for (const auto& [name, value] : kNames) {
    if (text == name) {
      paint = value;
      return true;
    }
  }
  if ((text.size() != 4 && text.size() != 7) || text[0] != '#')
    return false;
  uint32_t value = 0;
  for (size_t i = 1; i < text.size(); ++i) {
    int digit = HexDigit(text[i]);
    if (digit < 0)
      return false;
    value = value * 16 + static_cast<uint32_t>(digit);
    if (text.size() == 4)
      value = value * 16 + static_cast<uint32_t>(digit);
  }
  paint = value;
  return true;
}

class TSvgReader {
 public:
  TSvgReader(std::string_view svg, TPageFormat& format) : svg_(svg), format_(format) {}

  bool Read(std::string& error) {
    if (svg_.size() > kMaxPageFormatBytes)
      return Fail("The page format is larger than 1 MiB.", error);
    if (svg_.substr(0, 3) == "\xEF\xBB\xBF")
      pos_ = 3;
    while (pos_ < svg_.size()) {
      if (svg_[pos_] != '<') {
        if (!Characters())
          return Fail(error_, error);
        continue;
      }
      if (!Markup())
        return Fail(error_, error);
    }
    if (!rootSeen_)
      return Fail("The page format holds no drawing.", error);
    if (!stack_.empty())
      return Fail("The page format ends inside an element.", error);
    return true;
  }

 private:
  struct TOpen {
    std::string name;
    TStyle style;
    bool skipped = false;  // an element we do not draw, with everything in it
  };

  bool Fail(const std::string& why, std::string& error) {
    error = why.empty() ? "The page format is not a drawing we can read." : why;
    return false;
  }
  bool Bad(std::string why) {
    error_ = std::move(why);
    return false;
  }

  bool Characters() {
    size_t end = svg_.find('<', pos_);
    if (end == std::string_view::npos)
      end = svg_.size();
    std::string_view raw = svg_.substr(pos_, end - pos_);
    pos_ = end;
    if (inText_ && !Skipping())
      return Decode(raw, text_);
    if (stack_.empty() && !Trimmed(raw).empty())
      return Bad("The page format has text outside its drawing.");
    return true;
  }

  bool Skipping() const { return !stack_.empty() && stack_.back().skipped; }

  bool Markup() {
    std::string_view rest = svg_.substr(pos_);
    if (rest.starts_with("<?"))
      return SkipPast("?>");
    if (rest.starts_with("<!--"))
      return SkipPast("-->");
    if (rest.starts_with("<![CDATA[")) {
      size_t end = svg_.find("]]>", pos_);
      if (end == std::string_view::npos)
        return Bad("The page format ends inside a character section.");
      if (inText_ && !Skipping())
        text_.append(svg_.substr(pos_ + 9, end - pos_ - 9));
      pos_ = end + 3;
      return true;
    }
    if (rest.starts_with("<!"))
      return Bad("The page format holds a declaration, which page formats do not use.");
    if (rest.starts_with("</"))
      return EndTag();
    return StartTag();
  }

  bool SkipPast(std::string_view end) {
    size_t at = svg_.find(end, pos_);
    if (at == std::string_view::npos)
      return Bad("The page format ends inside markup.");
    pos_ = at + end.size();
    return true;
  }

  std::string_view Name() {
    size_t start = pos_;
    while (pos_ < svg_.size() && IsNameChar(svg_[pos_]))
      ++pos_;
    return svg_.substr(start, pos_ - start);
  }

  void SkipSpace() {
    while (pos_ < svg_.size() && IsSpace(svg_[pos_]))
      ++pos_;
  }

  bool EndTag() {
    pos_ += 2;
    std::string_view name = Name();
    SkipSpace();
    if (pos_ >= svg_.size() || svg_[pos_] != '>')
      return Bad("The page format ends inside markup.");
    ++pos_;
    if (stack_.empty() || stack_.back().name != name)
      return Bad("The page format's elements are not properly nested.");
    return Close();
  }

  bool StartTag() {
    ++pos_;
    std::string_view name = Name();
    if (name.empty())
      return Bad("The page format holds a stray \"<\".");
    std::vector<TAttribute> attributes;
    while (true) {
      SkipSpace();
      if (pos_ >= svg_.size())
        return Bad("The page format ends inside markup.");
      if (svg_[pos_] == '>' || svg_.substr(pos_).starts_with("/>"))
        break;
      std::string_view attribute = Name();
      SkipSpace();
      if (attribute.empty() || pos_ >= svg_.size() || svg_[pos_] != '=')
        return Bad("The page format has a malformed attribute.");
      ++pos_;
      SkipSpace();
      if (pos_ >= svg_.size() || (svg_[pos_] != '"' && svg_[pos_] != '\''))
        return Bad("The page format has a malformed attribute.");
      char quote = svg_[pos_++];
      size_t end = svg_.find(quote, pos_);
      if (end == std::string_view::npos)
        return Bad("The page format ends inside markup.");
      TAttribute decoded{std::string(attribute), {}};
      if (!Decode(svg_.substr(pos_, end - pos_), decoded.value))
        return false;
      attributes.push_back(std::move(decoded));
      pos_ = end + 1;
    }
    bool empty = svg_[pos_] == '/';
    pos_ += empty ? 2 : 1;
    if (!Open(name, attributes))
      return false;
    return empty ? Close() : true;
  }

  // Entities and character references; the result is UTF-8.
  bool Decode(std::string_view raw, std::string& out) {
    for (size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] != '&') {
        out += raw[i];
        continue;
      }
      size_t end = raw.find(';', i);
      if (end == std::string_view::npos || end - i > 12)
        return Bad("The page format has a malformed character reference.");
      std::string_view entity = raw.substr(i + 1, end - i - 1);
      i = end;
      static const std::pair<std::string_view, char> kEntities[] = {
          {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
      bool known = false;
      for (const auto& [entityName, c] : kEntities) {
        if (entity == entityName) {
          out += c;
          known = true;
        }
      }
      if (known)
        continue;
      // Anything else must be a numeric reference; "&;" and unknown names are refused alike.
      if (!entity.starts_with('#'))
        return Bad("The page format has a malformed character reference.");
      uint32_t code = 0;
      const bool hex = entity.starts_with("#x");
      const std::string_view digits = entity.substr(hex ? 2 : 1);
      auto [ptr, ec] =
          std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
      if (digits.empty() || ec != std::errc() || ptr != digits.data() + digits.size() ||
          code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return Bad("The page format has a malformed character reference.");
      AppendUtf8(out, static_cast<char32_t>(code));
    }
    return true;
  }

  const std::string* Find(const std::vector<TAttribute>& attributes, std::string_view name) {
    for (auto it = attributes.rbegin(); it != attributes.rend(); ++it) {
      if (it->name == name)
        return &it->value;
    }
    return nullptr;
  }

  bool Number(const std::vector<TAttribute>& attributes, std::string_view name, double& value) {
    const std::string* text = Find(attributes, name);
    if (text == nullptr) {
      value = 0;
      return true;
    }
    if (!ParsePlainNumber(*text, value))
      return Bad("The page format has a bad number in \"" + std::string(name) + "\".");
    return true;
  }

  bool ApplyStyle(const std::vector<TAttribute>& attributes, TStyle& style) {
    for (const TAttribute& attribute : attributes) {
      const std::string& name = attribute.name;
      const std::string& value = attribute.value;
      bool good = true;
      if (name == "stroke") {
        good = ParsePaint(value, style.stroke);
      } else if (name == "fill") {
        good = ParsePaint(value, style.fill);
      } else if (name == "stroke-width") {
        good = ParsePlainNumber(value, style.strokeWidth) && style.strokeWidth >= 0;
      } else if (name == "font-size") {
        good = ParsePlainNumber(value, style.fontSize) && style.fontSize > 0;
      } else if (name == "font-weight") {
        double weight = 0;
        if (value == "bold" || value == "bolder")
          style.fontWeight = 700;
        else if (value == "normal" || value == "lighter")
          style.fontWeight = 400;
        else if ((good = ParsePlainNumber(value, weight) && weight >= 1 && weight <= 1000))
          style.fontWeight = static_cast<int>(weight);
      } else if (name == "font-style") {
        style.italic = value == "italic" || value == "oblique";
      } else if (name == "text-anchor") {
        style.anchor = value == "middle" ? TTextAlign::kCentre
                       : value == "end"  ? TTextAlign::kRight
                                         : TTextAlign::kLeft;
      } else if (name == "font-family") {
        std::string_view family = Trimmed(std::string_view(value).substr(0, value.find(',')));
        if (family.size() >= 2 && (family.front() == '\'' || family.front() == '"'))
          family = family.substr(1, family.size() - 2);
        if (!family.empty())
          style.face = std::string(family);
      }
      if (!good)
        return Bad("The page format has a bad value in \"" + name + "\".");
    }
    return true;
  }

  TPageRecord Shape(TPageRecord::Kind kind, const TStyle& style) {
    TPageRecord record;
    record.kind = kind;
    record.stroked = style.stroke.has_value();
    record.strokeColour = style.stroke.value_or(0);
    record.strokeWidth = style.strokeWidth;
    record.filled = style.fill.has_value() && kind != TPageRecord::kLine;
    record.fillColour = style.fill.value_or(0);
    return record;
  }

  bool Add(TPageRecord record) {
    if (format_.records.size() >= kMaxPageFormatRecords)
      return Bad("The page format holds too many drawing elements.");
    format_.records.push_back(std::move(record));
    return true;
  }

  bool Root(const std::vector<TAttribute>& attributes) {
    const std::string* width = Find(attributes, "width");
    const std::string* height = Find(attributes, "height");
    const std::string* box = Find(attributes, "viewBox");
    std::vector<double> numbers;
    if (width == nullptr || height == nullptr || !ParseLengthMm(*width, format_.widthMm) ||
        !ParseLengthMm(*height, format_.heightMm))
      return Bad("The page format does not give its paper size.");
    if (box == nullptr || !ParseNumberList(*box, numbers, 4) || numbers.size() != 4 ||
        numbers[2] <= 0 || numbers[3] <= 0)
      return Bad("The page format does not give its view box.");
    format_.extent = {numbers[0], numbers[1], numbers[0] + numbers[2], numbers[1] + numbers[3]};
    return true;
  }

  bool Open(std::string_view name, const std::vector<TAttribute>& attributes) {
    if (stack_.size() >= static_cast<size_t>(kMaxPageFormatNesting))
      return Bad("The page format's elements nest too deeply.");
    if (stack_.empty()) {
      if (rootSeen_)
        return Bad("The page format holds more than one drawing.");
      if (name != "svg")
        return Bad("The page format is not an SVG drawing.");
      rootSeen_ = true;
      stack_.push_back({std::string(name), TStyle{}, false});
      return Root(attributes) && ApplyStyle(attributes, stack_.back().style);
    }
    TOpen open{std::string(name), stack_.back().style, Skipping()};
    if (open.skipped) {
      stack_.push_back(std::move(open));
      return true;
    }
    if (!ApplyStyle(attributes, open.style))
      return false;
    const TStyle& style = open.style;
    bool drawn = true;
    if (name == "rect") {
      double x, y, w, h;
      if (!Number(attributes, "x", x) || !Number(attributes, "y", y) ||
          !Number(attributes, "width", w) || !Number(attributes, "height", h))
        return false;
      if (w < 0 || h < 0)
        return Bad("The page format has a rectangle of negative size.");
      TPageRecord record = Shape(TPageRecord::kRectangle, style);
      record.rect = {x, y, x + w, y + h};
      if (!Add(std::move(record)))
        return false;
    } else if (name == "line") {
      double x1, y1, x2, y2;
      if (!Number(attributes, "x1", x1) || !Number(attributes, "y1", y1) ||
          !Number(attributes, "x2", x2) || !Number(attributes, "y2", y2))
        return false;
      TPageRecord record = Shape(TPageRecord::kLine, style);
      record.points = {{x1, y1}, {x2, y2}};
      if (!Add(std::move(record)))
        return false;
    } else if (name == "polyline" || name == "polygon") {
      const std::string* text = Find(attributes, "points");
      std::vector<double> numbers;
      if (text == nullptr ||
          !ParseNumberList(*text, numbers, 2 * (kMaxPageFormatPoints - points_)) ||
          numbers.size() % 2 != 0 || numbers.size() < 4)
        return Bad("The page format has a bad list of points.");
      points_ += numbers.size() / 2;
      TPageRecord record =
          Shape(name == "polygon" ? TPageRecord::kPolygon : TPageRecord::kPolyline, style);
      for (size_t i = 0; i < numbers.size(); i += 2)
        record.points.push_back({numbers[i], numbers[i + 1]});
      if (!Add(std::move(record)))
        return false;
    } else if (name == "text") {
      if (inText_)
        return Bad("The page format has a text inside a text.");
      if (!Number(attributes, "x", textX_) || !Number(attributes, "y", textY_))
        return false;
      inText_ = true;
      text_.clear();
    } else if (name == "tspan") {
      drawn = inText_;  // its characters belong to the text around it
    } else {
      drawn = name == "g";
    }
    open.skipped = !drawn;
    stack_.push_back(std::move(open));
    return true;
  }

  bool Close() {
    TOpen open = std::move(stack_.back());
    stack_.pop_back();
    if (open.name != "text" || open.skipped)
      return true;
    inText_ = false;
    // White space collapses to single blanks, as a drawing program shows it.
    std::string collapsed;
    for (char c : text_) {
      if (IsSpace(c)) {
        if (!collapsed.empty() && collapsed.back() != ' ')
          collapsed += ' ';
      } else {
        collapsed += c;
      }
    }
    while (!collapsed.empty() && collapsed.back() == ' ')
      collapsed.pop_back();
    if (collapsed.empty())
      return true;
    const TStyle& style = open.style;
    TPageRecord record;
    record.kind = TPageRecord::kText;
    record.text = Utf8ToCp1252Replacing(collapsed, '?');
    record.rect = {textX_, textY_ - style.fontSize, textX_, textY_};
    record.face = style.face;
    record.height = style.fontSize;
    record.weight = style.fontWeight;
    record.italic = style.italic;
    record.align = style.anchor;
    record.baseline = true;
    record.textColour = style.fill.value_or(0);
    return Add(std::move(record));
  }

  std::string_view svg_;
  TPageFormat& format_;
  size_t pos_ = 0;
  std::vector<TOpen> stack_;
  bool rootSeen_ = false;
  bool inText_ = false;
  std::string text_;
  double textX_ = 0;
  double textY_ = 0;
  size_t points_ = 0;
  std::string error_;
};

}  // namespace

std::optional<TFormRect> RegionOf(const TPageRecord& record) {
  if (record.kind == TPageRecord::kRectangle)
    return record.rect;
  if (record.kind != TPageRecord::kPolygon && record.kind != TPageRecord::kPolyline)
    return std::nullopt;
  std::vector<TFormPoint> corners = record.points;
  if (corners.size() == 5) {
    // A closed outline repeats its start; the repeated point is skipped.
    if (corners.front() != corners.back())
      return std::nullopt;
    corners.erase(corners.begin());
  }
  if (corners.size() != 4)
    return std::nullopt;
  // The four sides, closing side included, must alternate between horizontal and vertical.
  bool firstHorizontal = corners[0].y == corners[1].y;
  for (size_t i = 0; i < 4; ++i) {
    const TFormPoint& a = corners[i];
    const TFormPoint& b = corners[(i + 1) % 4];
    bool horizontal = (i % 2 == 0) == firstHorizontal;
    if (horizontal ? a.y != b.y : a.x != b.x)
      return std::nullopt;
  }
  TFormRect box{corners[0].x, corners[0].y, corners[0].x, corners[0].y};
  for (const TFormPoint& p : corners) {
    box.left = std::min(box.left, p.x);
    box.top = std::min(box.top, p.y);
    box.right = std::max(box.right, p.x);
    box.bottom = std::max(box.bottom, p.y);
  }
  return box;
}

bool ParsePageFormat(std::string_view svg, TPageFormat& format, std::string& error) {
  TPageFormat read;
  if (!TSvgReader(svg, read).Read(error))
    return false;
  format = std::move(read);
  return true;
}

int CBxMetaFile::LoadFromResource(uint32_t number, const TPageFormatSource& source) {
  loaded_ = false;
  std::string_view svg = source(number);
  if (svg.empty()) {
    error_ = "There is no page format " + std::to_string(number) + ".";
    return kFormatMissing;
  }
  if (!ParsePageFormat(svg, format_, error_))
    return kFormatMissing;
  loaded_ = true;
  return kLoaded;
}

int CBxMetaFile::LoadFromFile(const std::string& path) {
  loaded_ = false;
  // Only a regular file: a pipe or a device could block or never end.
  const TResult<std::string> bytes = ReadRegularFile(path, kMaxPageFormatBytes);
  if (!bytes) {
    error_ = bytes.Error();
    return kFileMissing;
  }
  if (!ParsePageFormat(*bytes, format_, error_))
    return kFileMissing;
  loaded_ = true;
  return kLoaded;
}
