#include "ui/product_image.h"

#include <QPainter>
#include <QPainterPath>

QPixmap ProductImage(int size) {
  QPixmap image(size, size);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 64.0, size / 64.0);
  // The same drawing as the installed icon quenbrook.svg.
  painter.setPen(QPen(QColor(0x2f, 0x4f, 0x6f), 2.5));
  painter.setBrush(QColor(0xf4, 0xe9, 0xc8));
  painter.drawRoundedRect(QRectF(5, 16, 54, 36), 3, 3);
  QPainterPath flap;
  flap.moveTo(6, 18);
  flap.lineTo(32, 38);
  flap.lineTo(58, 18);
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(flap);
  painter.setPen(QPen(QColor(0x8a, 0x6d, 0x12), 2));
  painter.setBrush(QColor(0xf2, 0xc2, 0x2e));
  painter.drawEllipse(QPointF(46, 44), 11, 11);
  painter.setPen(QPen(QColor(0x8a, 0x6d, 0x12), 2.5));
  painter.drawLine(QPointF(46, 38), QPointF(46, 50));
  return image;
}
