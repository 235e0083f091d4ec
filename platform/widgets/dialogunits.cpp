#include "platform/widgets/dialogunits.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>

namespace platform {

QSize DialogBaseUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int width = (metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 26 + 1) / 2;
    return QSize(width, metrics.height());
}

QSize MapDialogSize(const QFont& font, int cx, int cy)
{
    const QSize base = DialogBaseUnits(font);
    return QSize(cx * base.width() / 4, cy * base.height() / 8);
}

} // namespace platform
