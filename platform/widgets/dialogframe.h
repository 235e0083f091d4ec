#pragma once
// The frame shared by the data dialogs: their Tahoma font, a fixed size given in dialog
// units of that font, and the order in which Tab walks their controls.
#include <span>

class QDialog;
class QFont;
class QString;
class QWidget;

// The pixels of a width in horizontal dialog units of the font: a unit is a quarter of
// the font's average character width.
int DialogUnitsToPixels(const QFont& font, int units);

// Sets the dialog's font and title and fixes its size at width by height dialog units;
// its layout (when it has one) arranges the controls inside that size.
void InitDialogFrame(QDialog& dialog, const QString& title, int width, int height);

// Tab goes from each control to the next one of the list.
void SetTabOrder(std::span<QWidget* const> order);
