#include "platform/chart_painter.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPolygonF>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <vector>

#include "core/cp1252.h"
#include "core/save_file.h"
#include "reports/report_text.h"

namespace {

constexpr double kPixelsPerInch = 96;
constexpr QRgb kInk = 0x333333;
constexpr QRgb kAxisGrey = 0x888888;
constexpr QRgb kGridGrey = 0xE3E3E3;
// Ticks beyond this are not labelled: their money text would not fit 64 bits of cents.
constexpr double kLargestLabel = 9.2e18;

QString FromModel(const std::string& text) {
  return QString::fromStdString(Cp1252ToUtf8(text));
}

QColor Colour(size_t paletteIndex) {
  return QColor(static_cast<QRgb>(kChartPalette[paletteIndex % kChartPalette.size()]));
}

// The value axis: round steps of 1, 2 or 5 times a power of ten cents that hold every value
// and zero, at most about `most` of them.
struct TValueAxis {
  double low = 0;
  double high = 100;
  std::vector<double> ticks;

  double Fraction(double cents) const { return (cents - low) / (high - low); }
};

TValueAxis MakeValueAxis(const TChartSeries& series, int most) {
  const auto [low, high] = ValueSpan(series);
  const double from = static_cast<double>(low);
  const double to = std::max(static_cast<double>(high), from + 100);
  const double raw = (to - from) / std::max(1, most);
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  double step = power * 10;
  for (const double factor : {1.0, 2.0, 5.0}) {
    if (power * factor >= raw) {
      step = power * factor;
      break;
    }
  }
  step = std::max(step, 1.0);
  TValueAxis axis;
  axis.low = std::floor(from / step) * step;
  axis.high = std::ceil(to / step) * step;
  const auto count = static_cast<int>(std::lround((axis.high - axis.low) / step));
  for (int index = 0; index <= count; ++index) {
    const double tick = axis.low + index * step;
    if (std::fabs(tick) < kLargestLabel)
      axis.ticks.push_back(tick);
  }
  return axis;
}

QString MoneyLabel(double cents) {
  return FromModel(MoneyText(std::llround(cents)));
}

double WidestLabel(const TValueAxis& axis, const QFontMetricsF& metrics) {
  double widest = 0;
  for (const double tick : axis.ticks)
    widest = std::max(widest, metrics.horizontalAdvance(MoneyLabel(tick)));
  return widest;
}

enum class TMarker { Circle, Square, Triangle, Diamond, Down };

void DrawMarker(QPainter& painter, QPointF at, double radius, size_t paletteIndex) {
  const double r = radius;
  switch (static_cast<TMarker>(paletteIndex % 5)) {
    case TMarker::Circle:
      painter.drawEllipse(at, r, r);
      return;
    case TMarker::Square:
      painter.drawRect(QRectF(at.x() - r * 0.85, at.y() - r * 0.85, r * 1.7, r * 1.7));
      return;
    case TMarker::Triangle:
      painter.drawPolygon(QPolygonF({at + QPointF(0, -r * 1.15), at + QPointF(r * 1.1, r * 0.8),
                                     at + QPointF(-r * 1.1, r * 0.8)}));
      return;
    case TMarker::Diamond:
      painter.drawPolygon(QPolygonF({at + QPointF(0, -r * 1.2), at + QPointF(r * 1.2, 0),
                                     at + QPointF(0, r * 1.2), at + QPointF(-r * 1.2, 0)}));
      return;
    case TMarker::Down:
      break;
  }
  painter.drawPolygon(QPolygonF({at + QPointF(0, r * 1.15), at + QPointF(r * 1.1, -r * 0.8),
                                 at + QPointF(-r * 1.1, -r * 0.8)}));
}

// Everything one drawing shares: the painter, the sizes that follow the area, the fonts.
struct TCanvas {
  QPainter& painter;
  QRectF area;
  double unit;  // the text's pixel height; margins, lines and markers follow it
  QFont font;
  QFontMetricsF metrics;

