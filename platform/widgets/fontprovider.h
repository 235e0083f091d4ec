#pragma once
// The installed font families and their sizes, as the settings sheet lists them. The
// real provider asks Qt's font database; tests install their own families.
#include <QList>
#include <QStringList>

namespace platform {

class FontProvider {
public:
    virtual ~FontProvider() = default;
    virtual QStringList Families() const = 0;
    // True for a family drawn at any size (an outline font). A family that is not
    // installed answers for the family drawn in its place.
    virtual bool IsScalable(const QString& family) const = 0;
    // The point sizes of a family that exists only at fixed sizes.
    virtual QList<int> FixedSizes(const QString& family) const = 0;
};

// The provider in use: the installed one, else Qt's font database.
const FontProvider& Fonts();

// Installs a provider (tests); null restores Qt's. Returns the old one. Not owned.
const FontProvider* SetFontProvider(const FontProvider* provider);

} // namespace platform
