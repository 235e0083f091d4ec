#include "platform/widgets/dialogframe.h"

#include <QDialog>
#include <QFontMetrics>
#include <QLayout>
#include <QWidget>

void InitDialogFrame(QDialog& dialog, const QString& title, int width, int height)
{
    dialog.setFont(QFont(QStringLiteral("Tahoma"), 8));
    dialog.setWindowTitle(title);
    // A horizontal dialog unit is a quarter of the font's average character width, a
    // vertical one an eighth of its height.
    const QFontMetrics metrics(dialog.font());
    const int baseX = (metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 26 + 1) / 2;
    const int baseY = metrics.height();
    if (QLayout* layout = dialog.layout())
        layout->setSizeConstraint(QLayout::SetNoConstraint);
    dialog.setFixedSize(width * baseX / 4, height * baseY / 8);
}

void SetTabOrder(std::span<QWidget* const> order)
{
    for (size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}
