#include "document/pictures/cobjectimagelist.h"

#include "document/pictures/databasedrum.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace {

const QColor kBlue(0x4a, 0x7b, 0xbf);
const QColor kLightBlue(0x9c, 0xbd, 0xe8);
const QColor kDarkBlue(0x2c, 0x4f, 0x80);
const QColor kGrey(0x9a, 0xa5, 0xb1);
const QColor kGold(0xe6, 0xb4, 0x22);
const QColor kDarkGold(0x8a, 0x64, 0x00);
const QColor kFolder(0xf4, 0xcf, 0x5d);
const QColor kDarkFolder(0xa4, 0x7e, 0x1b);

using Picture = std::function<void(QPainter&)>;

// Pictures are drawn on a 16 by 16 grid; a line of width 1 lies on half coordinates
// so that it covers whole pixels at 16 pixels.
void Database(QPainter& p) { DrawDatabaseDrum(p, QRectF(2.5, 1.5, 11, 12.5), 1, 1); }

void Table(QPainter& p)
{
    p.setPen(QPen(kDarkBlue, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    p.fillRect(QRectF(2, 3, 12, 3), kBlue);
    p.setPen(QPen(kGrey, 1));
    p.drawLine(QPointF(2, 9.5), QPointF(14, 9.5));
    p.drawLine(QPointF(6.5, 6), QPointF(6.5, 13));
    p.drawLine(QPointF(10.5, 6), QPointF(10.5, 13));
}

void Trigger(QPainter& p)
{
    const QPointF bolt[] = {{9.5, 0.5}, {3, 9}, {7.5, 9}, {5.5, 15.5}, {13, 6.5}, {8.5, 6.5}, {11, 0.5}};
    p.setPen(QPen(kDarkGold, 1));
    p.setBrush(kGold);
    p.drawPolygon(bolt, 7);
}

void View(QPainter& p)
{
    QPainterPath eye;
    eye.moveTo(0.5, 8);
    eye.quadTo(8, 0, 15.5, 8);
    eye.quadTo(8, 16, 0.5, 8);
    p.setPen(QPen(kDarkBlue, 1));
    p.setBrush(Qt::white);
    p.drawPath(eye);
    p.setBrush(kBlue);
    p.drawEllipse(QPointF(8, 8), 3.2, 3.2);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(8, 8), 1.4, 1.4);
}

void Key(QPainter& p)
{
    QPainterPath key;
    key.addEllipse(QPointF(4.5, 8), 3.8, 3.8);
    key.addRect(QRectF(8, 6.8, 7.5, 2.4));
    key.addRect(QRectF(11.5, 9, 1.6, 3));
    key.addRect(QRectF(14, 9, 1.5, 2.2));
    key.setFillRule(Qt::WindingFill);
    p.setPen(QPen(kDarkGold, 1));
    p.setBrush(kGold);
    p.drawPath(key.simplified());
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(3.6, 8), 1.3, 1.3);
}

void ColumnFolder(QPainter& p)
{
    QPainterPath folder;
    folder.moveTo(1.5, 3.5);
    folder.lineTo(6, 3.5);
    folder.lineTo(7.5, 5);
    folder.lineTo(14.5, 5);
    folder.lineTo(14.5, 13.5);
    folder.lineTo(1.5, 13.5);
    folder.closeSubpath();
    p.setPen(QPen(kDarkFolder, 1));
    p.setBrush(kFolder);
    p.drawPath(folder);
    p.setPen(QPen(kDarkFolder.lighter(150), 1));
    p.drawLine(QPointF(2, 6.5), QPointF(14, 6.5));
}

void Column(QPainter& p)
{
    p.setPen(QPen(kGrey, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    p.setPen(QPen(kDarkBlue, 1));
    p.setBrush(kLightBlue);
    p.drawRect(QRectF(5.5, 2.5, 5, 11));
    p.fillRect(QRectF(6, 3, 4, 3), kBlue);
}

QPixmap Render(const Picture& picture, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    if (picture) {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 16.0, size / 16.0);
        picture(painter);
    }
    return pixmap;
}

QIcon MakeIcon(const Picture& picture)
{
    QIcon icon;
    icon.addPixmap(Render(picture, OBJECT_IMAGE_SIZE));
    icon.addPixmap(Render(picture, 2 * OBJECT_IMAGE_SIZE));
    return icon;
}

} // namespace

CObjectImageList::CObjectImageList()
    : m_blank(MakeIcon(nullptr))
{
    const Picture pictures[OBJECT_IMAGE_COUNT] = {Database, nullptr, Table, Trigger, View, nullptr, Key, ColumnFolder,
                                                  Column};
    for (const Picture& picture : pictures)
        m_arrIcons.push_back(picture ? MakeIcon(picture) : m_blank);
}

QIcon CObjectImageList::GetIcon(int index) const
{
    if (index < 0 || index >= GetImageCount())
        return QIcon();
    return m_arrIcons[static_cast<size_t>(index)];
}
