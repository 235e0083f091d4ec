#pragma once
// Fonts named by a face that the settings or the layouts give. A face the system does
// not have (the program's defaults name faces common on other desktops) gives way to
// the desktop's general user-interface font, never to whatever the font matcher finds
// nearest.
#include <QFont>
#include <QString>

class QPaintDevice;

namespace platform {

// A font of the face when it is installed, else of the desktop's general font family.
// Only the family is chosen: size and weight are the caller's.
QFont FontOfFace(const QString& face);

// Whether a font of the face's own family is installed.
bool IsFaceInstalled(const QString& face);

// Sizes the font so that its cell height (ascent plus descent) on the device (the
// screen when null) is the height in pixels, as near as the font's sizes allow and never
// taller: a size given as a cell height is not an em size.
void SetCellHeight(QFont& font, int cellHeight, const QPaintDevice* device = nullptr);

} // namespace platform
