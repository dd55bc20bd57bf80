#include "platform/page_player.h"

#include <fcntl.h>
#include <unistd.h>

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QIODevice>
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

// A file written beside its target and renamed into place only when complete. The painting
// libraries write straight to the temporary file's descriptor, and the first failure keeps the
// system's reason, so that a full disk says so rather than "Input/output error".
class TPlacedFile final : public QIODevice {
 public:
  bool Begin(const std::string& path, std::string& error) {
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
    path_ = path;
    // The device only passes writes on; opening it cannot fail.
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    return true;
  }
  // Why writing failed so far: the system's reason, else `otherwise`.
  int Reason(int otherwise) const { return failure_ != 0 ? failure_ : otherwise; }
  bool Place(std::string& error) {
    close();
    int code = failure_;
    if (code == 0 && ::fsync(temporary_.Descriptor()) != 0)
      code = errno;
    if (code == 0 && temporary_.Commit(target_, code))
      return true;
    error = CannotWrite(path_, code);
    temporary_.Discard();
    return false;
  }
  bool isSequential() const override { return true; }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override {
    if (failure_ != 0)
      return -1;
    for (qint64 done = 0; done < size;) {
      const ssize_t written =
          ::write(temporary_.Descriptor(), data + done, static_cast<size_t>(size - done));
      if (written < 0 && errno == EINTR)
        continue;
      if (written <= 0) {
        failure_ = written < 0 ? errno : EIO;
        return -1;
      }
      done += written;
    }
    return size;
  }

 private:
  std::string path_;
  std::string target_;
  TSaveTemporary temporary_;
  int failure_ = 0;
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

TResult<void> WriteReportPdf(const CFWEngine& report, const std::string& path) {
  std::string error;
  if (!HaveGuiApplication(error))
    return TFailure{error};
  const int count = report.GetPageCount();
  if (count < 1)
    return TFailure{"The report has no pages to write."};
  TPlacedFile placed;
  if (!placed.Begin(path, error))
    return TFailure{error};
  {
    const TPageSize size = PaperOf(report);
    QPdfWriter writer(&placed);
    writer.setTitle(FromModel(report.GetTitle()));
    writer.setCreator(QStringLiteral("Quenbrook"));
    writer.setResolution(1200);
    writer.setPageLayout(
        QPageLayout(QPageSize(QSizeF(size.width, size.height), QPageSize::Millimeter, QString(),
                              QPageSize::ExactMatch),
                    QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer))
      return TFailure{CannotWrite(path, placed.Reason(EIO))};
    CFWEngineImp engine(report);
    const QRect printable(0, 0, writer.width(), writer.height());
    for (int page = 1; page <= count; ++page) {
      if ((page > 1 && !writer.newPage()) ||
          !PrintReportPage(engine, report, page, painter, printable, DotsPerMm(writer), error)) {
        if (error.empty())
          error = CannotWrite(path, placed.Reason(EIO));
        painter.end();
        return TFailure{error};
      }
    }
    painter.end();
  }
  if (!placed.Place(error))
    return TFailure{error};
  return {};
}

TResult<std::vector<std::string>> WriteReportPngs(const CFWEngine& report,
                                                  const std::string& prefix, int dotsPerInch) {
  std::string error;
  if (!HaveGuiApplication(error))
    return TFailure{error};
  if (dotsPerInch < 30 || dotsPerInch > 600)
    return TFailure{"The resolution of the pictures must lie between 30 and 600 dots per inch."};
  std::vector<std::string> written;
  auto fail = [&]() {
    for (const std::string& file : written)
      ::unlink(file.c_str());
    return TFailure{error};
  };
  CFWEngineImp engine(report);
  const double dotsPerMm = dotsPerInch / 25.4;
  const TPageSize size = PaperOf(report);
  QImage image(static_cast<int>(size.width * dotsPerMm), static_cast<int>(size.height * dotsPerMm),
               QImage::Format_RGB32);
  if (image.isNull())
    return TFailure{"There is not enough memory for a picture of the page."};
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
    // The picture is encoded in memory: a write that fails is then ours to report, with its
    // reason, and the image library has nothing to add.
    QBuffer encoded;
    encoded.open(QIODevice::WriteOnly);
    if (!image.save(&encoded, "PNG")) {
      error = "The picture of page " + std::to_string(page) + " cannot be encoded.";
      return fail();
    }
    TPlacedFile placed;
    if (!placed.Begin(path, error))
      return fail();
    placed.write(encoded.data());
    if (!placed.Place(error))
      return fail();
    written.push_back(path);
  }
  return written;
}
