#include "ui/tree_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>

namespace {

// Every picture is drawn on a 16 by 16 grid that the painter scales to the box.
constexpr qreal kGrid = 16.0;

QPen Outline(const QColor& color, qreal width = 1.0) {
  QPen pen(color, width);
  pen.setJoinStyle(Qt::RoundJoin);
  pen.setCapStyle(Qt::RoundCap);
  return pen;
}

void Shape(QPainter& p, const QColor& fill, const QColor& line) {
  p.setBrush(fill);
  p.setPen(Outline(line));
}

void DrawEnvelopeShape(QPainter& p, const QRectF& r, const QColor& fill, const QColor& line) {
  Shape(p, fill, line);
  p.drawRect(r);
  p.setBrush(Qt::NoBrush);
  QPainterPath flap;
  flap.moveTo(r.topLeft());
  flap.lineTo(r.center().x(), r.top() + r.height() * 0.6);
  flap.lineTo(r.topRight());
  p.drawPath(flap);
}

void DrawCheque(QPainter& p) {
  Shape(p, QColor(0xd8, 0xea, 0xfb), QColor(0x2d, 0x5f, 0x9a));
  p.drawRect(QRectF(1.5, 4.0, 13.0, 8.5));
  p.setPen(Outline(QColor(0x2d, 0x5f, 0x9a), 0.9));
  p.drawLine(QPointF(3.5, 7.0), QPointF(10.0, 7.0));
  p.drawLine(QPointF(3.5, 10.0), QPointF(7.0, 10.0));
  QPainterPath signature;
  signature.moveTo(8.5, 10.5);
  signature.cubicTo(9.5, 8.5, 10.5, 11.5, 11.5, 9.5);
  signature.lineTo(13.0, 9.5);
  p.setBrush(Qt::NoBrush);
  p.drawPath(signature);
}

void DrawCoins(QPainter& p) {
  const QColor gold(0xf2, 0xc1, 0x2e);
  const QColor edge(0x9a, 0x6b, 0x00);
  // Three coins, bottom to top: each its rim, then its face.
  for (qreal top : {10.0, 6.5, 3.0}) {
    Shape(p, gold.darker(115), edge);
    p.drawEllipse(QRectF(2.5, top + 1.8, 11.0, 3.5));
    Shape(p, gold, edge);
    p.drawEllipse(QRectF(2.5, top, 11.0, 3.5));
  }
}

void DrawBanknote(QPainter& p) {
  Shape(p, QColor(0xcf, 0xec, 0xc6), QColor(0x2e, 0x7d, 0x32));
  p.drawRect(QRectF(1.0, 4.0, 14.0, 8.0));
  p.drawEllipse(QPointF(8.0, 8.0), 2.2, 2.2);
  p.setBrush(QColor(0x2e, 0x7d, 0x32));
  p.drawEllipse(QPointF(3.3, 8.0), 0.6, 0.6);
  p.drawEllipse(QPointF(12.7, 8.0), 0.6, 0.6);
}

void DrawElectronicCash(QPainter& p) {
  Shape(p, QColor(0xc9, 0xf0, 0xee), QColor(0x00, 0x69, 0x6b));
  p.drawEllipse(QPointF(8.0, 8.0), 6.5, 6.5);
  QPolygonF bolt;
  bolt << QPointF(9.2, 2.8) << QPointF(5.0, 8.8) << QPointF(7.8, 8.8) << QPointF(6.8, 13.2)
       << QPointF(11.0, 7.0) << QPointF(8.2, 7.0);
  Shape(p, QColor(0xf2, 0xc1, 0x2e), QColor(0x00, 0x69, 0x6b));
  p.drawPolygon(bolt);
}

void DrawCreditCard(QPainter& p) {
  Shape(p, QColor(0x5c, 0x7c, 0xd6), QColor(0x1f, 0x36, 0x7a));
  p.drawRoundedRect(QRectF(1.0, 3.5, 14.0, 9.5), 1.2, 1.2);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x1f, 0x24, 0x3a));
  p.drawRect(QRectF(1.5, 5.5, 13.0, 2.0));
  Shape(p, QColor(0xf2, 0xc1, 0x2e), QColor(0x9a, 0x6b, 0x00));
  p.drawRect(QRectF(3.0, 9.0, 3.0, 2.2));
}

void DrawInvestment(QPainter& p) {
  const QColor green(0x2e, 0x7d, 0x32);
  Shape(p, QColor(0x8b, 0xc3, 0x4a), green);
  p.drawRect(QRectF(2.5, 10.0, 3.0, 4.0));
  p.drawRect(QRectF(6.5, 7.0, 3.0, 7.0));
  p.drawRect(QRectF(10.5, 4.0, 3.0, 10.0));
  p.setPen(Outline(QColor(0xc6, 0x28, 0x28), 1.2));
  p.drawLine(QPointF(2.0, 7.5), QPointF(10.5, 1.8));
  p.drawLine(QPointF(10.5, 1.8), QPointF(8.2, 1.8));
  p.drawLine(QPointF(10.5, 1.8), QPointF(10.0, 4.0));
}

