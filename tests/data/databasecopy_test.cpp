#include "data/databasecopysource.h"
#include "platform/utf16.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QFile>

#include <sqlite3.h>

#include <cerrno>

namespace {

using testing_support::TempFolder;

QByteArray Bytes(const std::wstring& path)
{
    QFile file(platform::ToQString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(DatabaseCopySource, CopiesADatabaseAndAnyOtherFileByteForByte)
{
    TempFolder folder;
    const std::wstring db = folder.MakeDatabase(
        L"a.db", "CREATE TABLE t(a); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                 "INSERT INTO t SELECT randomblob(200) FROM n;");
    const std::wstring text = folder.Path(L"notes.txt");
    {
        QFile file(platform::ToQString(text));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a database at all\n");
    }
    for (const std::wstring& source : {db, text}) {
        DatabaseCopySource bytes(source);
        ASSERT_EQ(bytes.OpenError(), 0);
        const std::wstring target = source + L".copy";
        ASSERT_EQ(platform::CopyToNewFile(bytes, target, {}), 0);
        EXPECT_EQ(Bytes(target), Bytes(source)) << testing_support::Utf8(source);
    }
    DatabaseCopySource missing(folder.Path(L"missing.db"));
    EXPECT_EQ(missing.OpenError(), ENOENT);
    EXPECT_FALSE(QFile::exists(platform::ToQString(folder.Path(L"missing.db")))) << "the engine made the file";
}

// While the bytes are read no writer can commit, so the copy is one state of the file.
TEST(DatabaseCopySource, WritersWaitUntilTheCopyEnds)
{
    TempFolder folder;
    const std::wstring db = folder.MakeDatabase(
        L"a.db", "CREATE TABLE t(a); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40000) "
                 "INSERT INTO t SELECT randomblob(300) FROM n;");
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(platform::ToQString(db)).constData(), &writer), SQLITE_OK);
    std::vector<int> during;
    {
        DatabaseCopySource bytes(db);
        ASSERT_EQ(platform::CopyToNewFile(bytes, db + L".copy", [&](std::int64_t, std::int64_t) {
                      during.push_back(sqlite3_exec(writer, "INSERT INTO t VALUES (1)", nullptr, nullptr, nullptr));
                      return true;
                  }),
                  0);
    }
    ASSERT_FALSE(during.empty());
    for (const int rc : during)
        EXPECT_EQ(rc, SQLITE_BUSY);
    EXPECT_EQ(sqlite3_exec(writer, "INSERT INTO t VALUES (1)", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(writer);
    EXPECT_EQ(testing_support::QueryRaw(db + L".copy", "SELECT count(*) FROM t"), "40000");
}

} // namespace
