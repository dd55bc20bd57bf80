#include "ui/placement.h"

#include <algorithm>

QRect FitInside(QRect wanted, const QRect& area) {
  if (area.isEmpty())
    return wanted;
  wanted.setWidth(std::min(wanted.width(), area.width()));
  wanted.setHeight(std::min(wanted.height(), area.height()));
  wanted.moveLeft(std::clamp(wanted.left(), area.left(), area.right() - wanted.width() + 1));
  wanted.moveTop(std::clamp(wanted.top(), area.top(), area.bottom() - wanted.height() + 1));
  return wanted;
}