void DrawBank(QPainter& p) {
  const QColor stone(0xe3, 0xdc, 0xcf);
  const QColor line(0x5d, 0x4b, 0x36);
  Shape(p, stone, line);
  QPolygonF roof;
  roof << QPointF(1.0, 5.5) << QPointF(8.0, 1.5) << QPointF(15.0, 5.5);
  p.drawPolygon(roof);
  for (qreal left : {2.5, 6.5, 10.5})
    p.drawRect(QRectF(left, 6.5, 3.0, 6.0));
  p.drawRect(QRectF(1.0, 12.5, 14.0, 2.0));
}

void DrawFolder(QPainter& p, bool open) {
  const QColor line(0x8a, 0x63, 0x08);
  Shape(p, QColor(0xf5, 0xcf, 0x6b), line);
  QPainterPath back;
  back.moveTo(1.0, 13.5);
  back.lineTo(1.0, 3.0);
  back.lineTo(5.5, 3.0);
  back.lineTo(7.0, 4.5);
  back.lineTo(15.0, 4.5);
  back.lineTo(15.0, 13.5);
  back.closeSubpath();
  p.drawPath(back);
  Shape(p, QColor(0xfb, 0xe3, 0x9a), line);
  if (open) {
    QPolygonF front;
    front << QPointF(1.0, 13.5) << QPointF(3.5, 7.0) << QPointF(15.8, 7.0) << QPointF(13.5, 13.5);
    p.drawPolygon(front);
  } else {
    p.drawRect(QRectF(1.0, 6.5, 14.0, 7.0));
  }
}

void DrawTray(QPainter& p) {
  DrawEnvelopeShape(p, QRectF(3.0, 2.0, 10.0, 6.5), QColor(0xfd, 0xf6, 0xe3),
                    QColor(0x8d, 0x6e, 0x4c));
  Shape(p, QColor(0xb0, 0x8a, 0x5e), QColor(0x5d, 0x40, 0x22));
  QPolygonF tray;
  tray << QPointF(1.0, 7.0) << QPointF(15.0, 7.0) << QPointF(13.5, 14.5) << QPointF(2.5, 14.5);
  p.drawPolygon(tray);
  p.setPen(Outline(QColor(0x5d, 0x40, 0x22), 0.9));
  p.drawLine(QPointF(5.5, 10.5), QPointF(10.5, 10.5));
}

void DrawEnvelope(QPainter& p) {
  DrawEnvelopeShape(p, QRectF(1.0, 3.5, 14.0, 9.5), QColor(0xfd, 0xf6, 0xe3),
                    QColor(0x8d, 0x6e, 0x4c));
}

void DrawBundle(QPainter& p) {
  const QColor paper(0xfd, 0xf6, 0xe3);
  const QColor line(0x8d, 0x6e, 0x4c);
  DrawEnvelopeShape(p, QRectF(3.0, 1.5, 12.0, 8.0), paper, line);
  DrawEnvelopeShape(p, QRectF(1.0, 5.5, 12.0, 8.5), paper, line);
  // The band around the bundle.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xc6, 0x28, 0x28));
  // Left of the middle, where the mark of a bundle with children leaves it visible.
  p.drawRect(QRectF(4.5, 1.0, 2.0, 14.0));
}

void DrawAssociation(QPainter& p) {
  p.setBrush(Qt::NoBrush);
  p.setPen(Outline(QColor(0x6a, 0x1b, 0x9a), 1.8));
  p.drawEllipse(QPointF(5.8, 8.0), 4.0, 4.0);
  p.setPen(Outline(QColor(0x00, 0x83, 0x8f), 1.8));
  p.drawEllipse(QPointF(10.2, 8.0), 4.0, 4.0);
  // The first ring passes over the second once, so that they read as linked.
  p.setPen(Outline(QColor(0x6a, 0x1b, 0x9a), 1.8));
  p.drawArc(QRectF(1.8, 4.0, 8.0, 8.0), 30 * 16, -60 * 16);
}

void DrawAlias(QPainter& p) {
  DrawEnvelopeShape(p, QRectF(1.0, 3.0, 13.0, 9.0), QColor(0xf1, 0xf1, 0xf1),
                    QColor(0x75, 0x75, 0x75));
  // The arrow of a second appearance.
  Shape(p, Qt::white, QColor(0x15, 0x65, 0xc0));
  p.drawRect(QRectF(8.5, 8.5, 6.5, 6.5));
  p.setPen(Outline(QColor(0x15, 0x65, 0xc0), 1.1));
  p.setBrush(Qt::NoBrush);
  QPainterPath arrow;
  arrow.moveTo(10.0, 13.8);
  arrow.quadTo(10.0, 10.2, 13.8, 10.2);
  p.drawPath(arrow);
  p.drawLine(QPointF(13.8, 10.2), QPointF(12.2, 9.2));
  p.drawLine(QPointF(13.8, 10.2), QPointF(12.2, 11.4));
}

