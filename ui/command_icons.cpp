#include "ui/command_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

namespace {

constexpr int kSize = 24;

const QColor kInk(0x2f, 0x4f, 0x6f);
const QColor kPaper(0xf4, 0xe9, 0xc8);
const QColor kAccent(0x2e, 0x7d, 0x32);
const QColor kWarn(0xb7, 0x1c, 0x1c);

void Envelope(QPainter& p, const QRectF& r) {
  p.setBrush(kPaper);
  p.drawRect(r);
  QPainterPath flap;
  flap.moveTo(r.topLeft());
  flap.lineTo(r.center().x(), r.top() + r.height() * 0.55);
  flap.lineTo(r.topRight());
  p.setBrush(Qt::NoBrush);
  p.drawPath(flap);
}

void Page(QPainter& p, const QRectF& r) {
  p.setBrush(Qt::white);
  p.drawRect(r);
  for (int line = 1; line <= 3; ++line) {
    const double y = r.top() + r.height() * line / 4.5;
    p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
  }
}

void Box(QPainter& p) {
  p.setBrush(Qt::white);
  p.drawRect(QRectF(4, 4, 16, 16));
}

void Funnel(QPainter& p) {
  QPolygonF funnel({QPointF(3, 4), QPointF(21, 4), QPointF(14, 12), QPointF(14, 20),
                    QPointF(10, 18), QPointF(10, 12)});
  p.setBrush(kPaper);
  p.drawPolygon(funnel);
}

void Arrow(QPainter& p, QPointF from, QPointF to) {
  p.drawLine(from, to);
  const QPointF direction = (to - from) / std::hypot((to - from).x(), (to - from).y());
  const QPointF normal(-direction.y(), direction.x());
  p.drawLine(to, to - direction * 4 + normal * 3);
  p.drawLine(to, to - direction * 4 - normal * 3);
}

void Draw(QPainter& p, TCommandId id) {
  p.setPen(QPen(kInk, 1.6));
  switch (id) {
    case kCmdUndo:
    case kCmdRedo: {
      // A curved arrow back (undo) or forward (redo).
      const bool back = id == kCmdUndo;
      QPainterPath curve;
      curve.moveTo(back ? 18 : 6, 19);
      curve.cubicTo(back ? 22 : 2, 10, back ? 12 : 12, 5, back ? 5 : 19, 10);
      p.setPen(QPen(kInk, 2.2));
      p.setBrush(Qt::NoBrush);
      p.drawPath(curve);
      Arrow(p, QPointF(back ? 8 : 16, 8.5), QPointF(back ? 5 : 19, 10));
      break;
    }
    case kCmdAccountList: {
      p.setBrush(kPaper);
      p.drawPolygon(QPolygonF({QPointF(2, 9), QPointF(12, 3), QPointF(22, 9)}));
      for (int x : {5, 11, 17})
        p.drawRect(QRectF(x, 10, 2, 8));
      p.drawLine(QPointF(2, 20), QPointF(22, 20));
      break;
    }
    case kCmdEnvelopeList:
      Envelope(p, QRectF(2, 6, 20, 13));
      break;
    case kCmdTemplates:
      Page(p, QRectF(5, 2, 14, 20));
      break;
    case kCmdAllocationPlan:
      p.setBrush(Qt::white);
      p.drawRect(QRectF(2, 4, 20, 16));
      p.drawLine(QPointF(2, 9.3), QPointF(22, 9.3));
      p.drawLine(QPointF(2, 14.6), QPointF(22, 14.6));
      p.drawLine(QPointF(8.7, 4), QPointF(8.7, 20));
      p.drawLine(QPointF(15.3, 4), QPointF(15.3, 20));
      break;
    case kCmdApplyTemplate:
      Page(p, QRectF(2, 2, 13, 17));
      p.setPen(QPen(kAccent, 2));
      Arrow(p, QPointF(14, 12), QPointF(22, 20));
      break;
    case kCmdCreateTransfer:
      Arrow(p, QPointF(3, 8), QPointF(21, 8));
      Arrow(p, QPointF(21, 16), QPointF(3, 16));
      break;
    case kCmdMultiple:
      p.drawLine(QPointF(2, 12), QPointF(10, 12));
      Arrow(p, QPointF(10, 12), QPointF(21, 4));
      Arrow(p, QPointF(10, 12), QPointF(21, 12));
      Arrow(p, QPointF(10, 12), QPointF(21, 20));
      break;
    case kCmdSelectEnvelope:
      Envelope(p, QRectF(2, 6, 16, 11));
      p.setPen(QPen(kAccent, 2.2));
      p.drawPolyline(QPolygonF({QPointF(12, 17), QPointF(16, 21), QPointF(23, 11)}));
      break;
    case kCmdEditFilter:
      Funnel(p);
      break;
    case kCmdClearFilter:
      Funnel(p);
      p.setPen(QPen(kWarn, 2.2));
      p.drawLine(QPointF(15, 14), QPointF(22, 21));
      p.drawLine(QPointF(22, 14), QPointF(15, 21));
      break;
    case kCmdAllUnreconciled:
      Box(p);
      break;
    case kCmdUnreconciledDeposits:
      Box(p);
      p.setPen(QPen(kAccent, 2.2));
      p.drawLine(QPointF(12, 7), QPointF(12, 17));
      p.drawLine(QPointF(7, 12), QPointF(17, 12));
      break;
    case kCmdUnreconciledChecks: {
      Box(p);
      QFont font = p.font();
      font.setPixelSize(13);
      font.setBold(true);
      p.setFont(font);
      p.drawText(QRectF(4, 4, 16, 16), Qt::AlignCenter, QStringLiteral("#"));
      break;
    }
    case kCmdUnreconciledNonChecks:
      Box(p);
      p.setPen(QPen(kWarn, 2.2));
      p.drawLine(QPointF(7, 12), QPointF(17, 12));
      break;
    case kCmdNewlyImported:
      p.setBrush(kPaper);
      p.drawPolygon(QPolygonF({QPointF(2, 14), QPointF(7, 14), QPointF(9, 17), QPointF(15, 17),
                               QPointF(17, 14), QPointF(22, 14), QPointF(22, 21), QPointF(2, 21)}));
      p.setPen(QPen(kAccent, 2));
      Arrow(p, QPointF(12, 2), QPointF(12, 13));
      break;
    default:
      break;
  }
}

}  // namespace

QIcon CommandIcon(TCommandId id) {
  QIcon icon;
  for (int scale : {1, 2}) {
    QPixmap pixmap(kSize * scale, kSize * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    Draw(painter, id);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}
