#include "platform/widgets/fontprovider.h"

#include <QFontDatabase>

namespace platform {
namespace {

class SystemFonts final : public FontProvider {
public:
    QStringList Families() const override { return QFontDatabase::families(); }
    bool IsScalable(const QString& family) const override { return QFontDatabase::isSmoothlyScalable(family); }
    QList<int> FixedSizes(const QString& family) const override { return QFontDatabase::pointSizes(family); }
};

const FontProvider* g_fontProvider = nullptr;

} // namespace

const FontProvider& Fonts()
{
    static const SystemFonts system;
    return g_fontProvider ? *g_fontProvider : system;
}

const FontProvider* SetFontProvider(const FontProvider* provider)
{
    std::swap(g_fontProvider, provider);
    return provider;
}

} // namespace platform
