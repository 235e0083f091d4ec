#include "platform/widgets/fontface.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPaintDevice>

#include <algorithm>
#include <cmath>

namespace platform {

bool IsFaceInstalled(const QString& face)
{
    if (face.isEmpty())
        return false;
    // The font matcher substitutes a missing face silently: what it resolved to tells.
    const QFont font(face);
    return QFontInfo(font).family().compare(face, Qt::CaseInsensitive) == 0;
}

QFont FontOfFace(const QString& face)
{
    if (IsFaceInstalled(face))
        return QFont(face);
    return QFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
}

void SetCellHeight(QFont& font, int cellHeight, const QPaintDevice* device)
{
    const int height = std::max(cellHeight, 1);
    const auto measure = [&font, device] {
        const QFontMetrics metrics = device ? QFontMetrics(font, device) : QFontMetrics(font);
        return metrics.ascent() + metrics.descent();
    };
    font.setPixelSize(height);
    const int measured = measure();
    if (measured > 0 && measured != height)
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(static_cast<double>(height) * height / measured))));
    // Rounding may leave it a pixel taller than asked.
    while (font.pixelSize() > 1 && measure() > height)
        font.setPixelSize(font.pixelSize() - 1);
}

} // namespace platform
