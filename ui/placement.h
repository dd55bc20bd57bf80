#pragma once

#include <QRect>

/// A window's wanted place moved (and, where it is larger, shrunk) wholly inside `area`: a place
/// kept from a larger or another screen, or from a larger main window, must never leave a window
/// out of reach. A wanted place already inside comes back as it is.
QRect FitInside(QRect wanted, const QRect& area);
