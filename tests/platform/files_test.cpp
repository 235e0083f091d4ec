#include "platform/files.h"
#include "platform/utf16.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

TEST(ExecutableFolder, IsTheRunningProgramsFolderWithTrailingSlash)
{
    const std::wstring folder = platform::ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), L'/');
    EXPECT_EQ(platform::ToQString(folder), QDir(QCoreApplication::applicationDirPath()).canonicalPath() + u'/');
}

TEST(FileExists, FindsRegularFilesOnly)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("Größe 😀.kvz"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.close();
    EXPECT_TRUE(platform::FileExists(platform::FromQString(file)));
    EXPECT_FALSE(platform::FileExists(platform::FromQString(dir.path())));
    EXPECT_FALSE(platform::FileExists(platform::FromQString(dir.filePath(QStringLiteral("missing")))));
    EXPECT_FALSE(platform::FileExists(L""));
}

} // namespace
