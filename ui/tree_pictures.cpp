#include "ui/tree_pictures.h"

#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>

// The library is linked statically, so its compiled-in resources are registered by hand before
// the first picture is read. The resource macro must be used outside any namespace.
static void RegisterPictureResources() {
  Q_INIT_RESOURCE(pictures);
}

namespace {

// The cursors keep the size that every platform accepts for a cursor picture.
constexpr int kCursorSide = 32;

const char* KindName(TPictureKind kind, TExpandState state) {
  switch (kind) {
    case TPictureKind::AccountRoot:
      return "account-root";
    case TPictureKind::AccountGroup:
      return state == TExpandState::Expanded ? "group-open" : "group-closed";
    case TPictureKind::Checking:
      return "checking";
    case TPictureKind::Savings:
      return "savings";
    case TPictureKind::Cash:
      return "cash";
    case TPictureKind::ElectronicCash:
      return "electronic-cash";
    case TPictureKind::Credit:
      return "credit";
    case TPictureKind::Investment:
      return "investment";
    case TPictureKind::EnvelopeRoot:
      return "envelope-root";
    case TPictureKind::Bundle:
      return "bundle";
    case TPictureKind::Association:
      return "association";
    case TPictureKind::Envelope:
      return "envelope";
    case TPictureKind::Alias:
      return "alias";
  }
  return "envelope";
}

// The small box in the corner of a picture that tells whether the children are shown.
const char* MarkName(TExpandState state) {
  return state == TExpandState::Collapsed ? "mark-collapsed" : "mark-expanded";
}

const char* CursorName(bool several) {
  return several ? "drag-several" : "drag-one";
}

constexpr const char* kWatchdogName = "watchdog";

// Whole pixels, so that the rendered pictures land on the screen's pixel grid.
QRect CentredSquare(const QRect& cell, int inset) {
  const int side = std::max(4, std::min(cell.width(), cell.height()) - 2 * inset);
  return QRect(cell.left() + (cell.width() - side) / 2, cell.top() + (cell.height() - side) / 2,
               side, side);
}

// Device pixels to the logical pixel where the painter draws, a scaled painter included.
qreal DeviceRatio(const QPainter& painter) {
  const QTransform& t = painter.worldTransform();
  const qreal scale = std::sqrt(std::abs(t.determinant()));
  const qreal device = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
  return std::max(0.25, device * (scale > 0 ? scale : 1.0));
}

void DrawPicture(QPainter& painter, const QRect& square, const QString& name) {
  const QPixmap picture = TreePicture(name, square.width(), DeviceRatio(painter));
  if (!picture.isNull())
    painter.drawPixmap(QRectF(square), picture, QRectF(picture.rect()));
}

}  // namespace

TPictureKind AccountPictureKind(uint32_t type) {
  switch (type) {
    case 1:
      return TPictureKind::Checking;
    case 2:
      return TPictureKind::Savings;
    case 3:
      return TPictureKind::Cash;
    case 4:
      return TPictureKind::ElectronicCash;
    case 5:
      return TPictureKind::Credit;
    default:
      return TPictureKind::Investment;
  }
}

QStringList TreePictureNames() {
  QStringList names;
  for (int kind = 0; kind <= static_cast<int>(TPictureKind::Alias); ++kind) {
    for (TExpandState state : {TExpandState::Collapsed, TExpandState::Expanded})
      names << KindName(static_cast<TPictureKind>(kind), state) << MarkName(state);
  }
  names << kWatchdogName << CursorName(false) << CursorName(true);
  names.removeDuplicates();
  return names;
}

QPixmap TreePicture(const QString& name, int side, qreal ratio) {
  static const bool registered = (RegisterPictureResources(), true);
  (void)registered;
  const int pixels = std::max(1, static_cast<int>(std::lround(side * ratio)));
  const QString key =
      QStringLiteral("tree-picture:%1:%2:%3").arg(name).arg(side).arg(ratio, 0, 'g', 6);
  QPixmap picture;
  if (QPixmapCache::find(key, &picture))
    return picture;
  QSvgRenderer renderer(QStringLiteral(":/pictures/%1.svg").arg(name));
  if (!renderer.isValid())
    return QPixmap();
  picture = QPixmap(pixels, pixels);
  picture.fill(Qt::transparent);
  {
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, pixels, pixels));
  }
  picture.setDevicePixelRatio(ratio);
  QPixmapCache::insert(key, picture);
  return picture;
}

void DrawNodePicture(QPainter& painter, const QRect& cell, TPictureKind kind, TExpandState state) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  const QRect box = CentredSquare(cell, 1);
  painter.setPen(QPen(QColor(0xb0, 0xb0, 0xb0), 1.0));
  painter.setBrush(Qt::white);
  painter.drawRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5));
  const QRect inside = box.adjusted(1, 1, -1, -1);
  DrawPicture(painter, inside, KindName(kind, state));
  if (state != TExpandState::Leaf)
    DrawPicture(painter, inside, MarkName(state));
  painter.restore();
}

void DrawConnector(QPainter& painter, const QRect& cell, TConnector connector) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  QPen pen(QColor(0x90, 0x90, 0x90));
  pen.setCosmetic(true);
  painter.setPen(pen);
  const int x = cell.left() + cell.width() / 2;
  const int y = cell.top() + cell.height() / 2;
  const int bottom = connector == TConnector::Elbow ? y : cell.bottom();
  painter.drawLine(x, cell.top(), x, bottom);
  if (connector != TConnector::Vertical) {
    // Up to the white box of the picture in the next column.
    painter.drawLine(x, y, cell.right() + 2, y);
  }
  painter.restore();
}

void DrawWatchdogMark(QPainter& painter, const QRect& cell) {
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  DrawPicture(painter, CentredSquare(cell, 2), kWatchdogName);
  painter.restore();
}

QCursor DragCursor(TDragCursor cursor) {
  switch (cursor) {
    case TDragCursor::Single:
    case TDragCursor::Several: {
      const QPixmap picture =
          TreePicture(CursorName(cursor == TDragCursor::Several), kCursorSide, 1.0);
      if (picture.isNull())
        break;
      return QCursor(picture, 1, 1);
    }
    case TDragCursor::NoDrop:
      return QCursor(Qt::ForbiddenCursor);
    case TDragCursor::None:
      break;
  }
  return QCursor(Qt::ArrowCursor);
}
