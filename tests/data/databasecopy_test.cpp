// Whole copies of a database while other connections read and write the same file, in
// WAL and rollback-journal mode: each copy is checked with integrity_check and its rows.
#include "data/cadbsqldb.h"
#include "data/databasecopy.h"
#include "platform/filebeside.h"
#include "platform/utf16.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <sqlite3.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <thread>

#include <unistd.h>

namespace {

using testing_support::QueryRaw;
using testing_support::TempFolder;

QByteArray Bytes(const std::wstring& path)
{
    QFile file(platform::ToQString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The files of the folder: a failed or cancelled copy leaves none of its own.
QStringList Files(const TempFolder& folder)
{
    return QDir(platform::ToQString(folder.Path(L""))).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

using Other = testing_support::OtherConnection;

DatabaseCopyResult Copy(const std::wstring& source, const std::wstring& target, const std::atomic<bool>* cancel = nullptr)
{
    return CopyDatabaseFile(source, target, cancel, {});
}

// Sets the program's busy time-out for one test.
class BusyTimeout {
public:
    explicit BusyTimeout(int milliseconds) : m_previous(g_nBusyTimeout) { g_nBusyTimeout = milliseconds; }
    ~BusyTimeout() { g_nBusyTimeout = m_previous; }

private:
    int m_previous;
};

TEST(DatabaseCopy, CopiesADatabaseWholeAndAnyOtherFileByteForByte)
{
    TempFolder folder;
    const std::wstring db = folder.MakeDatabase(
        L"a.db", "CREATE TABLE t(a); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                 "INSERT INTO t SELECT randomblob(200) FROM n;");
    std::vector<int> percents;
    ASSERT_EQ(CopyDatabaseFile(db, db + L".copy", nullptr, [&](int percent) { percents.push_back(percent); }).error, 0);
    EXPECT_EQ(QueryRaw(db + L".copy", "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(QueryRaw(db + L".copy", "SELECT count(*) FROM t"), "3000");
    ASSERT_FALSE(percents.empty());
    EXPECT_EQ(percents.back(), 100);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));

    // Not a database: the bytes as they are.
    const std::wstring text = folder.Path(L"notes.txt");
    {
        QFile file(platform::ToQString(text));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(5000, 'x') + "not a database at all\n");
    }
    ASSERT_EQ(Copy(text, text + L".copy").error, 0);
    EXPECT_EQ(Bytes(text + L".copy"), Bytes(text));

    // A missing source is the source's failure, and the engine makes no file of it.
    const DatabaseCopyResult missing = Copy(folder.Path(L"missing.db"), folder.Path(L"missing.copy"));
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_TRUE(missing.sourceFailed);
    // A taken name is never written over, for a database and for plain bytes alike.
    for (const std::wstring& source : {db, text}) {
        const QByteArray before = Bytes(db + L".copy");
        const DatabaseCopyResult taken = Copy(source, db + L".copy");
        EXPECT_EQ(taken.error, EEXIST);
        EXPECT_FALSE(taken.sourceFailed);
        EXPECT_EQ(Bytes(db + L".copy"), before);
    }
    // So is a name whose old journal or log is still there.
    for (const wchar_t* leftover : {L"old.db-journal", L"old.db-wal"}) {
        QFile(platform::ToQString(folder.Path(leftover))).open(QIODevice::WriteOnly);
        EXPECT_EQ(Copy(db, folder.Path(L"old.db")).error, EEXIST);
        QFile::remove(platform::ToQString(folder.Path(leftover)));
    }
    EXPECT_EQ(Files(folder), (QStringList{"a.db", "a.db.copy", "notes.txt", "notes.txt.copy"}));
}

// A writer commits batches of rows in a loop while copy after copy is made. Each copy
// passes integrity_check and holds a whole number of batches, at least as many as were
// committed before it began and no more than after it ended. In WAL mode the writer's
// frequent checkpoints write into the file meanwhile.
TEST(DatabaseCopy, AWriterCommittingInALoopNeverTearsACopy)
{
    constexpr int kBatch = 25;
    constexpr int kCopies = 100;
    for (const char* mode : {"WAL", "DELETE"}) {
        SCOPED_TRACE(mode);
        TempFolder folder;
        const std::wstring db = folder.MakeDatabase(
            L"busy.db", std::string("PRAGMA journal_mode=") + mode +
                            "; CREATE TABLE t(a, b); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                            "WHERE i < 2000) INSERT INTO t SELECT i, randomblob(400) FROM n;");
        std::atomic<bool> stop = false;
        std::atomic<int> committed = 2000;
        std::atomic<int> failures = 0;
        std::thread writer([&] {
            Other other(db);
            other.Exec("PRAGMA wal_autocheckpoint=20");
            // Every batch adds rows and rewrites scattered old ones, so pages move.
            const std::string batch = "BEGIN IMMEDIATE; INSERT INTO t SELECT a, randomblob(400) FROM t LIMIT " +
                                      std::to_string(kBatch) +
                                      "; UPDATE t SET b = randomblob(400) WHERE rowid % 53 = abs(random()) % 53; COMMIT;";
            while (!stop) {
                if (other.Exec(batch.c_str()) == SQLITE_OK)
                    committed += kBatch;
                else
                    ++failures, other.Exec("ROLLBACK");
            }
        });
        for (int i = 0; i < kCopies; ++i) {
            const std::wstring copy = folder.Path(L"copy" + std::to_wstring(i) + L".db");
            const int before = committed;
            ASSERT_EQ(Copy(db, copy).error, 0) << i;
            const int after = committed;
            ASSERT_EQ(QueryRaw(copy, "PRAGMA integrity_check"), "ok") << "copy " << i;
            const int rows = std::stoi(QueryRaw(copy, "SELECT count(*) FROM t"));
            EXPECT_EQ(rows % kBatch, 0) << "copy " << i << " holds part of a transaction";
            EXPECT_GE(rows, before) << "copy " << i << " lacks committed rows";
            EXPECT_LE(rows, after + kBatch) << "copy " << i;
            QFile::remove(platform::ToQString(copy));
        }
        stop = true;
        writer.join();
        EXPECT_GT(committed, 2000) << "the writer never committed during the copies";
        EXPECT_EQ(failures, 0);
    }
}

// Another connection's write transaction that has spilled into the file (rollback
// journal) holds its lock: the copy waits the busy time-out, then fails as busy, and
// no byte of the half-written file is copied. Cancelled, it stops waiting at once.
TEST(DatabaseCopy, AWriteTransactionInTheFileFailsTheCopyAsBusy)
{
    TempFolder folder;
    std::unique_ptr<Other> writer;
    const std::wstring db = testing_support::MakeSpilledDatabase(folder, L"spill.db", writer);
    const QStringList before = Files(folder);
    {
        const BusyTimeout wait(200);
        const DatabaseCopyResult busy = Copy(db, folder.Path(L"copy.db"));
        EXPECT_EQ(busy.error, EBUSY);
        EXPECT_TRUE(busy.sourceFailed);
    }
    const std::atomic<bool> cancel = true;
    EXPECT_EQ(Copy(db, folder.Path(L"copy.db"), &cancel).error, ECANCELED); // with the 30-second wait
    EXPECT_EQ(Files(folder), before);
    ASSERT_EQ(writer->Exec("COMMIT"), SQLITE_OK);
    ASSERT_EQ(Copy(db, folder.Path(L"copy.db")).error, 0);
    EXPECT_EQ(QueryRaw(folder.Path(L"copy.db"), "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(QueryRaw(folder.Path(L"copy.db"), "SELECT count(*) FROM t"), "20000");
}

// A reader on an old snapshot keeps every checkpoint from reaching the newest rows; the
// copy holds them all the same.
TEST(DatabaseCopy, AReaderOnAnOldSnapshotDoesNotHoldTheCopyBack)
{
    TempFolder folder;
    const std::wstring db =
        folder.MakeDatabase(L"wal.db", "PRAGMA journal_mode=WAL; CREATE TABLE t(a); INSERT INTO t VALUES (0);");
    Other reader(db);
    ASSERT_EQ(reader.Exec("BEGIN; SELECT count(*) FROM t;"), SQLITE_OK);
    Other writer(db);
    ASSERT_EQ(writer.Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
                          "INSERT INTO t SELECT i FROM n; PRAGMA wal_checkpoint(PASSIVE);"),
              SQLITE_OK);
    ASSERT_EQ(Copy(db, folder.Path(L"copy.db")).error, 0);
    EXPECT_EQ(QueryRaw(folder.Path(L"copy.db"), "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(QueryRaw(folder.Path(L"copy.db"), "SELECT count(*) FROM t"), "1001");
    reader.Exec("COMMIT");
}

// In rollback-journal mode the copy's read transaction holds the file still: no writer
// commits until the copy ends, and the copy holds the rows from before.
TEST(DatabaseCopy, RollbackWritersWaitUntilTheCopyEnds)
{
    TempFolder folder;
    const std::wstring db = folder.MakeDatabase(
        L"a.db", "CREATE TABLE t(a); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40000) "
                 "INSERT INTO t SELECT randomblob(300) FROM n;");
    Other writer(db, 0);
    std::vector<int> during;
    ASSERT_EQ(CopyDatabaseFile(db, db + L".copy", nullptr,
                               [&](int) { during.push_back(writer.Exec("INSERT INTO t VALUES (1)")); })
                  .error,
              0);
    ASSERT_FALSE(during.empty());
    for (const int rc : during)
        EXPECT_EQ(rc, SQLITE_BUSY);
    EXPECT_EQ(writer.Exec("INSERT INTO t VALUES (1)"), SQLITE_OK);
    EXPECT_EQ(QueryRaw(db + L".copy", "SELECT count(*) FROM t"), "40000");
}

TEST(DatabaseCopy, CancellingMidWayLeavesNothing)
{
    TempFolder folder;
    const std::wstring db = folder.MakeDatabase(
        L"big.db", "CREATE TABLE t(a); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40000) "
                   "INSERT INTO t SELECT randomblob(500) FROM n;");
    std::atomic<bool> cancel = false;
    std::vector<int> percents;
    const DatabaseCopyResult result = CopyDatabaseFile(db, folder.Path(L"copy.db"), &cancel, [&](int percent) {
        percents.push_back(percent);
        cancel = true;
    });
    EXPECT_EQ(result.error, ECANCELED);
    ASSERT_EQ(percents.size(), 1u);
    EXPECT_LT(percents.front(), 100);
    EXPECT_EQ(Files(folder), QStringList{"big.db"});
}

// The copy a kill test kills: it copies TABULON_COPY_CHILD's source (first line) to its
// target (second line), with unnamed files or hidden names (third line), and stops for
// good at its first progress report, part-way.
constexpr char kChildVariable[] = "TABULON_COPY_CHILD";

TEST(DatabaseCopyChild, CopiesUntilKilledWhenStartedByAKillTest)
{
    const QByteArray job = qgetenv(kChildVariable);
    if (job.isEmpty())
        GTEST_SKIP() << "runs only as the copy that a kill test kills";
    const QList<QByteArray> lines = job.split('\n');
    ASSERT_EQ(lines.size(), 3);
    platform::UseUnnamedFiles(lines[2] == "unnamed");
    CopyDatabaseFile(platform::FromQString(QString::fromUtf8(lines[0])), platform::FromQString(QString::fromUtf8(lines[1])),
                     nullptr, [](int) {
                         std::fputs("\ncopying\n", stdout);
                         std::fflush(stdout);
                         for (;;)
                             ::pause();
                     });
}

// A copy killed part-way (SIGKILL), as a backup or a Save As copies, leaves nothing of
// its own in the target folder once the next copy into that folder is made; where the
// file system makes unnamed files it leaves nothing at all. While it still runs, the
// copies made beside it keep its file.
TEST(DatabaseCopy, ACopyKilledPartWayLeavesNothingAfterTheNextCopy)
{
    TempFolder folder;
    const std::wstring database = folder.MakeDatabase(
        L"big.db", "CREATE TABLE t(a); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40000) "
                   "INSERT INTO t SELECT randomblob(300) FROM n;");
    const std::wstring plain = folder.Path(L"plain.bin");
    {
        QFile file(platform::ToQString(plain));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(12 * 1024 * 1024, 'p'));
    }
    int run = 0;
    for (const char* mode : {"unnamed", "hidden"}) {
        for (const std::wstring& source : {database, plain}) {
            SCOPED_TRACE(std::string(mode) + " " + platform::ToQString(source).toStdString());
            const QString copies = platform::ToQString(folder.Path(L"copies" + std::to_wstring(++run)));
            ASSERT_TRUE(QDir().mkpath(copies));
            const auto names = [&] { return QDir(copies).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name); };
            const auto target = [&](const char* name) { return platform::FromQString(copies + QLatin1Char('/') + QLatin1String(name)); };

            QProcess child;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QString::fromLatin1(kChildVariable), platform::ToQString(source) + QLatin1Char('\n') +
                                                                       copies + QStringLiteral("/killed.db\n") +
                                                                       QString::fromLatin1(mode));
            child.setProcessEnvironment(environment);
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--gtest_filter=DatabaseCopyChild.CopiesUntilKilledWhenStartedByAKillTest")});
            QByteArray output;
            while (!output.contains("\ncopying\n"))
                if (child.waitForReadyRead(30000))
                    output += child.readAllStandardOutput();
                else
                    FAIL() << "the copy never got under way: " << output.toStdString();

            const QStringList during = names();
            if (std::string(mode) == "unnamed") {
                EXPECT_TRUE(during.isEmpty()) << during.join(QLatin1Char(' ')).toStdString();
            } else {
                ASSERT_EQ(during.size(), 1);
                EXPECT_TRUE(during[0].startsWith(QStringLiteral(".killed.db.")) && during[0].endsWith(QStringLiteral(".part")));
                EXPECT_GT(QFileInfo(copies + QLatin1Char('/') + during[0]).size(), 0);
            }
            ASSERT_EQ(Copy(source, target("beside.db")).error, 0);
            EXPECT_EQ(names(), QStringList(during) << QStringLiteral("beside.db"));

            child.kill();
            ASSERT_TRUE(child.waitForFinished(30000));
            ASSERT_EQ(Copy(source, target("next.db")).error, 0);
            EXPECT_EQ(names(), (QStringList{"beside.db", "next.db"}));
            if (source == database) {
                EXPECT_EQ(QueryRaw(target("next.db"), "PRAGMA integrity_check"), "ok");
                EXPECT_EQ(QueryRaw(target("next.db"), "SELECT count(*) FROM t"), "40000");
            } else {
                EXPECT_EQ(Bytes(target("next.db")), Bytes(source));
            }
        }
    }
}

} // namespace
