#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reports/form_engine.h"

/// A point in the logical units of a page.
struct TFormPoint {
  double x = 0;
  double y = 0;
  friend bool operator==(const TFormPoint&, const TFormPoint&) = default;
};

/// How a text record stands in its rectangle horizontally.
enum class TTextAlign { kLeft, kCentre, kRight };

/// One drawing step of a page. A flat record rather than a class family, so that a player can
/// replay it with one switch and a test can compare it field by field.
struct TPageRecord {
  enum Kind { kLine, kRectangle, kPolyline, kPolygon, kEllipse, kText };

  Kind kind = kLine;
  std::vector<TFormPoint> points;  ///< line (two points), polyline, polygon
  TFormRect rect;                  ///< rectangle, ellipse, text

  // Outline and fill of the shapes. Colours are 0xRRGGBB.
  bool stroked = true;
  uint32_t strokeColour = 0;
  double strokeWidth = 0;  ///< logical units; 0 is the thinnest line the device draws
  bool filled = false;
  uint32_t fillColour = 0;

  // Text. The text stands on the rectangle's bottom edge: with `baseline` its baseline lies
  // there and `height` is the character height, otherwise the bottom of its descenders lies
  // there and `height` is the whole cell height of the font.
  std::string text;  ///< Windows-1252
  std::string face;
  double height = 0;
  int weight = 400;
  bool italic = false;
  TTextAlign align = TTextAlign::kLeft;
  bool baseline = false;
  uint32_t textColour = 0;
  bool opaque = false;  ///< the text's cell is filled with `background` first
  uint32_t background = 0xFFFFFF;
  bool clip = false;  ///< nothing of the text leaves `rect`

  friend bool operator==(const TPageRecord&, const TPageRecord&) = default;
};

/// A finished page: what the page format drew with every region filled in by the report.
struct TRecordedPage {
  double widthMm = 0;  ///< the paper size the format was drawn for
  double heightMm = 0;
  TFormRect extent;  ///< the logical page (the drawing's view box)
  std::vector<TPageRecord> records;
};

/// A line from `from` to `to` with a black pen of `width`.
TPageRecord LineRecord(TFormPoint from, TFormPoint to, double width);
/// A rectangle outlined with a black pen of `width` (unless `stroked` is false) and filled
/// with `fill` when `filled`.
TPageRecord RectangleRecord(const TFormRect& rect, bool stroked, double width, bool filled,
                            uint32_t fill);
