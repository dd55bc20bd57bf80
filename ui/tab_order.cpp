#include "ui/tab_order.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QPushButton>
#include <QWidget>
#include <algorithm>
#include <vector>

bool IsOwnTabStop(const QWidget* widget, const QWidget* window) {
  if ((widget->focusPolicy() & Qt::TabFocus) == 0 || widget->focusProxy() != nullptr ||
      !widget->isVisibleTo(window))
    return false;
  for (const QWidget* up = widget->parentWidget(); up != nullptr && up != window;
       up = up->parentWidget()) {
    if (qobject_cast<const QComboBox*>(up) != nullptr ||
        qobject_cast<const QAbstractSpinBox*>(up) != nullptr)
      return false;
  }
  return true;
}

void OrderTabsTopToBottom(QWidget* window) {
  struct TStop {
    QWidget* widget;
    QRect place;
    bool button;
  };
  std::vector<TStop> stops;
  for (QWidget* widget : window->findChildren<QWidget*>()) {
    if (IsOwnTabStop(widget, window)) {
      stops.push_back({widget, QRect(widget->mapTo(window, QPoint(0, 0)), widget->size()),
                       qobject_cast<QPushButton*>(widget) != nullptr});
    }
  }
  // Rows first: a control whose middle lies within the first one's height shares its row.
  std::stable_sort(stops.begin(), stops.end(), [](const TStop& a, const TStop& b) {
    return a.place.center().y() < b.place.center().y();
  });
  for (size_t start = 0; start < stops.size();) {
    size_t end = start + 1;
    while (end < stops.size() && stops[end].place.center().y() <= stops[start].place.bottom())
      ++end;
    std::stable_sort(stops.begin() + static_cast<std::ptrdiff_t>(start),
                     stops.begin() + static_cast<std::ptrdiff_t>(end),
                     [](const TStop& a, const TStop& b) { return a.place.x() < b.place.x(); });
    start = end;
  }
  std::stable_partition(stops.begin(), stops.end(), [](const TStop& stop) { return !stop.button; });
  for (size_t i = 1; i < stops.size(); ++i)
    QWidget::setTabOrder(stops[i - 1].widget, stops[i].widget);
}
