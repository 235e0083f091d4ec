#include "platform/recentfiles.h"
#include "platform/utf16.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <string>

namespace {

class RecentFileListTest : public testing::Test {
protected:
    std::wstring SettingsFile() const { return platform::FromQString(m_dir.filePath(QStringLiteral("profile.ini"))); }
    std::wstring File(int n) const { return platform::FromQString(m_dir.filePath(QStringLiteral("db%1.db").arg(n))); }

    QTemporaryDir m_dir;
};

TEST_F(RecentFileListTest, MostRecentFirstAndAReopenedFileMovesUp)
{
    platform::RecentFileList list(SettingsFile());
    list.Add(File(1));
    list.Add(File(2));
    list.Add(File(3));
    list.Add(File(1));
    EXPECT_EQ(list.Entries(), (std::vector<std::wstring>{File(1), File(3), File(2)}));
    EXPECT_EQ(list.Slot(2), File(2));
    EXPECT_EQ(list.Slot(3), L"");
}

TEST_F(RecentFileListTest, KeepsFiftyEntriesAndDropsTheOldest)
{
    platform::RecentFileList list(SettingsFile());
    for (int i = 1; i <= 51; ++i)
        list.Add(File(i));
    ASSERT_EQ(list.Entries().size(), 50u);
    EXPECT_EQ(list.Entries().front(), File(51));
    EXPECT_EQ(list.Entries().back(), File(2));
}

TEST_F(RecentFileListTest, PersistsEveryChangeInTheProfileSection)
{
    {
        platform::RecentFileList list(SettingsFile());
        list.Add(File(1));
        list.Add(File(2));
        list.Add(File(3));
        EXPECT_TRUE(list.Remove(File(2)));
        EXPECT_FALSE(list.Remove(File(9)));
    }
    QSettings raw(platform::ToQString(SettingsFile()), QSettings::IniFormat);
    EXPECT_EQ(raw.value(QStringLiteral("Recent File List/File1")).toString(), platform::ToQString(File(3)));
    EXPECT_EQ(raw.value(QStringLiteral("Recent File List/File2")).toString(), platform::ToQString(File(1)));
    EXPECT_FALSE(raw.contains(QStringLiteral("Recent File List/File3")));

    const platform::RecentFileList reread(SettingsFile());
    EXPECT_EQ(reread.Entries(), (std::vector<std::wstring>{File(3), File(1)}));
}

TEST_F(RecentFileListTest, RelativePathsAreStoredAbsolute)
{
    platform::RecentFileList list(SettingsFile());
    const QString current = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    list.Add(L"./sub/../db1.db");
    QDir::setCurrent(current);
    ASSERT_EQ(list.Entries().size(), 1u);
    EXPECT_EQ(list.Entries().front(), File(1));
}

} // namespace
