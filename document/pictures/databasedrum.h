#pragma once
// The database drum that the toolbar buttons and the tree's database item both show.
#include <QColor>
#include <QPainter>

inline const QColor DRUM_INK(38, 62, 99);
inline const QColor DRUM_FILL(86, 140, 206);
inline const QColor DRUM_TOP(150, 190, 236);

// A drum filling the rectangle, outlined with a pen of the given width and with bands
// rings round its body.
void DrawDatabaseDrum(QPainter& p, const QRectF& r, qreal penWidth, int bands);
