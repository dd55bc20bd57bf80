#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// A rectangle in the logical units of a page format (the SVG drawing's user units).
struct TFormRect {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;

  double Width() const { return right - left; }
  double Height() const { return bottom - top; }
  friend bool operator==(const TFormRect&, const TFormRect&) = default;
};

/// The layout of a table region: proportional column widths, rows per page and the pen.
struct TTableLayout {
  std::vector<uint32_t> widths;  ///< one proportional width per column
  uint32_t rows = 0;
  uint32_t penWidth = 0;  ///< in logical units; 0 is the thinnest line the device draws
};

/// What a report answers for one region or one table cell. The engine clears it and fills in
/// the rectangle before each question.
struct TCellInfo {
  /// What to draw.
  enum Kind : uint32_t {
    kOutline = 1,  ///< the region's own record, as the format draws it
    kText = 2,
    kCheckBox = 4,
    kOption = 8,  ///< an option circle
    kTable = 16,
    kNothing = 64,  ///< not even the region's outline
  };
  /// Style flags of text, check boxes and option circles.
  enum Style : uint32_t {
    kChecked = 1,  ///< check box: a cross; option: the inner dot
    kRight = 2,    ///< text right-aligned; check box: filled black
    kCentred = 4,
    kClipped = 8,
    kOpaque = 16,    ///< text drawn on the background colour
    kBaseline = 32,  ///< baseline on the bottom edge, height as character height
    kBold = 64,
    kItalic = 128,
  };
  /// Flags of a table.
  enum TableFlags : uint32_t {
    kTableOutline = 1,  ///< also the region's own record
    kColumnLines = 2,
    kRowLines = 4,  ///< with kColumnLines also a frame around the table
    kNoPen = 8,
  };

  TFormRect rect;
  uint32_t kind = 0;
  uint32_t flags = 0;
  std::string text;         ///< Windows-1252, as the budget holds it
  std::string face;         ///< empty means "Tahoma"
  uint32_t textColour = 0;  ///< 0xRRGGBB; 0 is the default (black)
  uint32_t background = 0;  ///< 0xRRGGBB; 0 is none
  TTableLayout table;       ///< for kTable
};

/// Paper size in millimetres; 0 × 0 asks for the whole printable band.
struct TPageSize {
  uint32_t width = 0;
  uint32_t height = 0;
};

/// The report contract (the design's name, for the engine it serves): every printed report
/// answers these questions and the form engine draws its pages from them. Pages, regions, rows and
/// columns count from 1.
class CFWEngine {
 public:
  virtual ~CFWEngine() = default;

  /// The page format (drawing number among the program's page formats) for a page.
  virtual uint32_t GetPageFormat(int page) const = 0;
  /// What to draw in region `region` of the page format on page `page`.
  virtual void GetSection(int page, int region, TCellInfo& info) const = 0;
  /// What to draw in one cell of the table that region `region` holds.
  virtual void GetCell(int page, int region, int row, int column, TCellInfo& info) const = 0;
  virtual int GetPageCount() const = 0;
  /// The title of the print job.
  virtual std::string GetTitle() const = 0;
  virtual TPageSize GetPageSize() const { return {216, 279}; }
};
