#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "reports/form_engine_imp.h"
#include "reports/page_format.h"
#include "tests/support/temp_folder.h"

namespace {

std::string Svg(const std::string& body) {
  return R"(<svg width="100mm" height="200mm" viewBox="0 0 1000 2000">)" + body + "</svg>";
}

TCellInfo Answer(uint32_t kind, uint32_t flags = 0) {
  TCellInfo info;
  info.kind = kind;
  info.flags = flags;
  return info;
}

TCellInfo TableAnswer(uint32_t flags, std::vector<uint32_t> widths, uint32_t rows,
                      uint32_t pen = 0) {
  TCellInfo info = Answer(TCellInfo::kTable, flags);
  info.table.widths = std::move(widths);
  info.table.rows = rows;
  info.table.penWidth = pen;
  return info;
}

// A report that answers from tables and remembers what it was asked.
class TFakeReport : public CFWEngine {
 public:
  std::map<int, TCellInfo> sections;  // by region; unlisted regions answer kind 1
  std::function<void(int, int, TCellInfo&)> cells;
  int pages = 1;
  uint32_t format = 1;
  mutable std::vector<std::pair<int, TFormRect>> asked;  // region and its rectangle
  mutable std::vector<TFormRect> cellRects;

  uint32_t GetPageFormat(int) const override { return format; }
  void GetSection(int, int region, TCellInfo& info) const override {
    asked.emplace_back(region, info.rect);
    auto found = sections.find(region);
    TFormRect rect = info.rect;
    info = found != sections.end() ? found->second : Answer(TCellInfo::kOutline);
    info.rect = rect;
  }
  void GetCell(int, int, int row, int column, TCellInfo& info) const override {
    cellRects.push_back(info.rect);
    if (cells)
      cells(row, column, info);
  }
  int GetPageCount() const override { return pages; }
  std::string GetTitle() const override { return "Fake"; }
};

// The page the engine builds from one SVG body as format 1.
std::vector<TPageRecord> Build(const TFakeReport& report, const std::string& body) {
  std::string svg = Svg(body);
  CFWEngineImp engine(report, [&](uint32_t n) { return n == 1 ? std::string_view(svg) : ""; });
  int result = -1;
  const TRecordedPage* page = engine.Page(1, result);
  EXPECT_EQ(result, 0);
  return page != nullptr ? page->records : std::vector<TPageRecord>{};
}

size_t CountKind(const std::vector<TPageRecord>& records, TPageRecord::Kind kind) {
  return std::count_if(records.begin(), records.end(),
                       [&](const TPageRecord& r) { return r.kind == kind; });
}

TEST(FormEngine, RegionsAreAxisAlignedRectanglesNumberedInOrder) {
  struct TCase {
    const char* body;
    std::vector<TFormRect> regions;
  } cases[] = {
      {R"(<rect x="10" y="20" width="30" height="40"/>)", {{10, 20, 40, 60}}},
      {R"(<polyline points="5,5 50,5 50,80 5,80 5,5"/>)", {{5, 5, 50, 80}}},
      {R"(<polygon points="50,80 5,80 5,5 50,5"/>)", {{5, 5, 50, 80}}},
      {R"(<polygon points="5,5 50,5 60,80 5,80"/>)", {}},       // one slanted side
      {R"(<polyline points="9,9 50,5 50,80 5,80 5,5"/>)", {}},  // not closed
      {R"(<polyline points="0,0 10,0 20,0 30,0"/>)", {}},       // a straight line
      {R"(<polygon points="0,0 10,0 10,10"/>)", {}},            // a triangle
      {R"(<line x1="0" y1="0" x2="10" y2="0"/><text x="1" y="9">A</text>)", {}},
      {R"(<rect width="9" height="9"/><line x2="5"/><g><rect x="1" width="2" height="3"/></g>)",
       {{0, 0, 9, 9}, {1, 0, 3, 3}}},
  };
  for (const TCase& c : cases) {
    TFakeReport report;
    std::vector<TPageRecord> records = Build(report, c.body);
    ASSERT_EQ(report.asked.size(), c.regions.size()) << c.body;
    for (size_t i = 0; i < c.regions.size(); ++i) {
      EXPECT_EQ(report.asked[i].first, static_cast<int>(i + 1)) << c.body;
      EXPECT_EQ(report.asked[i].second, c.regions[i]) << c.body;
    }
    // Kind 1 everywhere: the page is the format's drawing unchanged.
    TPageFormat format;
    std::string error;
    ASSERT_TRUE(ParsePageFormat(Svg(c.body), format, error)) << error;
    EXPECT_EQ(records, format.records) << c.body;
  }
}

TEST(FormEngine, RegionKindsAndTextStyles) {
  const std::string body = R"(<rect x="0" y="0" width="200" height="50" stroke="#123456"/>)";
  auto text = [](uint32_t flags, std::string face = "", uint32_t background = 0) {
    TCellInfo info = Answer(TCellInfo::kText, flags);
    info.text = "Hi";
    info.face = face;
    info.textColour = 0xFF0000;
    info.background = background;
    return info;
  };
  struct TCase {
    TCellInfo answer;
    size_t records;
    TTextAlign align = TTextAlign::kLeft;
    int weight = 400;
    bool baseline = false, clip = false, opaque = false, italic = false;
    std::string face = "Tahoma";
    uint32_t background = 0xFFFFFF;
  } cases[] = {
      {Answer(TCellInfo::kNothing), 0},
      {Answer(99), 0},
      {Answer(TCellInfo::kText), 0},  // no text, no trace
      {text(0), 1},
      {text(TCellInfo::kRight | TCellInfo::kBold), 1, TTextAlign::kRight, 700},
      {text(TCellInfo::kCentred | TCellInfo::kRight | TCellInfo::kBaseline), 1, TTextAlign::kCentre,
       400, true},
      {text(TCellInfo::kClipped | TCellInfo::kItalic, "Serif"), 1, TTextAlign::kLeft, 400, false,
       true, false, true, "Serif"},
      {text(TCellInfo::kOpaque, "", 0xC4C4C4), 1, TTextAlign::kLeft, 400, false, false, true, false,
       "Tahoma", 0xC4C4C4},
      {text(TCellInfo::kOpaque), 1, TTextAlign::kLeft, 400, false, false, true},
  };
  for (const TCase& c : cases) {
    TFakeReport report;
    report.sections[1] = c.answer;
    std::vector<TPageRecord> records = Build(report, body);
    ASSERT_EQ(records.size(), c.records) << c.answer.kind << " " << c.answer.flags;
    if (c.records == 0)
      continue;
    const TPageRecord& r = records[0];
    EXPECT_EQ(r.kind, TPageRecord::kText);
    EXPECT_EQ(r.rect, (TFormRect{0, 0, 200, 50}));
    EXPECT_EQ(r.height, 40);
    EXPECT_EQ(r.text, "Hi");
    EXPECT_EQ(r.textColour, 0xFF0000u);
    EXPECT_EQ(r.align, c.align);
    EXPECT_EQ(r.weight, c.weight);
    EXPECT_EQ(r.baseline, c.baseline);
    EXPECT_EQ(r.clip, c.clip);
    EXPECT_EQ(r.italic, c.italic);
    EXPECT_EQ(r.face, c.face);
    EXPECT_EQ(r.opaque, c.opaque);
    if (c.opaque) {
      EXPECT_EQ(r.background, c.background);
    }
  }
}

TEST(FormEngine, CheckBoxesAndOptions) {
  TFakeReport report;
  report.sections[1] = Answer(TCellInfo::kCheckBox, TCellInfo::kChecked);
  report.sections[2] = Answer(TCellInfo::kCheckBox, TCellInfo::kRight);
  report.sections[3] = Answer(TCellInfo::kOption, TCellInfo::kChecked);
  auto records = Build(report, R"(<rect width="40" height="20"/><rect width="9" height="9"/>)"
                               R"(<rect width="8" height="8"/>)");
  ASSERT_EQ(records.size(), 6u);
  EXPECT_EQ(records[0].rect, (TFormRect{10, 0, 30, 20}));  // a square in the middle
  EXPECT_EQ(records[0].fillColour, 0xFFFFFFu);
  EXPECT_EQ(CountKind({records.begin(), records.begin() + 3}, TPageRecord::kLine), 2u);
  EXPECT_EQ(records[3].fillColour, 0u);  // filled black, no cross
  EXPECT_EQ(records[4].kind, TPageRecord::kEllipse);
  EXPECT_EQ(records[5].rect, (TFormRect{2, 2, 6, 6}));
}

TEST(FormEngine, TableLinesFollowTheFlags) {
  struct TCase {
    uint32_t flags;
    size_t frames, lines, outlines;
  } cases[] = {
      {TCellInfo::kRowLines, 0, 2, 0},
      {TCellInfo::kColumnLines, 0, 3, 0},
      {TCellInfo::kRowLines | TCellInfo::kColumnLines, 1, 5, 0},
      {TCellInfo::kRowLines | TCellInfo::kColumnLines | TCellInfo::kNoPen, 0, 0, 0},
      {TCellInfo::kTableOutline, 0, 0, 1},
  };
  for (const TCase& c : cases) {
    TFakeReport report;
    report.sections[1] = TableAnswer(c.flags, {1, 1, 1, 1}, 3, 2);
    auto records = Build(report, R"(<rect width="400" height="300" stroke="red" fill="none"/>)");
    size_t outlines = std::count_if(records.begin(), records.end(), [](const TPageRecord& r) {
      return r.kind == TPageRecord::kRectangle && r.strokeColour == 0xFF0000;
    });
    EXPECT_EQ(CountKind(records, TPageRecord::kRectangle) - outlines, c.frames) << c.flags;
    EXPECT_EQ(CountKind(records, TPageRecord::kLine), c.lines) << c.flags;
    EXPECT_EQ(outlines, c.outlines) << c.flags;
    for (const TPageRecord& r : records)
      EXPECT_TRUE(r.kind != TPageRecord::kLine || r.strokeWidth == 2);
  }
}

TEST(FormEngine, TableGeometryCutsTheRemainder) {
  TFakeReport report;
  report.sections[1] = TableAnswer(6, {1, 2}, 3);
  report.cells = [](int row, int column, TCellInfo& info) {
    if (row == 2 && column == 2) {
      info.kind = TCellInfo::kText;
      info.text = "x";
      info.background = 0xC4C4C4;
    }
  };
  auto records = Build(report, R"(<rect x="10" y="20" width="101" height="100"/>)");
  // Rows of 33 (one unit cut at the bottom), units of 33, the last column to the right edge.
  std::vector<TFormRect> expected = {{10, 20, 43, 53},  {43, 20, 111, 53}, {10, 53, 43, 86},
                                     {43, 53, 111, 86}, {10, 86, 43, 119}, {43, 86, 111, 119}};
  EXPECT_EQ(report.cellRects, expected);
  ASSERT_GE(records.size(), 2u);
  EXPECT_EQ(records[0].rect, expected[3]);  // the background
  EXPECT_TRUE(records[0].filled && !records[0].stroked);
  const double inset = 33.0 / 8;
  EXPECT_EQ(records[1].rect, (TFormRect{43 + inset, 53 + inset, 111 - inset, 86 - inset}));
  EXPECT_EQ(records[2].rect, (TFormRect{10, 20, 111, 119}));  // the frame
}

TEST(FormEngine, OnePageIsCached) {
  TFakeReport report;
  report.pages = 2;
  report.format = 100;
  CFWEngineImp engine(report);
  int result = -1;
  const TRecordedPage* first = engine.Page(1, result);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(engine.Page(1, result), first);
  EXPECT_EQ(engine.BuildCount(), 1);
  EXPECT_NE(engine.Page(2, result), nullptr);
  EXPECT_NE(engine.Page(1, result), nullptr);
  EXPECT_EQ(engine.BuildCount(), 3);
  EXPECT_EQ(engine.Page(3, result), nullptr);
  EXPECT_EQ(result, CBxMetaFile::kFormatMissing);
  report.format = 7;
  EXPECT_EQ(engine.Page(2, result), nullptr);
  EXPECT_EQ(result, CBxMetaFile::kFormatMissing);
}

TEST(PageFormat, BuiltInFormatsHaveTheirRegions) {
  const std::map<uint32_t, int> regions = {{4, 9},    {100, 3}, {152, 6}, {154, 1},
                                           {155, 20}, {161, 6}, {163, 1}};
  std::vector<uint32_t> numbers;
  for (const auto& [number, count] : regions) {
    numbers.push_back(number);
    CBxMetaFile file;
    ASSERT_EQ(file.LoadFromResource(number), CBxMetaFile::kLoaded) << number << file.Error();
    EXPECT_EQ(file.Format().widthMm, 216);
    EXPECT_EQ(file.Format().heightMm, 279);
    std::vector<TFormRect> found;
    for (const TPageRecord& record : file.Format().records) {
      if (auto rect = RegionOf(record))
        found.push_back(*rect);
    }
    EXPECT_EQ(static_cast<int>(found.size()), count) << number;
    for (const TFormRect& rect : found) {
      EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= 2160 && rect.bottom <= 2790);
    }
    if (number == 155) {
      for (size_t k = 0; k < found.size(); k += 2)  // each card's table inside the card
        EXPECT_TRUE(found[k].left < found[k + 1].left && found[k + 1].bottom < found[k].bottom);
    }
  }
  EXPECT_EQ(BuiltInPageFormatNumbers(), numbers);
  CBxMetaFile missing;
  EXPECT_EQ(missing.LoadFromResource(200), CBxMetaFile::kFormatMissing);
}

