#include "document/pictures/databasedrum.h"

#include <QPainterPath>

void DrawDatabaseDrum(QPainter& p, const QRectF& r, qreal penWidth, int bands)
{
    const qreal cap = r.height() * 0.22;
    QPainterPath body;
    body.moveTo(r.left(), r.top() + cap / 2);
    body.lineTo(r.left(), r.bottom() - cap / 2);
    body.arcTo(QRectF(r.left(), r.bottom() - cap, r.width(), cap), 180, 180);
    body.lineTo(r.right(), r.top() + cap / 2);
    p.setPen(QPen(DRUM_INK, penWidth));
    p.setBrush(DRUM_FILL);
    p.drawPath(body);
    p.setBrush(DRUM_TOP);
    p.drawEllipse(QRectF(r.left(), r.top(), r.width(), cap));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(DRUM_TOP, 1));
    // The bands share the body below the top between them.
    for (int band = 1; band <= bands; ++band) {
        const qreal y = r.top() + cap + (r.height() - 1.5 * cap) * band / (bands + 1);
        p.drawArc(QRectF(r.left(), y - cap / 2, r.width(), cap), 180 * 16, 180 * 16);
    }
}
