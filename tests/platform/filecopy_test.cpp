#include "platform/filecopy.h"
#include "platform/utf16.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cerrno>

namespace {

class FileCopyTest : public ::testing::Test {
protected:
    std::wstring Path(const char* name) const { return platform::FromQString(m_dir.filePath(QString::fromUtf8(name))); }

    static QByteArray Pattern(int size)
    {
        QByteArray bytes(size, '\0');
        for (int i = 0; i < size; ++i)
            bytes[i] = static_cast<char>((i * 131 + i / 7) & 0xFF);
        return bytes;
    }

    static void Write(const std::wstring& path, const QByteArray& bytes)
    {
        QFile file(platform::ToQString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static QByteArray Read(const std::wstring& path)
    {
        QFile file(platform::ToQString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    static bool Exists(const std::wstring& path) { return QFile::exists(platform::ToQString(path)); }

    QTemporaryDir m_dir;
};

TEST_F(FileCopyTest, CopiesEveryByteAndReportsProgressUpToTheTotal)
{
    // Not a multiple of the chunk size, so the last chunk is a short one.
    const QByteArray bytes = Pattern(9 * 1024 * 1024 + 17);
    Write(Path("a.db"), bytes);
    std::vector<std::int64_t> reports;
    const int rc = platform::CopyFileToNew(Path("a.db"), Path("b.db"), [&](std::int64_t total, std::int64_t done) {
        EXPECT_EQ(total, bytes.size());
        reports.push_back(done);
        return true;
    });
    ASSERT_EQ(rc, 0);
    EXPECT_EQ(Read(Path("b.db")), bytes);
    ASSERT_FALSE(reports.empty());
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    EXPECT_EQ(reports.back(), bytes.size());
}

TEST_F(FileCopyTest, AnEmptyFileCopiesToAnEmptyFile)
{
    Write(Path("empty"), {});
    ASSERT_EQ(platform::CopyFileToNew(Path("empty"), Path("copy"), {}), 0);
    EXPECT_TRUE(Exists(Path("copy")));
    EXPECT_EQ(Read(Path("copy")), QByteArray());
}

TEST_F(FileCopyTest, FailuresLeaveNoTargetAndNeverTouchAnExistingOne)
{
    Write(Path("src"), Pattern(1000));
    Write(Path("taken"), "keep me");
    EXPECT_EQ(platform::CopyFileToNew(Path("src"), Path("taken"), {}), EEXIST);
    EXPECT_EQ(Read(Path("taken")), QByteArray("keep me"));

    EXPECT_EQ(platform::CopyFileToNew(Path("src"), Path("no/such/folder/t"), {}), ENOENT);
    EXPECT_EQ(platform::CopyFileToNew(Path("missing"), Path("t"), {}), ENOENT);
    EXPECT_FALSE(Exists(Path("t")));
    EXPECT_EQ(platform::CopyFileToNew(Path(""), Path("t2"), {}), EISDIR); // the folder itself
    EXPECT_FALSE(Exists(Path("t2")));
}

TEST_F(FileCopyTest, StoppingMidCopyRemovesThePartialTarget)
{
    Write(Path("big"), Pattern(12 * 1024 * 1024));
    int calls = 0;
    const int rc = platform::CopyFileToNew(Path("big"), Path("part"), [&](std::int64_t, std::int64_t) {
        return ++calls < 2;
    });
    EXPECT_EQ(rc, ECANCELED);
    EXPECT_EQ(calls, 2);
    EXPECT_FALSE(Exists(Path("part")));
}

} // namespace