  QPen LinePen(size_t paletteIndex, bool dashed) const {
    QPen pen(Colour(paletteIndex), unit * (dashed ? 0.13 : 0.2));
    pen.setStyle(dashed ? Qt::DashLine : Qt::SolidLine);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
  }
  void Text(const QRectF& box, int flags, const QString& text, QRgb colour = kInk) const {
    painter.setPen(QColor(colour));
    painter.drawText(box, flags, text);
  }
};

bool IsLine(TChartShape shape, size_t index) {
  return shape == TChartShape::DatedLines || (shape == TChartShape::MonthBars && index >= 2);
}

// The legend under the plot, in centred rows; returns the top it takes from `bottom`.
double DrawLegend(const TCanvas& canvas, const TChartSeries& series, TChartShape shape,
                  double bottom) {
  const double swatch = canvas.unit * 2;
  const double gap = canvas.unit * 0.4;
  const double spacing = canvas.unit * 1.5;
  const double rowHeight = canvas.metrics.height() * 1.4;
  const double room = canvas.area.width() - 2 * canvas.unit;
  struct TEntry {
    size_t index;
    QString name;
    double width;
  };
  std::vector<std::vector<TEntry>> rows(1);
  double used = 0;
  for (size_t index = 0; index < series.lines.size(); ++index) {
    const QString name = canvas.metrics.elidedText(FromModel(series.lines[index].name),
                                                   Qt::ElideRight, room - swatch - gap);
    const double width = swatch + gap + canvas.metrics.horizontalAdvance(name);
    if (!rows.back().empty() && used + spacing + width > room) {
      rows.emplace_back();
      used = 0;
    }
    used += (rows.back().empty() ? 0 : spacing) + width;
    rows.back().push_back({index, name, width});
  }
  const double top = bottom - rowHeight * static_cast<double>(rows.size());
  QPainter& painter = canvas.painter;
  for (size_t row = 0; row < rows.size(); ++row) {
    double width = 0;
    for (const TEntry& entry : rows[row])
      width += entry.width + (width > 0 ? spacing : 0);
    double x = canvas.area.center().x() - width / 2;
    const double y = top + rowHeight * (static_cast<double>(row) + 0.5);
    for (const TEntry& entry : rows[row]) {
      const size_t colour = ChartColourIndex(series, shape, entry.index);
      const bool dashed = series.lines[entry.index].dashed;
      if (IsLine(shape, entry.index)) {
        painter.setPen(canvas.LinePen(colour, dashed));
        painter.drawLine(QPointF(x, y), QPointF(x + swatch, y));
        if (!dashed) {
          painter.setPen(Qt::NoPen);
          painter.setBrush(Colour(colour));
          DrawMarker(painter, QPointF(x + swatch / 2, y), canvas.unit * 0.3, colour);
        }
      } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(Colour(colour));
        painter.drawRect(QRectF(x + swatch / 4, y - swatch / 4, swatch / 2, swatch / 2));
      }
      canvas.Text(QRectF(x + swatch + gap, y - rowHeight / 2, entry.width, rowHeight),
                  Qt::AlignLeft | Qt::AlignVCenter, entry.name);
      x += entry.width + spacing;
    }
  }
  return top;
}

// Grid lines and labels of the value axis, across the plot (`across`: the axis runs along x).
void DrawValueAxis(const TCanvas& canvas, const TValueAxis& axis, const QRectF& plot, bool across) {
  QPainter& painter = canvas.painter;
  const double labelHeight = canvas.metrics.height();
  for (const double tick : axis.ticks) {
    const double f = axis.Fraction(tick);
    painter.setPen(QPen(QColor(tick == 0 ? kAxisGrey : kGridGrey), canvas.unit * 0.08));
    const QString label = MoneyLabel(tick);
    if (across) {
      const double x = plot.left() + f * plot.width();
      painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
      const double width = canvas.metrics.horizontalAdvance(label);
      canvas.Text(QRectF(x - width / 2, plot.bottom() + canvas.unit * 0.3, width, labelHeight),
                  Qt::AlignCenter, label);
    } else {
      const double y = plot.bottom() - f * plot.height();
      painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
      canvas.Text(QRectF(canvas.area.left(), y - labelHeight / 2,
                         plot.left() - canvas.area.left() - canvas.unit * 0.5, labelHeight),
                  Qt::AlignRight | Qt::AlignVCenter, label);
    }
  }
}

