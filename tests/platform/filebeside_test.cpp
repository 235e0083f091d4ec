#include "platform/filebeside.h"
#include "platform/utf16.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// Files beside a name made unnamed or with their hidden names, for one scope.
class UnnamedFiles {
public:
    explicit UnnamedFiles(bool use) { platform::UseUnnamedFiles(use); }
    ~UnnamedFiles() { platform::UseUnnamedFiles(true); }
    UnnamedFiles(const UnnamedFiles&) = delete;
    UnnamedFiles& operator=(const UnnamedFiles&) = delete;
};

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

    std::wstring Path(const QString& name) const { return platform::FromQString(m_dir.filePath(name)); }

    // Every name in the folder (or a folder in it), hidden ones too: no temporary file
    // may stay behind.
    QStringList Names(const QString& folder = QString()) const
    {
        QStringList names =
            QDir(m_dir.filePath(folder)).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        names.sort();
        return names;
    }

    QTemporaryDir m_dir;
};

// Until it is published the file has no name at all, or a hidden one where the file
// system cannot make unnamed files; once published under a name, a second file for the
// same name is refused and the first keeps its bytes.
TEST_F(FileBesideTest, PublishingNeverWritesOverAName)
{
    for (const bool unnamed : {true, false}) {
        SCOPED_TRACE(unnamed ? "unnamed files" : "hidden names");
        const UnnamedFiles use(unnamed);
        const QString folder = unnamed ? QStringLiteral("unnamed") : QStringLiteral("hidden");
        ASSERT_TRUE(QDir(m_dir.path()).mkdir(folder));
        const std::wstring target = Path(folder + QStringLiteral("/copy.db"));
        platform::FileBeside first(target);
        platform::FileBeside second(target);
        ASSERT_EQ(first.Error(), 0);
        ASSERT_EQ(second.Error(), 0);
        EXPECT_EQ(first.Write("first", 5), 0);
        EXPECT_EQ(second.Write("second", 6), 0);
        const QStringList hidden = Names(folder);
        EXPECT_EQ(hidden.size(), unnamed ? 0 : 2) << hidden.join(QLatin1Char(' ')).toStdString();
        for (const QString& name : hidden)
            EXPECT_TRUE(name.startsWith(QStringLiteral(".copy.db.")) && name.endsWith(QStringLiteral(".part")))
                << name.toStdString();
        EXPECT_FALSE(QFile::exists(platform::ToQString(target)));
        EXPECT_EQ(first.PublishNew(), 0);
        EXPECT_EQ(second.PublishNew(), EEXIST);
        EXPECT_EQ(Read(target), "first");
        EXPECT_EQ(Names(folder), QStringList{"copy.db"});

        // Never published: nothing stays.
        {
            platform::FileBeside dropped(Path(folder + QStringLiteral("/dropped.db")));
            EXPECT_EQ(dropped.Write("half", 4), 0);
        }
        EXPECT_EQ(Names(folder), QStringList{"copy.db"});
        // No folder to write in.
        EXPECT_EQ(platform::FileBeside(Path(folder + QStringLiteral("/gone/x.db"))).Error(), ENOENT);
    }
}

// The hidden files of writers that were killed before they could remove them go when
// the next file is made beside a name in their folder. A hidden file that a live writer
// holds stays, and so does every file that is not of the program's hidden names.
TEST_F(FileBesideTest, LeftoversOfKilledWritersGoWhenTheNextFileIsMade)
{
    const QString longStem = QStringLiteral(".") + QString(51, QLatin1Char('s')) + QStringLiteral(".abc.part");
    const QStringList others = {"notes.part", ".notes.part", ".a.b.UPPER.part", ".a.b.c.part.old", "a.db.x1y2.part",
                                ".a.db.abcdefghijklmn.part", longStem};
    for (const QString& name : others)
        Write(Path(name), "not a leftover");
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral(".folder.db.abc.part")));
    ASSERT_TRUE(QFile::link(m_dir.filePath(QStringLiteral("notes.part")), m_dir.filePath(QStringLiteral(".link.db.abc.part"))));
    // What killed writers leave, an older program's too, which locked nothing.
    for (const char* name : {".shop.db.3k9x0a1b2c3d4.part", ".shop2014-11-07 _0.db.zz.part", ".é 😀.db.0.part"})
        Write(Path(name), "half a copy");

    QStringList kept = others;
    kept << ".folder.db.abc.part" << ".link.db.abc.part";
    const UnnamedFiles use(false);
    auto held = std::make_unique<platform::FileBeside>(Path("held.db"));
    ASSERT_EQ(held->Error(), 0);
    const QStringList heldName = Names().filter(QRegularExpression(QStringLiteral("^\\.held\\.db\\.")));
    ASSERT_EQ(heldName.size(), 1);
    kept << heldName;
    kept.sort();
    EXPECT_EQ(Names(), kept);
    // Another writer, and one of an unnamed file, keep the one the first holds.
    for (const bool unnamed : {false, true}) {
        const UnnamedFiles next(unnamed);
        EXPECT_EQ(platform::FileBeside(Path("next.db")).Error(), 0);
        EXPECT_EQ(Names(), kept);
    }
    held.reset();
    kept.removeOne(heldName.first());
    EXPECT_EQ(Names(), kept);
}

// Replacing keeps what the user set: the permission bits, and a link stays a link to
// the file that now holds the new bytes.
TEST_F(FileBesideTest, ReplacingKeepsThePermissionsAndFollowsALink)
{
    for (const bool unnamed : {true, false}) {
        SCOPED_TRACE(unnamed ? "unnamed files" : "hidden names");
        const UnnamedFiles use(unnamed);
        const QString folder = unnamed ? QStringLiteral("unnamed/") : QStringLiteral("hidden/");
        ASSERT_TRUE(QDir(m_dir.path()).mkdir(folder));
        const std::wstring file = Path(folder + QStringLiteral("data.bin"));
        Write(file, "old bytes");
        ASSERT_EQ(::chmod(QFile::encodeName(platform::ToQString(file)).constData(), 0640), 0);
        const std::wstring link = Path(folder + QStringLiteral("link.bin"));
        ASSERT_TRUE(QFile::link(platform::ToQString(file), platform::ToQString(link)));

        const std::string bytes("\0new\xFF bytes\r\n", 12);
        ASSERT_EQ(platform::ReplaceFileContents(link, bytes.data(), static_cast<std::int64_t>(bytes.size())), 0);
        EXPECT_EQ(Read(file).toStdString(), bytes);
        EXPECT_TRUE(QFileInfo(platform::ToQString(link)).isSymLink());
        struct stat info {};
        ASSERT_EQ(::stat(QFile::encodeName(platform::ToQString(file)).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0640u);
        EXPECT_EQ(Names(folder), (QStringList{"data.bin", "link.bin"}));

        // A new file is made.
        ASSERT_EQ(platform::ReplaceFileContents(Path(folder + QStringLiteral("new.bin")), "x", 1), 0);
        EXPECT_EQ(Read(Path(folder + QStringLiteral("new.bin"))), "x");
    }
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
