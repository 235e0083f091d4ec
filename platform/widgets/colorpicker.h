#pragma once
// The colour picker, and the program's stored colours (0x00BBGGRR) as Qt colours.
#include <QColor>

#include <functional>

class QWidget;

namespace platform {

QColor ColorFromColorref(unsigned colorref);
unsigned ColorrefFromColor(const QColor& color);

// A test's answer: true and the chosen colour, or false for Cancel.
using ColorHandler = std::function<bool(QWidget* owner, unsigned initial, unsigned& chosen)>;

// Opens the colour dialog on the initial colour; true and the chosen colour on OK.
bool ChooseColor(QWidget* owner, unsigned initial, unsigned& chosen);

// Replaces the real dialog (tests); an empty handler restores it. Returns the old one.
ColorHandler SetColorHandler(ColorHandler handler);

} // namespace platform