// Labels under the plot at the x of each row, each only where it clears the last one drawn, so
// that dense rows are labelled at intervals.
void DrawRowLabels(const TCanvas& canvas, const QRectF& plot, const std::vector<double>& xs,
                   const std::vector<QString>& labels) {
  double clear = -1e300;
  for (size_t row = 0; row < xs.size(); ++row) {
    const double width = canvas.metrics.horizontalAdvance(labels[row]);
    const double left =
        std::clamp(xs[row] - width / 2, canvas.area.left(), canvas.area.right() - width);
    if (left < clear)
      continue;
    canvas.Text(QRectF(left, plot.bottom() + canvas.unit * 0.3, width, canvas.metrics.height()),
                Qt::AlignCenter, labels[row]);
    clear = left + width + canvas.unit;
  }
}

void DrawLine(const TCanvas& canvas, const TChartSeries& series, TChartShape shape, size_t index,
              const std::vector<QPointF>& points) {
  const TChartLine& line = series.lines[index];
  const size_t colour = ChartColourIndex(series, shape, index);
  QPainter& painter = canvas.painter;
  painter.setBrush(Qt::NoBrush);
  painter.setPen(canvas.LinePen(colour, line.dashed));
  painter.drawPolyline(points.data(), static_cast<int>(points.size()));
  const double radius = canvas.unit * 0.3;
  const bool apart = points.size() < 2 || points[1].x() - points[0].x() >= radius * 5;
  if (line.dashed || !apart)
    return;
  painter.setPen(Qt::NoPen);
  painter.setBrush(Colour(colour));
  for (const QPointF& point : points)
    DrawMarker(painter, point, radius, colour);
}

void DrawRankedBars(const TCanvas& canvas, const TChartSeries& series, QRectF plot) {
  const double labelRoom = canvas.area.width() * 0.3;
  double widest = 0;
  for (const std::string& row : series.rows)
    widest = std::max(widest, canvas.metrics.horizontalAdvance(FromModel(row)));
  plot.setLeft(plot.left() + std::min(widest, labelRoom) + canvas.unit * 0.5);
  // The value labels run along the bottom: as many as fit side by side.
  TValueAxis axis = MakeValueAxis(series, 8);
  const double widestLabel = WidestLabel(axis, canvas.metrics);
  // The last label is centred on the plot's right edge: half of it must fit inside the area.
  plot.setRight(plot.right() - widestLabel / 2);
  axis = MakeValueAxis(
      series, std::clamp(static_cast<int>(plot.width() / (widestLabel + canvas.unit * 1.5)), 1, 8));
  plot.setBottom(plot.bottom() - canvas.metrics.height() - canvas.unit * 0.3);
  DrawValueAxis(canvas, axis, plot, true);

  const TChartLine& line = series.lines.front();
  const double band = plot.height() / static_cast<double>(series.rows.size());
  const double zero = plot.left() + axis.Fraction(0) * plot.width();
  for (size_t row = 0; row < series.rows.size() && row < line.values.size(); ++row) {
    const double y = plot.top() + band * static_cast<double>(row);
    const double end =
        plot.left() + axis.Fraction(static_cast<double>(line.values[row])) * plot.width();
    canvas.painter.setPen(Qt::NoPen);
    canvas.painter.setBrush(Colour(0));
    canvas.painter.drawRect(QRectF(QPointF(std::min(zero, end), y + band * 0.2),
                                   QPointF(std::max(zero, end), y + band * 0.8)));
    const QString name =
        canvas.metrics.elidedText(FromModel(series.rows[row]), Qt::ElideRight, labelRoom);
    canvas.Text(
        QRectF(canvas.area.left(), y, plot.left() - canvas.area.left() - canvas.unit * 0.5, band),
        Qt::AlignRight | Qt::AlignVCenter, name);
  }
}

// An upright value axis drawn across the plot: labels as many as fit one above the other, the
// plot narrowed on the left by the widest of them and raised by a line for the rows' labels.
TValueAxis MakeUprightAxis(const TCanvas& canvas, const TChartSeries& series, QRectF& plot) {
  const double labelHeight = canvas.metrics.height();
  plot.setBottom(plot.bottom() - labelHeight - canvas.unit * 0.3);
  const TValueAxis axis = MakeValueAxis(
      series, std::clamp(static_cast<int>(plot.height() / (labelHeight * 2.5)), 1, 10));
  plot.setLeft(plot.left() + WidestLabel(axis, canvas.metrics) + canvas.unit * 0.5);
  DrawValueAxis(canvas, axis, plot, false);
  return axis;
}

