#include "document/strip/cmfcbuttonext.h"

#include <QPainter>

namespace {

const QColor kPressedFrameColor(255, 0, 128);

} // namespace

CMFCButtonExt::CMFCButtonExt(QWidget* parent)
    : QToolButton(parent)
{
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

void CMFCButtonExt::paintEvent(QPaintEvent* event)
{
    QToolButton::paintEvent(event);
    QPainter painter(this);
    OnDrawBorder(painter, rect());
}

void CMFCButtonExt::OnDrawBorder(QPainter& painter, const QRect& rect)
{
    if (!isDown() && !isChecked())
        return;
    painter.setPen(kPressedFrameColor);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
}
