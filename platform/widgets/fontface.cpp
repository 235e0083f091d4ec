#include "platform/widgets/fontface.h"

#include <QFontDatabase>
#include <QFontInfo>

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

} // namespace platform
