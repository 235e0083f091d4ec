#include "platform/widgets/dialogframe.h"

#include <QDialog>
#include <QFontMetrics>
#include <QLayout>
#include <QWidget>

int DialogUnitsToPixels(const QFont& font, int units)
{
    const QFontMetrics metrics(font);
    const int baseX = (metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 26 + 1) / 2;
    return units * baseX / 4;
}

void InitDialogFrame(QDialog& dialog, const QString& title, int width, int height)
{
    dialog.setFont(QFont(QStringLiteral("Tahoma"), 8));
    dialog.setWindowTitle(title);
    // A vertical dialog unit is an eighth of the font's height.
    const int baseY = QFontMetrics(dialog.font()).height();
    if (QLayout* layout = dialog.layout())
        layout->setSizeConstraint(QLayout::SetNoConstraint);
    dialog.setFixedSize(DialogUnitsToPixels(dialog.font(), width), height * baseY / 8);
}

void SetTabOrder(std::span<QWidget* const> order)
{
    for (size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}
