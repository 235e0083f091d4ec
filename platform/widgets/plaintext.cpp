#include "platform/widgets/plaintext.h"

#include <QLabel>

namespace platform {

QLabel* NewLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

QLabel* NewLabel(QWidget* parent) { return NewLabel(QString(), parent); }

QString PlainToolTip(const QString& text)
{
    // Blanks and line breaks stay as they are, and a long line still wraps.
    if (text.isEmpty())
        return text;
    return QStringLiteral("<p style=\"white-space:pre-wrap\">%1</p>").arg(text.toHtmlEscaped());
}

} // namespace platform