void DrawMonthBars(const TCanvas& canvas, const TChartSeries& series, QRectF plot) {
  const TValueAxis axis = MakeUprightAxis(canvas, series, plot);
  const size_t rows = series.rows.size();
  const double band = plot.width() / static_cast<double>(rows);
  const double zero = plot.bottom() - axis.Fraction(0) * plot.height();
  auto yOf = [&](int64_t cents) {
    return plot.bottom() - axis.Fraction(static_cast<double>(cents)) * plot.height();
  };
  std::vector<double> xs;
  std::vector<QString> labels;
  for (size_t row = 0; row < rows; ++row) {
    const double centre = plot.left() + band * (static_cast<double>(row) + 0.5);
    xs.push_back(centre);
    labels.push_back(FromModel(series.rows[row]));
    for (size_t index = 0; index < 2 && index < series.lines.size(); ++index) {
      if (row >= series.lines[index].values.size())
        continue;
      const double left = centre - band * 0.35 + band * 0.35 * static_cast<double>(index);
      const double top = yOf(series.lines[index].values[row]);
      canvas.painter.setPen(Qt::NoPen);
      canvas.painter.setBrush(Colour(ChartColourIndex(series, TChartShape::MonthBars, index)));
      canvas.painter.drawRect(QRectF(QPointF(left, std::min(zero, top)),
                                     QPointF(left + band * 0.33, std::max(zero, top))));
    }
  }
  DrawRowLabels(canvas, plot, xs, labels);
  for (size_t index = 2; index < series.lines.size(); ++index) {
    std::vector<QPointF> points;
    for (size_t row = 0; row < rows && row < series.lines[index].values.size(); ++row)
      points.emplace_back(xs[row], yOf(series.lines[index].values[row]));
    DrawLine(canvas, series, TChartShape::MonthBars, index, points);
  }
}

void DrawDatedLines(const TCanvas& canvas, const TChartSeries& series, QRectF plot) {
  const TValueAxis axis = MakeUprightAxis(canvas, series, plot);
  const size_t rows = std::min(series.rows.size(), series.periods.size());
  const int64_t first = series.periods.front().to.DayCount();
  const int64_t days = series.periods[rows - 1].to.DayCount() - first;
  // The first and last points lie in from the edges, so that their dates fit under them.
  const double inset = canvas.metrics.horizontalAdvance(QStringLiteral("00/00/00")) / 2;
  const QRectF span = plot.adjusted(inset, 0, -inset, 0);
  std::vector<double> xs;
  std::vector<QString> labels;
  for (size_t row = 0; row < rows; ++row) {
    const int64_t day = series.periods[row].to.DayCount() - first;
    xs.push_back(days <= 0 ? span.center().x()
                           : span.left() + span.width() * static_cast<double>(day) /
                                               static_cast<double>(days));
    labels.push_back(FromModel(ShortDateText(series.periods[row].to)));
  }
  DrawRowLabels(canvas, plot, xs, labels);
  canvas.painter.save();
  canvas.painter.setClipRect(plot.adjusted(-canvas.unit, -canvas.unit, canvas.unit, canvas.unit));
  for (size_t index = 0; index < series.lines.size(); ++index) {
    std::vector<QPointF> points;
    for (size_t row = 0; row < rows && row < series.lines[index].values.size(); ++row) {
      points.emplace_back(
          xs[row],
          plot.bottom() -
              axis.Fraction(static_cast<double>(series.lines[index].values[row])) * plot.height());
    }
    DrawLine(canvas, series, TChartShape::DatedLines, index, points);
  }
  canvas.painter.restore();
}

