#include "platform/widgets/plaintext.h"

#include <QLabel>
#include <QTextDocument>

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
    // A text that would not be taken for markup shows as it is; any other is escaped, its
    // blanks and line breaks kept and a long line still wrapped.
    if (!Qt::mightBeRichText(text))
        return text;
    return QStringLiteral("<p style=\"white-space:pre-wrap\">%1</p>").arg(text.toHtmlEscaped());
}

QString PlainMenuText(QString text) { return text.replace(QLatin1Char('&'), QStringLiteral("&&")); }

} // namespace platform
