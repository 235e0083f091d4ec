#include "platform/filecopy.h"
#include "platform/utf16.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>

namespace {

// Bytes held in memory; a read at or past failAt fails.
class MemorySource final : public platform::CopySource {
public:
    explicit MemorySource(QByteArray bytes, std::int64_t failAt = -1) : m_bytes(std::move(bytes)), m_failAt(failAt) {}
    int Size(std::int64_t& size) override
    {
        size = m_bytes.size();
        return 0;
    }
    int Read(void* buffer, std::size_t count, std::int64_t offset) override
    {
        if (m_failAt >= 0 && offset + static_cast<std::int64_t>(count) > m_failAt)
            return EIO;
        std::memcpy(buffer, m_bytes.constData() + offset, count);
        return 0;
    }

private:
    QByteArray m_bytes;
    std::int64_t m_failAt;
};

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
    MemorySource source(bytes);
    std::vector<std::int64_t> reports;
    const int rc = platform::CopyToNewFile(source, Path("b.db"), [&](std::int64_t total, std::int64_t done) {
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

TEST_F(FileCopyTest, NothingToCopyMakesAnEmptyFile)
{
    MemorySource empty({});
    ASSERT_EQ(platform::CopyToNewFile(empty, Path("copy"), {}), 0);
    EXPECT_EQ(Read(Path("copy")), QByteArray());
}

TEST_F(FileCopyTest, FailuresLeaveNoTargetAndNeverTouchAnExistingOne)
{
    {
        QFile taken(platform::ToQString(Path("taken")));
        ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
        taken.write("keep me");
    }
    MemorySource source(Pattern(10 * 1024 * 1024));
    EXPECT_EQ(platform::CopyToNewFile(source, Path("taken"), {}), EEXIST);
    EXPECT_EQ(Read(Path("taken")), QByteArray("keep me"));
    EXPECT_EQ(platform::CopyToNewFile(source, Path("no/such/folder/t"), {}), ENOENT);

    MemorySource failing(Pattern(10 * 1024 * 1024), 5 * 1024 * 1024);
    EXPECT_EQ(platform::CopyToNewFile(failing, Path("t"), {}), EIO);
    EXPECT_FALSE(Exists(Path("t")));
}

TEST_F(FileCopyTest, StoppingMidCopyRemovesThePartialTarget)
{
    MemorySource source(Pattern(12 * 1024 * 1024));
    int calls = 0;
    const int rc = platform::CopyToNewFile(source, Path("part"), [&](std::int64_t, std::int64_t) { return ++calls < 2; });
    EXPECT_EQ(rc, ECANCELED);
    EXPECT_EQ(calls, 2);
    EXPECT_FALSE(Exists(Path("part")));
}

} // namespace
