#include "platform/filebeside.h"
#include "platform/utf16.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

class FileBesideTest : public ::testing::Test {
protected:
    std::wstring Path(const char* name) const { return platform::FromQString(m_dir.filePath(QString::fromUtf8(name))); }

    static void Write(const std::wstring& path, const QByteArray& bytes)
    {
        QFile file(platform::ToQString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    static QByteArray Read(const std::wstring& path)
    {
        QFile file(platform::ToQString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // Every name in the folder, hidden ones too: no temporary file may stay behind.
    QStringList Names() const
    {
        return QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                            QDir::Name);
    }

    QTemporaryDir m_dir;
};

// Until it is published the file has no final name; once published under a name, a
// second file for the same name is refused and the first keeps its bytes.
TEST_F(FileBesideTest, PublishingNeverWritesOverAName)
{
    const std::wstring target = Path("copy.db");
    platform::FileBeside first(target);
    platform::FileBeside second(target);
    ASSERT_EQ(first.Error(), 0);
    ASSERT_EQ(second.Error(), 0);
    EXPECT_NE(first.TempPath(), second.TempPath());
    Write(first.TempPath(), "first");
    Write(second.TempPath(), "second");
    EXPECT_EQ(Names().size(), 2);
    EXPECT_FALSE(QFile::exists(platform::ToQString(target)));
    EXPECT_EQ(first.PublishNew(), 0);
    EXPECT_EQ(second.PublishNew(), EEXIST);
    EXPECT_EQ(Read(target), "first");
    EXPECT_EQ(Names(), QStringList{"copy.db"});

    // Never published: nothing stays.
    {
        platform::FileBeside dropped(Path("dropped.db"));
        Write(dropped.TempPath(), "half");
    }
    EXPECT_EQ(Names(), QStringList{"copy.db"});
    // No folder to write in.
    EXPECT_EQ(platform::FileBeside(Path("gone/x.db")).Error(), ENOENT);
}

// Replacing keeps what the user set: the permission bits, and a link stays a link to
// the file that now holds the new bytes.
TEST_F(FileBesideTest, ReplacingKeepsThePermissionsAndFollowsALink)
{
    const std::wstring file = Path("data.bin");
    Write(file, "old bytes");
    ASSERT_EQ(::chmod(QFile::encodeName(platform::ToQString(file)).constData(), 0640), 0);
    const std::wstring link = Path("link.bin");
    ASSERT_TRUE(QFile::link(platform::ToQString(file), platform::ToQString(link)));

    const std::string bytes("\0new\xFF bytes\r\n", 12);
    ASSERT_EQ(platform::ReplaceFileContents(link, bytes.data(), static_cast<std::int64_t>(bytes.size())), 0);
    EXPECT_EQ(Read(file).toStdString(), bytes);
    EXPECT_TRUE(QFileInfo(platform::ToQString(link)).isSymLink());
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(platform::ToQString(file)).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(Names(), (QStringList{"data.bin", "link.bin"}));

    // A new file is made.
    ASSERT_EQ(platform::ReplaceFileContents(Path("new.bin"), "x", 1), 0);
    EXPECT_EQ(Read(Path("new.bin")), "x");
}

// A write that fails part-way, as on a full disk (here the process's file-size limit,
// which the kernel enforces on every write), leaves the old file byte for byte as it
// was and no temporary file beside it.
TEST_F(FileBesideTest, AWriteThatFailsPartWayLeavesTheOldFileAsItWas)
{
    const std::wstring file = Path("picture.bmp");
    const QByteArray old = QByteArray("BM") + QByteArray(3000, '\x5A');
    Write(file, old);
    const std::string bytes(2 * 1024 * 1024, '\x7F');

    rlimit previous {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto signalBefore = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const int error = platform::ReplaceFileContents(file, bytes.data(), static_cast<std::int64_t>(bytes.size()));
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, signalBefore);

    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(Read(file), old);
    EXPECT_EQ(Names(), QStringList{"picture.bmp"});
    EXPECT_FALSE(platform::ErrorText(error).empty());
}

} // namespace