void DrawGlyph(QPainter& p, TPictureKind kind, TExpandState state) {
  switch (kind) {
    case TPictureKind::AccountRoot:
      DrawBank(p);
      break;
    case TPictureKind::AccountGroup:
      DrawFolder(p, state == TExpandState::Expanded);
      break;
    case TPictureKind::Checking:
      DrawCheque(p);
      break;
    case TPictureKind::Savings:
      DrawCoins(p);
      break;
    case TPictureKind::Cash:
      DrawBanknote(p);
      break;
    case TPictureKind::ElectronicCash:
      DrawElectronicCash(p);
      break;
    case TPictureKind::Credit:
      DrawCreditCard(p);
      break;
    case TPictureKind::Investment:
      DrawInvestment(p);
      break;
    case TPictureKind::EnvelopeRoot:
      DrawTray(p);
      break;
    case TPictureKind::Bundle:
      DrawBundle(p);
      break;
    case TPictureKind::Association:
      DrawAssociation(p);
      break;
    case TPictureKind::Envelope:
      DrawEnvelope(p);
      break;
    case TPictureKind::Alias:
      DrawAlias(p);
      break;
  }
}

// The small box in the corner of a picture that tells whether the children are shown.
void DrawExpandMark(QPainter& p, TExpandState state) {
  if (state == TExpandState::Leaf)
    return;
  Shape(p, Qt::white, QColor(0x42, 0x42, 0x42));
  const QRectF box(9.0, 9.0, 6.5, 6.5);
  p.drawRect(box);
  p.setPen(Outline(Qt::black, 1.1));
  const QPointF c = box.center();
  p.drawLine(QPointF(box.left() + 1.5, c.y()), QPointF(box.right() - 1.5, c.y()));
  if (state == TExpandState::Collapsed)
    p.drawLine(QPointF(c.x(), box.top() + 1.5), QPointF(c.x(), box.bottom() - 1.5));
}

// The painter scaled so that the 16-unit grid fills `square`.
void OnGrid(QPainter& p, const QRectF& square) {
  p.translate(square.topLeft());
  p.scale(square.width() / kGrid, square.height() / kGrid);
}

QRectF CentredSquare(const QRect& cell, int inset) {
  const qreal side = std::max(4, std::min(cell.width(), cell.height()) - 2 * inset);
  return QRectF(cell.left() + (cell.width() - side) / 2.0,
                cell.top() + (cell.height() - side) / 2.0, side, side);
}

QPixmap CursorPicture(bool several) {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QPolygonF arrow;
  arrow << QPointF(1, 1) << QPointF(1, 15) << QPointF(4.5, 11.5) << QPointF(7, 17) << QPointF(9, 16)
        << QPointF(6.5, 10.5) << QPointF(11, 10.5);
  p.setPen(QPen(Qt::white, 1.5));
  p.setBrush(Qt::black);
  p.drawPolygon(arrow);
  p.setPen(QPen(QColor(0x42, 0x42, 0x42), 1));
  p.setBrush(QColor(0xfd, 0xf6, 0xe3));
  if (several)
    p.drawRect(QRectF(15.5, 16.5, 14, 10));
  p.drawRect(QRectF(12.5, 19.5, 14, 10));
  p.drawLine(QPointF(14.5, 22.5), QPointF(24.5, 22.5));
  p.drawLine(QPointF(14.5, 25.5), QPointF(21.5, 25.5));
  return pixmap;
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

void DrawNodePicture(QPainter& painter, const QRect& cell, TPictureKind kind, TExpandState state) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF box = CentredSquare(cell, 1);
  painter.setPen(QPen(QColor(0xb0, 0xb0, 0xb0), 1.0));
  painter.setBrush(Qt::white);
  painter.drawRect(box.adjusted(0.5, 0.5, -0.5, -0.5));
  OnGrid(painter, box.adjusted(1.0, 1.0, -1.0, -1.0));
  DrawGlyph(painter, kind, state);
  DrawExpandMark(painter, state);
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
  painter.setRenderHint(QPainter::Antialiasing);
  OnGrid(painter, CentredSquare(cell, 2));
  QPainterPath eye;
  eye.moveTo(1.0, 8.0);
  eye.quadTo(8.0, 1.0, 15.0, 8.0);
  eye.quadTo(8.0, 15.0, 1.0, 8.0);
  painter.setPen(Outline(QColor(0x37, 0x47, 0x4f), 1.2));
  painter.setBrush(Qt::white);
  painter.drawPath(eye);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x15, 0x65, 0xc0));
  painter.drawEllipse(QPointF(8.0, 8.0), 2.8, 2.8);
  painter.setBrush(Qt::black);
  painter.drawEllipse(QPointF(8.0, 8.0), 1.2, 1.2);
  painter.restore();
}

QCursor DragCursor(TDragCursor cursor) {
  switch (cursor) {
    case TDragCursor::Single:
      return QCursor(CursorPicture(false), 1, 1);
    case TDragCursor::Several:
      return QCursor(CursorPicture(true), 1, 1);
    case TDragCursor::NoDrop:
      return QCursor(Qt::ForbiddenCursor);
    case TDragCursor::None:
      break;
  }
  return QCursor(Qt::ArrowCursor);
}
