#pragma once
// What the program shows is text, never markup. Qt guesses whether the text of a label or
// a tooltip is rich text, so a name such as "<b>x</b>" would show bold and an engine's
// reason in angle brackets ("<table [t] already exists>") would vanish as an unknown tag.
// Every label of the program is made here, and every tooltip that shows a name or a
// message is given its text through PlainToolTip.
#include <QString>

class QLabel;
class QWidget;

namespace platform {

// A label that shows its text as it stands, whatever it holds.
QLabel* NewLabel(const QString& text, QWidget* parent);
QLabel* NewLabel(QWidget* parent);

// The tooltip text that shows the text as it stands: a tooltip's text is always guessed,
// so one that looks like markup is handed over as rich text that displays exactly it.
QString PlainToolTip(const QString& text);

// The text of a menu item, a tab or a button that shows a name or a path as it stands: an
// "&" in it ("R&D") is shown, not taken for the mark of a shortcut letter.
QString PlainMenuText(QString text);

} // namespace platform