// A chart drawn into memory: its bytes in one of the picture forms.
TResult<QByteArray> ChartBytes(const TChartSeries& series, TChartShape shape,
                               const std::string& title, TChartFile form, QSize size) {
  const QRectF area(0, 0, size.width(), size.height());
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QPainter painter;
  if (form == TChartFile::Png) {
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) {
      return TFailure{"there is not enough memory for a picture of " +
                      std::to_string(size.width()) + " by " + std::to_string(size.height()) +
                      " pixels"};
    }
    const int dotsPerMeter = static_cast<int>(std::lround(kPixelsPerInch / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    painter.begin(&image);
    PaintChart(series, shape, title, painter, area);
    painter.end();
    if (!image.save(&buffer, "PNG"))
      return TFailure{"the picture cannot be encoded"};
    return bytes;
  }
  if (form == TChartFile::Pdf) {
    QPdfWriter writer(&buffer);
    writer.setTitle(FromModel(title));
    writer.setCreator(QStringLiteral("Quenbrook"));
    writer.setResolution(static_cast<int>(kPixelsPerInch));
    const QSizeF points(size.width() * 72 / kPixelsPerInch, size.height() * 72 / kPixelsPerInch);
    writer.setPageLayout(
        QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                    QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Point));
    if (!painter.begin(&writer))
      return TFailure{"the PDF page cannot be started"};
    painter.scale(writer.width() / area.width(), writer.height() / area.height());
    PaintChart(series, shape, title, painter, area);
    painter.end();
    return bytes;
  }
  QSvgGenerator generator;
  generator.setOutputDevice(&buffer);
  generator.setSize(size);
  generator.setViewBox(area);
  generator.setResolution(static_cast<int>(kPixelsPerInch));
  generator.setTitle(FromModel(title));
  generator.setDescription(QStringLiteral("A chart drawn by Quenbrook"));
  if (!painter.begin(&generator))
    return TFailure{"the SVG drawing cannot be started"};
  PaintChart(series, shape, title, painter, area);
  painter.end();
  return bytes;
}

}  // namespace

size_t ChartColourIndex(const TChartSeries& series, TChartShape shape, size_t index) {
  if (shape == TChartShape::MonthBars)
    return index < 2 ? index : 6;
  if (index >= series.lines.size() || !series.lines[index].dashed)
    return index;
  // A threshold follows the line of its node, the nearest before it.
  size_t colour = index;
  while (colour > 0 &&
         (series.lines[colour].dashed || series.lines[colour].nodeId != series.lines[index].nodeId))
    --colour;
  return colour;
}

void PaintChart(const TChartSeries& series, TChartShape shape, const std::string& title,
                QPainter& painter, const QRectF& area) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.fillRect(area, Qt::white);
  const double unit = std::clamp(std::min(area.width(), area.height()) / 48, 7.0, 40.0);
  QFont font;
  font.setPixelSize(static_cast<int>(std::lround(unit)));
  QFont titleFont = font;
  titleFont.setPixelSize(static_cast<int>(std::lround(unit * 1.25)));
  titleFont.setBold(true);
  painter.setFont(font);
  const TCanvas canvas{painter, area, unit, font, QFontMetricsF(font, painter.device())};

  const QRectF inner = area.adjusted(unit, unit, -unit, -unit);
  const QFontMetricsF titleMetrics(titleFont, painter.device());
  painter.setFont(titleFont);
  canvas.Text(QRectF(inner.left(), inner.top(), inner.width(), titleMetrics.height()),
              Qt::AlignCenter,
              titleMetrics.elidedText(FromModel(title), Qt::ElideRight, inner.width()));
  painter.setFont(font);
  QRectF plot = inner.adjusted(unit, titleMetrics.height() + unit, -unit, 0);
  plot.setBottom(DrawLegend(canvas, series, shape, inner.bottom()) - unit * 0.8);

  const bool empty = series.rows.empty() || series.lines.empty() ||
                     (shape == TChartShape::DatedLines && series.periods.empty());
  if (empty || plot.height() < unit || plot.width() < unit) {
    canvas.Text(plot, Qt::AlignCenter, QStringLiteral("Nothing to draw over these dates"),
                kAxisGrey);
  } else if (shape == TChartShape::RankedBars) {
    DrawRankedBars(canvas, series, plot);
  } else if (shape == TChartShape::MonthBars) {
    DrawMonthBars(canvas, series, plot);
  } else {
    DrawDatedLines(canvas, series, plot);
  }
  painter.restore();
}

TResult<void> WriteChartFile(const TChartSeries& series, TChartShape shape,
                             const std::string& title, TChartFile form, const std::string& path,
                             QSize size) {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
    return TFailure{"charts can only be drawn with the graphical libraries started"};
  if (size.width() < kMinChartSide || size.height() < kMinChartSide ||
      size.width() > kMaxChartSide || size.height() > kMaxChartSide) {
    return TFailure{"a chart's sides must lie between " + std::to_string(kMinChartSide) + " and " +
                    std::to_string(kMaxChartSide) + " pixels"};
  }
  const TResult<QByteArray> bytes = ChartBytes(series, shape, title, form, size);
  if (!bytes)
    return TFailure{bytes.Error()};
  return WriteFileSafely(
      path, std::string_view(bytes->constData(), static_cast<size_t>(bytes->size())), 0666);
}