TEST(PageFormat, HostileTextIsRefusedCleanly) {
  std::string deep;
  for (int i = 0; i < 200; ++i)
    deep += "<g>";
  std::string binary(4096, '\0');
  for (size_t i = 0; i < binary.size(); ++i)
    binary[i] = static_cast<char>(i * 131 + 7);
  const std::string good = Svg(R"(<rect width="1" height="1"/>)");
  const std::string cases[] = {
      "",
      good.substr(0, good.size() / 2),
      good.substr(0, good.size() - 3),
      binary,
      "<svg" + binary,
      Svg(R"(<rect width="1e999" height="1"/>)"),
      Svg(R"(<rect width="1e300" height="1"/>)"),
      Svg(R"(<rect width="-5" height="1"/>)"),
      Svg(R"(<polygon points="1,2,3"/>)"),
      Svg(R"(<line x1="nan"/>)"),
      Svg(deep),
      Svg("<text>&bogus;</text>"),
      Svg("<text>&#0;</text>"),
      Svg(R"(<text x="1" y="2">&;</text>)"),
      Svg(R"(<rect width="1" height="1" fill="&;"/>)"),
      R"(<!DOCTYPE svg [<!ENTITY a "aaaa">]>)" + good,
      R"(<svg width="216mm" height="279mm"></svg>)",
      R"(<svg width="wide" height="279mm" viewBox="0 0 1 1"></svg>)",
      good + good,
      "<html></html>",
      Svg(R"x(<rect fill="url(#x)"/>)x"),
      Svg(std::string(kMaxPageFormatBytes, ' ')),
  };
  for (const std::string& svg : cases) {
    TPageFormat format;
    std::string error;
    EXPECT_FALSE(ParsePageFormat(svg, format, error)) << svg.substr(0, 80);
    EXPECT_FALSE(error.empty());
  }
}

TEST(PageFormat, LoadFromFile) {
  TTempFolder folder;
  auto write = [&](const char* name, const std::string& text) {
    std::ofstream(folder.Path() / name, std::ios::binary) << text;
    return (folder.Path() / name).string();
  };
  CBxMetaFile file;
  const std::string good =
      Svg(R"(<text x="5" y="9" font-size="4" text-anchor="end" font-weight="bold">)"
          "Caf&#233; &amp; Co</text>");
  EXPECT_EQ(file.LoadFromFile(write("good.svg", good)), CBxMetaFile::kLoaded);
  ASSERT_EQ(file.Format().records.size(), 1u);
  const TPageRecord& text = file.Format().records[0];
  EXPECT_EQ(text.text, "Caf\xE9 & Co");
  EXPECT_EQ(text.rect, (TFormRect{5, 5, 5, 9}));
  EXPECT_TRUE(text.baseline && text.weight == 700 && text.align == TTextAlign::kRight);
  EXPECT_EQ(file.LoadFromFile(write("bad.svg", "<svg")), CBxMetaFile::kFileMissing);
  EXPECT_FALSE(file.IsLoaded());
  EXPECT_EQ(file.LoadFromFile((folder.Path() / "none.svg").string()), CBxMetaFile::kFileMissing);
  EXPECT_EQ(file.LoadFromFile(folder.Path().string()), CBxMetaFile::kFileMissing);
}

}  // namespace
