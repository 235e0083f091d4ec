#pragma once
// The frame shared by the data dialogs: their Tahoma font and a fixed size given in
// dialog units of that font.
class QDialog;
class QString;

// Sets the dialog's font and title and fixes its size at width by height dialog units;
// its layout (when it has one) arranges the controls inside that size.
void InitDialogFrame(QDialog& dialog, const QString& title, int width, int height);
