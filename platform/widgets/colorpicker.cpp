#include "platform/widgets/colorpicker.h"

#include <QColorDialog>

namespace platform {
namespace {
ColorHandler g_colorHandler;
}

QColor ColorFromColorref(unsigned colorref)
{
    return QColor(static_cast<int>(colorref & 0xFF), static_cast<int>((colorref >> 8) & 0xFF),
                  static_cast<int>((colorref >> 16) & 0xFF));
}

unsigned ColorrefFromColor(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return static_cast<unsigned>(rgb.red()) | static_cast<unsigned>(rgb.green()) << 8 |
           static_cast<unsigned>(rgb.blue()) << 16;
}

bool ChooseColor(QWidget* owner, unsigned initial, unsigned& chosen)
{
    if (g_colorHandler)
        return ColorHandler(g_colorHandler)(owner, initial, chosen);
    const QColor color = QColorDialog::getColor(ColorFromColorref(initial), owner);
    if (!color.isValid())
        return false;
    chosen = ColorrefFromColor(color);
    return true;
}

ColorHandler SetColorHandler(ColorHandler handler)
{
    std::swap(g_colorHandler, handler);
    return handler;
}

} // namespace platform
