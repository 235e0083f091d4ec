#include "platform/recentfiles.h"

#include "platform/utf16.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <memory>

namespace platform {

namespace {

constexpr char ORGANISATION[] = "Corvellan Software";
constexpr char APPLICATION[] = "Tabulon";
constexpr char SECTION[] = "Recent File List";

std::unique_ptr<QSettings> OpenSettings(const std::wstring& file)
{
    if (file.empty())
        return std::make_unique<QSettings>(QString::fromLatin1(ORGANISATION), QString::fromLatin1(APPLICATION));
    return std::make_unique<QSettings>(ToQString(file), QSettings::IniFormat);
}

QString EntryKey(int index) { return QStringLiteral("File%1").arg(index + 1); }

std::wstring Normalised(const std::wstring& path)
{
    if (path.empty())
        return path;
    return FromQString(QDir::cleanPath(QFileInfo(ToQString(path)).absoluteFilePath()));
}

std::unique_ptr<RecentFileList> g_pRecentFiles;

} // namespace

RecentFileList::RecentFileList() { Load(); }

RecentFileList::RecentFileList(const std::wstring& settingsFile)
    : m_strSettingsFile(settingsFile)
{
    Load();
}

std::wstring RecentFileList::Slot(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_arrEntries.size()))
        return L"";
    return m_arrEntries[static_cast<size_t>(index)];
}

void RecentFileList::Add(const std::wstring& path)
{
    const std::wstring entry = Normalised(path);
    if (entry.empty())
        return;
    std::erase(m_arrEntries, entry);
    m_arrEntries.insert(m_arrEntries.begin(), entry);
    if (m_arrEntries.size() > static_cast<size_t>(CAPACITY))
        m_arrEntries.resize(CAPACITY);
    Save();
}

bool RecentFileList::Remove(const std::wstring& path)
{
    auto at = std::find(m_arrEntries.begin(), m_arrEntries.end(), path);
    if (at == m_arrEntries.end())
        at = std::find(m_arrEntries.begin(), m_arrEntries.end(), Normalised(path));
    if (at == m_arrEntries.end())
        return false;
    m_arrEntries.erase(at);
    Save();
    return true;
}

void RecentFileList::Load()
{
    m_arrEntries.clear();
    const std::unique_ptr<QSettings> settings = OpenSettings(m_strSettingsFile);
    settings->beginGroup(QString::fromLatin1(SECTION));
    // The list is kept packed: it ends at the first missing slot.
    for (int i = 0; i < CAPACITY; ++i) {
        const QString value = settings->value(EntryKey(i)).toString();
        if (value.isEmpty())
            break;
        const std::wstring entry = FromQString(value);
        if (std::find(m_arrEntries.begin(), m_arrEntries.end(), entry) == m_arrEntries.end())
            m_arrEntries.push_back(entry);
    }
    settings->endGroup();
}

void RecentFileList::Save() const
{
    const std::unique_ptr<QSettings> settings = OpenSettings(m_strSettingsFile);
    settings->beginGroup(QString::fromLatin1(SECTION));
    for (int i = 0; i < CAPACITY; ++i) {
        if (i < static_cast<int>(m_arrEntries.size()))
            settings->setValue(EntryKey(i), ToQString(m_arrEntries[static_cast<size_t>(i)]));
        else
            settings->remove(EntryKey(i));
    }
    settings->endGroup();
    settings->sync();
}

RecentFileList& RecentFiles()
{
    if (!g_pRecentFiles)
        g_pRecentFiles = std::make_unique<RecentFileList>();
    return *g_pRecentFiles;
}

void UseRecentFileSettings(const std::wstring& settingsFile)
{
    g_pRecentFiles = std::make_unique<RecentFileList>(settingsFile);
}

} // namespace platform
