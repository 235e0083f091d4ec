#include "document/pictures/toolbaricons.h"

#include "document/pictures/databasedrum.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>

namespace {

const QColor INK = DRUM_INK;
const QColor ACCENT_GREEN(46, 150, 72);
const QColor ACCENT_ORANGE(230, 140, 30);
const QColor PAPER(252, 252, 248);

// A database drum in the rectangle.
void DrawDatabase(QPainter& p, const QRectF& r) { DrawDatabaseDrum(p, r, 1.2, 2); }

// A small round badge with a sign in the lower right corner.
void DrawBadge(QPainter& p, const QColor& colour, const QString& sign)
{
    const QRectF badge(18, 18, 13, 13);
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(colour);
    p.drawEllipse(badge);
    QFont font = p.font();
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(badge, Qt::AlignCenter, sign);
}

void DrawGear(QPainter& p, const QPointF& centre, qreal radius, const QColor& colour)
{
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const qreal angle = M_PI * i / teeth;
        const qreal r = (i % 2 == 0) ? radius : radius * 0.75;
        const QPointF point(centre.x() + r * std::cos(angle), centre.y() + r * std::sin(angle));
        if (i == 0)
            gear.moveTo(point);
        else
            gear.lineTo(point);
    }
    gear.closeSubpath();
    gear.addEllipse(centre, radius * 0.32, radius * 0.32);
    gear.setFillRule(Qt::OddEvenFill);
    p.setPen(QPen(INK, 1));
    p.setBrush(colour);
    p.drawPath(gear);
}

void DrawPaper(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(INK, 1.2));
    p.setBrush(PAPER);
    p.drawRect(r);
}

void DrawLetter(QPainter& p, const QRectF& r, const QColor& colour, const QString& letter)
{
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(colour);
    p.drawEllipse(r);
    QFont font = p.font();
    font.setPixelSize(static_cast<int>(r.height() * 0.7));
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter, letter);
}

void DrawArrow(QPainter& p, QPointF from, QPointF to, const QColor& colour)
{
    p.setPen(QPen(colour, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const QPointF direction = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF normal(-direction.y(), direction.x());
    QPolygonF head;
    head << to + direction * 3 << to - direction * 5 + normal * 5 << to - direction * 5 - normal * 5;
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(head);
}

void Draw(QPainter& p, ToolBarPicture picture)
{
    switch (picture) {
    case ToolBarPicture::NewDatabase:
        DrawDatabase(p, QRectF(4, 3, 20, 24));
        DrawBadge(p, ACCENT_GREEN, QStringLiteral("+"));
        break;
    case ToolBarPicture::Open: {
        p.setPen(QPen(INK, 1.2));
        p.setBrush(QColor(240, 200, 90));
        p.drawRect(QRectF(3, 8, 24, 18));
        p.setBrush(QColor(250, 220, 120));
        QPolygonF flap;
        flap << QPointF(3, 26) << QPointF(8, 13) << QPointF(30, 13) << QPointF(27, 26);
        p.drawPolygon(flap);
        break;
    }
    case ToolBarPicture::SaveAs:
        DrawDatabase(p, QRectF(3, 4, 17, 21));
        DrawDatabase(p, QRectF(13, 9, 16, 20));
        break;
    case ToolBarPicture::ImportExport:
        DrawDatabase(p, QRectF(9, 8, 14, 18));
        DrawArrow(p, QPointF(2, 6), QPointF(9, 12), ACCENT_GREEN);
        DrawArrow(p, QPointF(23, 20), QPointF(29, 27), ACCENT_ORANGE);
        break;
    case ToolBarPicture::Relationships:
        p.setPen(QPen(INK, 1.5));
        p.drawLine(QPointF(11, 10), QPointF(21, 22));
        DrawPaper(p, QRectF(2, 3, 13, 11));
        DrawPaper(p, QRectF(17, 18, 13, 11));
        p.fillRect(QRectF(3, 4, 12, 3), DRUM_FILL);
        p.fillRect(QRectF(18, 19, 12, 3), DRUM_FILL);
        break;
    case ToolBarPicture::Console: {
        p.setPen(QPen(INK, 1.2));
        p.setBrush(QColor(34, 40, 49));
        p.drawRoundedRect(QRectF(2, 5, 28, 22), 3, 3);
        p.setPen(QPen(QColor(120, 220, 140), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawPolyline(QPolygonF() << QPointF(7, 11) << QPointF(12, 16) << QPointF(7, 21));
        p.drawLine(QPointF(15, 21), QPointF(23, 21));
        break;
    }
    case ToolBarPicture::PrintReport:
        DrawPaper(p, QRectF(9, 3, 14, 10));
        p.setPen(QPen(INK, 1.2));
        p.setBrush(QColor(170, 178, 190));
        p.drawRoundedRect(QRectF(3, 11, 26, 12), 2, 2);
        DrawPaper(p, QRectF(8, 19, 16, 10));
        p.setPen(QPen(INK, 1));
        p.drawLine(QPointF(11, 23), QPointF(21, 23));
        p.drawLine(QPointF(11, 26), QPointF(19, 26));
        break;
    case ToolBarPicture::Backup:
        DrawDatabase(p, QRectF(4, 3, 20, 24));
        DrawBadge(p, ACCENT_ORANGE, QStringLiteral("\u2193"));
        break;
    case ToolBarPicture::Vacuum:
        DrawDatabase(p, QRectF(8, 6, 16, 20));
        DrawArrow(p, QPointF(1, 16), QPointF(6, 16), ACCENT_GREEN);
        DrawArrow(p, QPointF(31, 16), QPointF(26, 16), ACCENT_GREEN);
        break;
    case ToolBarPicture::DatabaseSettings:
        DrawDatabase(p, QRectF(3, 3, 20, 24));
        DrawGear(p, QPointF(23, 23), 8, QColor(200, 205, 215));
        break;
    case ToolBarPicture::Settings:
        DrawGear(p, QPointF(16, 16), 13, QColor(200, 205, 215));
        break;
    case ToolBarPicture::Help:
        DrawLetter(p, QRectF(3, 3, 26, 26), DRUM_FILL, QStringLiteral("?"));
        break;
    case ToolBarPicture::About:
        DrawLetter(p, QRectF(3, 3, 26, 26), ACCENT_GREEN, QStringLiteral("i"));
        break;
    }
}

QPixmap Render(ToolBarPicture picture, int scale)
{
    QPixmap pixmap(32 * scale, 32 * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    Draw(painter, picture);
    return pixmap;
}

} // namespace

QIcon ToolBarIcon(ToolBarPicture picture)
{
    QIcon icon;
    icon.addPixmap(Render(picture, 1));
    icon.addPixmap(Render(picture, 2));
    return icon;
}
