#pragma once
// Dialog units, in which the program's dialog and strip layouts are given: a
// horizontal unit is a quarter of the font's average character width, a vertical unit
// an eighth of its height.
#include <QSize>

class QFont;

namespace platform {

// The average character width and the character height of the font (the base units).
QSize DialogBaseUnits(const QFont& font);

// A size in dialog units converted to pixels with the font's base units.
QSize MapDialogSize(const QFont& font, int cx, int cy);

} // namespace platform
