#pragma once

#include <QCursor>
#include <QPixmap>
#include <QRect>
#include <QStringList>

#include "presentation/tree_selection.h"

class QPainter;

/// What a tree node's picture shows: the kind of node, for accounts their type.
enum class TPictureKind {
  AccountRoot,
  AccountGroup,
  Checking,
  Savings,
  Cash,
  ElectronicCash,
  Credit,
  Investment,
  EnvelopeRoot,
  Bundle,
  Association,
  Envelope,
  Alias,
};

/// Whether a node has children to show, and whether they are shown.
enum class TExpandState { Leaf, Collapsed, Expanded };

/// The lines that join a row to its parent and to the following siblings.
enum class TConnector { Vertical, Tee, Elbow };

/// The picture kind of an account of type 1 to 6 (any other type draws as an investment, as the
/// type list names it).
TPictureKind AccountPictureKind(uint32_t type);

/// The names of every picture the list windows draw; each is an SVG drawing on a 16 by 16 grid
/// compiled into the program.
QStringList TreePictureNames();
/// The picture `name` rendered for a square of `side` logical pixels at `ratio` device pixels to
/// the logical pixel, kept for the next call. Null when the program holds no such picture.
QPixmap TreePicture(const QString& name, int side, qreal ratio);

/// Draws the node picture on its white box, centred in `cell`. The pictures are rendered from
/// their drawings at the size and screen scale they are shown at, so they stay sharp.
void DrawNodePicture(QPainter& painter, const QRect& cell, TPictureKind kind, TExpandState state);
/// Draws a connector through `cell`, on whole pixels so that the lines of all rows meet.
void DrawConnector(QPainter& painter, const QRect& cell, TConnector connector);
/// Draws the mark of a watchdog that is switched on.
void DrawWatchdogMark(QPainter& painter, const QRect& cell);

/// The cursors of a drag: one node, several nodes, nowhere to drop.
QCursor DragCursor(TDragCursor cursor);
