#include "app/page_player.h"

#include <fcntl.h>
#include <unistd.h>

#include <QBuffer>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPolygonF>
#include <algorithm>
#include <cerrno>
#include <cmath>

#include "core/cp1252.h"
#include "core/save_file.h"
#include "reports/form_engine_imp.h"

namespace {

constexpr TPageSize kDefaultPaper{216, 279};

QColor Colour(uint32_t rgb) {
  return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

QString FromModel(const std::string& text) {
  return QString::fromUtf8(Cp1252ToUtf8(text).c_str());
}

QRectF RectOf(const TFormRect& rect) {
  return QRectF(QPointF(rect.left, rect.top), QPointF(rect.right, rect.bottom));
}

QPolygonF PointsOf(const TPageRecord& record) {
  QPolygonF points;
  for (const TFormPoint& point : record.points)
    points << QPointF(point.x, point.y);
  return points;
}

// Text is drawn in device pixels, so that its size is exact on every device whatever the
// mapping; `map` takes logical units to the device.
void DrawText(const TPageRecord& record, QPainter& painter, const QTransform& map) {
  const QRectF box = map.mapRect(RectOf(record.rect));
  const double height = record.height * std::fabs(map.m22());
  if (record.text.empty() || !(height >= 0.5))
    return;
  const double dpi = std::max(1, painter.device()->logicalDpiY());
  QFont font(FromModel(record.face));
  font.setWeight(static_cast<QFont::Weight>(std::clamp(record.weight, 1, 1000)));
  font.setItalic(record.italic);
  font.setPointSizeF(height * 72 / dpi);
  QFontMetricsF metrics(font, painter.device());
  if (!record.baseline) {
    // The height is the font's whole cell, descenders included.
    const double cell = metrics.ascent() + metrics.descent();
    if (cell > 0) {
      font.setPointSizeF(height * height / cell * 72 / dpi);
      metrics = QFontMetricsF(font, painter.device());
    }
  }
  const QString text = FromModel(record.text);
  const double width = metrics.horizontalAdvance(text);
  const double baseline = box.bottom() - (record.baseline ? 0 : metrics.descent());
  double x = box.left();
  if (record.align == TTextAlign::kCentre)
    x = box.center().x() - width / 2;
  else if (record.align == TTextAlign::kRight)
    x = box.right() - width;
  painter.save();
  painter.setTransform(QTransform());
  if (record.clip)
    painter.setClipRect(box, Qt::IntersectClip);
  if (record.opaque) {
    painter.fillRect(
        QRectF(x, baseline - metrics.ascent(), width, metrics.ascent() + metrics.descent()),
        Colour(record.background));
  }
  painter.setFont(font);
  painter.setPen(Colour(record.textColour));
  painter.drawText(QPointF(x, baseline), text);
  painter.restore();
}

void DrawShape(const TPageRecord& record, QPainter& painter, double hairline) {
  if (record.stroked) {
    QPen pen(Colour(record.strokeColour));
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    if (record.strokeWidth > 0) {
      pen.setWidthF(record.strokeWidth);
    } else {
      pen.setCosmetic(true);
      pen.setWidthF(hairline);
    }
    painter.setPen(pen);
  } else {
    painter.setPen(Qt::NoPen);
  }
  painter.setBrush(record.filled ? QBrush(Colour(record.fillColour)) : QBrush(Qt::NoBrush));
  switch (record.kind) {
    case TPageRecord::kLine:
      if (record.points.size() == 2)
        painter.drawLine(QPointF(record.points[0].x, record.points[0].y),
                         QPointF(record.points[1].x, record.points[1].y));
      break;
    case TPageRecord::kRectangle:
      painter.drawRect(RectOf(record.rect));
      break;
    case TPageRecord::kEllipse:
      painter.drawEllipse(RectOf(record.rect));
      break;
    case TPageRecord::kPolygon:
      painter.drawPolygon(PointsOf(record));
      break;
    case TPageRecord::kPolyline:
      if (record.filled) {  // a drawing's open outline still fills the area it bounds
        QPen pen = painter.pen();
        painter.setPen(Qt::NoPen);
        painter.drawPolygon(PointsOf(record));
        painter.setPen(pen);
      }
      painter.drawPolyline(PointsOf(record));
      break;
    case TPageRecord::kText:
      break;
  }
}

std::string CannotWrite(const std::string& path, int error) {
  return FileErrorText("Cannot write", path, error) + ".";
}

bool HaveGuiApplication(std::string& error) {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
    return true;
  error = "Report pages can only be drawn with the graphical libraries started.";
  return false;
}

// A file written beside its target and renamed into place only when complete.
class TPlacedFile {
 public:
  bool Open(const std::string& path, std::string& error) {
    int code = 0;
    if (!ResolveSaveTarget(path, target_, code)) {
      error = CannotWrite(path, code);
      return false;
    }
    RemoveStaleTemporaries(target_);
    if (!temporary_.Create(target_, code)) {
      error = CannotWrite(path, code);
      return false;
    }
    // A replaced file keeps its mode; a new one gets the mode any new file of the user's gets.
    temporary_.TakeModeOf(target_, 0666);
    int descriptor = ::dup(temporary_.Descriptor());
    if (descriptor < 0 || !file_.open(descriptor, QIODevice::WriteOnly, QFile::AutoCloseHandle)) {
      if (descriptor >= 0)
        ::close(descriptor);
      error = CannotWrite(path, errno);
      return false;
    }
    path_ = path;
    return true;
  }
  QFile& File() { return file_; }
  bool Place(std::string& error) {
    const bool flushed = file_.flush() && file_.error() == QFileDevice::NoError;
    file_.close();
    int code = EIO;
    if (flushed) {
      if (::fsync(temporary_.Descriptor()) != 0)
        code = errno;
      else if (temporary_.Commit(target_, code))
        return true;
    }
    error = CannotWrite(path_, code);
    temporary_.Discard();
    return false;
  }

 private:
  std::string path_;
  std::string target_;
  TSaveTemporary temporary_;
  QFile file_;
};

// The paper a report's pages are written on; a report that fills whatever band the printer
// gives is written on the plain page's paper.
TPageSize PaperOf(const CFWEngine& report) {
  const TPageSize size = report.GetPageSize();
  return size.width == 0 || size.height == 0 ? kDefaultPaper : size;
}

QSizeF DotsPerMm(const QPaintDevice& device) {
  return {device.logicalDpiX() / 25.4, device.logicalDpiY() / 25.4};
}

}  // namespace

void PlayPage(const TRecordedPage& page, QPainter& painter, const QRect& deviceRect,
              QSizeF deviceDotsPerMm) {
  const TFormRect& extent = page.extent;
  if (extent.Width() <= 0 || extent.Height() <= 0 || deviceRect.isEmpty())
    return;
  const double sx = deviceRect.width() / extent.Width();
  const double sy = deviceRect.height() / extent.Height();
  const QTransform map = QTransform(sx, 0, 0, sy, deviceRect.left() - extent.left * sx,
                                    deviceRect.top() - extent.top * sy) *
                         painter.transform();
  // The thinnest line: a tenth of a millimetre, but never under one device pixel.
  const double hairline = std::max(1.0, 0.1 * std::max(deviceDotsPerMm.width(), 0.0));
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  for (const TPageRecord& record : page.records) {
    if (record.kind == TPageRecord::kText) {
      DrawText(record, painter, map);
    } else {
      painter.setTransform(map);
      DrawShape(record, painter, hairline);
    }
  }
  painter.restore();
}

QRect PageRectOnDevice(TPageSize size, const QRect& printable, QSizeF dotsPerMm) {
  if (size.width == 0 || size.height == 0)
    return printable;
  const int width = static_cast<int>(size.width * dotsPerMm.width());
  const int height = static_cast<int>(size.height * dotsPerMm.height());
  return QRect(printable.left() + (printable.width() - width) / 2,
               printable.top() + (printable.height() - height) / 2, width, height);
}

bool PrintReportPage(CFWEngineImp& engine, const CFWEngine& report, int page, QPainter& painter,
                     const QRect& printable, QSizeF dotsPerMm, std::string& error) {
  int result = 0;
  const TRecordedPage* recorded = engine.Page(page, result);
  if (recorded == nullptr) {
    error = "Page " + std::to_string(page) + " of the report cannot be drawn: its page format " +
            std::to_string(report.GetPageFormat(page)) + " is missing or damaged.";
    return false;
  }
  PlayPage(*recorded, painter, PageRectOnDevice(report.GetPageSize(), printable, dotsPerMm),
           dotsPerMm);
  return true;
}

bool WriteReportPdf(const CFWEngine& report, const std::string& path, std::string& error) {
  if (!HaveGuiApplication(error))
    return false;
  const int count = report.GetPageCount();
  if (count < 1) {
    error = "The report has no pages to write.";
    return false;
  }
  TPlacedFile placed;
  if (!placed.Open(path, error))
    return false;
  {
    const TPageSize size = PaperOf(report);
    QPdfWriter writer(&placed.File());
    writer.setTitle(FromModel(report.GetTitle()));
    writer.setCreator(QStringLiteral("Quenbrook"));
    writer.setResolution(1200);
    writer.setPageLayout(
        QPageLayout(QPageSize(QSizeF(size.width, size.height), QPageSize::Millimeter, QString(),
                              QPageSize::ExactMatch),
                    QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer)) {
      error = CannotWrite(path, EIO);
      return false;
    }
    CFWEngineImp engine(report);
    const QRect printable(0, 0, writer.width(), writer.height());
    for (int page = 1; page <= count; ++page) {
      if ((page > 1 && !writer.newPage()) ||
          !PrintReportPage(engine, report, page, painter, printable, DotsPerMm(writer), error)) {
        if (error.empty())
          error = CannotWrite(path, EIO);
        painter.end();
        return false;
      }
    }
    painter.end();
  }
  return placed.Place(error);
}

bool WriteReportPngs(const CFWEngine& report, const std::string& prefix, int dotsPerInch,
                     std::vector<std::string>& written, std::string& error) {
  written.clear();
  if (!HaveGuiApplication(error))
    return false;
  if (dotsPerInch < 30 || dotsPerInch > 600) {
    error = "The resolution of the pictures must lie between 30 and 600 dots per inch.";
    return false;
  }
  auto fail = [&]() {
    for (const std::string& file : written)
      ::unlink(file.c_str());
    written.clear();
    return false;
  };
  CFWEngineImp engine(report);
  const double dotsPerMm = dotsPerInch / 25.4;
  const TPageSize size = PaperOf(report);
  QImage image(static_cast<int>(size.width * dotsPerMm), static_cast<int>(size.height * dotsPerMm),
               QImage::Format_RGB32);
  if (image.isNull()) {
    error = "There is not enough memory for a picture of the page.";
    return false;
  }
  image.setDotsPerMeterX(static_cast<int>(std::lround(dotsPerMm * 1000)));
  image.setDotsPerMeterY(static_cast<int>(std::lround(dotsPerMm * 1000)));
  for (int page = 1; page <= report.GetPageCount(); ++page) {
    image.fill(Qt::white);
    QPainter painter(&image);
    const bool drawn =
        PrintReportPage(engine, report, page, painter, image.rect(), {dotsPerMm, dotsPerMm}, error);
    painter.end();
    if (!drawn)
      return fail();
    const std::string path = prefix + "-" + std::to_string(page) + ".png";
    TPlacedFile placed;
    if (!placed.Open(path, error))
      return fail();
    if (!image.save(&placed.File(), "PNG")) {
      error = CannotWrite(path, EIO);
      return fail();
    }
    if (!placed.Place(error))
      return fail();
    written.push_back(path);
  }
  return true;
}
