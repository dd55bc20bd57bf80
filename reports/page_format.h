#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reports/recorded_page.h"

/// A page format: a drawing of one sheet whose axis-aligned rectangles mark the regions a
/// report fills. Formats are SVG drawings of a small subset: a root `svg` with its paper size
/// (width and height in mm, cm, in or pt) and a `viewBox` that sets the logical units, and the
/// elements `rect`, `line`, `polyline`, `polygon` and `text` in document order, optionally
/// grouped in `g` elements that pass their presentation attributes on. Everything else is
/// skipped.
struct TPageFormat {
  double widthMm = 0;
  double heightMm = 0;
  TFormRect extent;
  std::vector<TPageRecord> records;  ///< in drawing order
};

/// The region a format record marks: a rectangle, or a polygon or polyline of 4 points (or of
/// 5 points whose last repeats the first) that outlines an axis-aligned rectangle, gives the
/// rectangle; every other record is artwork and gives nothing.
std::optional<TFormRect> RegionOf(const TPageRecord& record);

/// Reads a format from SVG text. False with a sentence in `error` when the text is not a
/// drawing of the subset or exceeds the limits below; nothing in it can make this fail other
/// than cleanly.
bool ParsePageFormat(std::string_view svg, TPageFormat& format, std::string& error);

/// Limits on what a format may hold, so that a hostile file costs little.
inline constexpr size_t kMaxPageFormatBytes = 1 << 20;
inline constexpr int kMaxPageFormatNesting = 16;
inline constexpr size_t kMaxPageFormatRecords = 20000;
inline constexpr size_t kMaxPageFormatPoints = 100000;  ///< over all records together
inline constexpr double kMaxPageFormatCoordinate = 1e7;

/// The page formats built into the program, by number: the SVG text, or empty when there is
/// no such format.
std::string_view BuiltInPageFormat(uint32_t number);
/// The numbers of the built-in formats, ascending.
std::vector<uint32_t> BuiltInPageFormatNumbers();

/// Where formats come from by number: the SVG text, empty when there is none.
using TPageFormatSource = std::function<std::string_view(uint32_t)>;

/// The page format of a printed report: loads one SVG drawing of a sheet (by number from the
/// built-in formats, or from a file) and keeps it parsed. The name is the design's, from the
/// metafiles the formats once were.
class CBxMetaFile {
 public:
  enum LoadResult : int {
    kLoaded = 0,
    kNoMemory = 1,
    kFormatMissing = 2,  ///< no built-in format of that number, or a bad one
    kFileMissing = 3,    ///< the file cannot be read or is not a page format
  };

  /// Loads format `number` (by default from the built-in ones): kLoaded or kFormatMissing.
  int LoadFromResource(uint32_t number, const TPageFormatSource& source = BuiltInPageFormat);
  /// Loads a format from a file: kLoaded or kFileMissing (also for files over the size limit).
  int LoadFromFile(const std::string& path);

  bool IsLoaded() const { return loaded_; }
  const TPageFormat& Format() const { return format_; }
  /// Why the last load failed, as a sentence.
  const std::string& Error() const { return error_; }

 private:
  TPageFormat format_;
  bool loaded_ = false;
  std::string error_;
};
