#include "platform/widgets/fontprovider.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>

namespace platform {
namespace {

class SystemFonts final : public FontProvider {
public:
    QStringList Families() const override { return QFontDatabase::families(); }
    bool IsScalable(const QString& family) const override { return QFontDatabase::isSmoothlyScalable(Drawn(family)); }
    QList<int> FixedSizes(const QString& family) const override { return QFontDatabase::pointSizes(Drawn(family)); }

private:
    // A family that is not installed is drawn in the font Qt puts in its place: its sizes
    // are the ones that family offers.
    static QString Drawn(const QString& family)
    {
        return QFontDatabase::hasFamily(family) ? family : QFontInfo(QFont(family)).family();
    }
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
