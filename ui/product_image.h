#pragma once

#include <QPixmap>

/// The product's picture (an envelope with a coin), drawn at the given edge length, for the
/// window icon, the about box and the start-up window.
QPixmap ProductImage(int size);
