#pragma once

#include <QRectF>
#include <QSize>
#include <array>
#include <cstdint>
#include <string>

#include "core/result.h"
#include "reports/chart_series.h"

class QPainter;

/// Draws a chart's series with QPainter alone (Qt Gui, no windows), so that the command-line
/// tool makes the same pictures the program's chart windows show. Drawing text needs a
/// QGuiApplication (the offscreen platform will do).

/// How a chart's series are drawn.
enum class TChartShape {
  RankedBars,  ///< one horizontal bar per row, the first row on top (spending by envelope)
  MonthBars,   ///< the first two series as paired bars per row, the third as a line over them
  DatedLines,  ///< every series a line over the rows' end dates; dashed series as dashed lines
};

/// The charts' colours: apart for colour-blind readers and alternating dark and light, on the
/// chart's own white ground, so that a chart reads the same under light and dark desktop themes.
inline constexpr std::array<uint32_t, 8> kChartPalette = {0x0072B2, 0xE69F00, 0x009E73, 0xCC79A7,
                                                          0xD55E00, 0x56B4E9, 0x444444, 0x999933};

/// The palette entry of series `index`: a watchdog threshold takes the colour of its node's line,
/// and the difference line of paired bars the dark grey.
size_t ChartColourIndex(const TChartSeries& series, TChartShape shape, size_t index);

/// Draws the chart into `area` of the painter's coordinates: `title` on top, the value axis
/// with the ledger's money text at round steps, the categories or dates, the bars or lines
/// (with a marker shape of their own where the points lie apart) and the legend below. Text and
/// lines scale with the area.
void PaintChart(const TChartSeries& series, TChartShape shape, const std::string& title,
                QPainter& painter, const QRectF& area);

/// The picture file forms the charts are written in.
enum class TChartFile { Png, Pdf, Svg };

/// The sides a chart picture may have, in pixels.
inline constexpr int kMinChartSide = 100;
inline constexpr int kMaxChartSide = 5000;

/// Writes the chart as one file of `size` pixels: a PNG picture, a one-page PDF of that size at
/// 96 pixels to the inch, or an SVG drawing. The whole file is made in memory and saved through
/// the safe save, so on failure nothing is left under `path` (an older file there stays as it
/// was) and the result says why. `title` also names the PDF and SVG documents.
TResult<void> WriteChartFile(const TChartSeries& series, TChartShape shape,
                             const std::string& title, TChartFile form, const std::string& path,
                             QSize size);
