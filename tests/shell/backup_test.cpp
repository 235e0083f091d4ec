#include "data/cadbsqldb.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "data/settings.h"
#include "data/sqlite16.h"
#include "document/session/currentdatabase.h"
#include "shell/backup.h"
#include "shell/settingsloaders.h"
#include "shellfixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#include <sqlite3.h>

#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

class BackupTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        LoadBackupSettings();
        m_backups = g_strBackupFolder;
    }

    void Touch(const std::wstring& name) const
    {
        QFile file(platform::ToQString(m_backups + L"/" + name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    // Makes one backup copy of source and returns the copy's file name.
    std::wstring Backup(const std::wstring& source)
    {
        std::wstring target;
        const std::atomic<bool> cancel = false;
        EXPECT_EQ(CopyBackupFile(source, target, cancel, {}).error, 0) << testing_support::Utf8(target);
        return target.substr(m_backups.size() + 1);
    }

    std::wstring m_backups;
};

TEST_F(BackupTest, CopiesAreNumberedPerFileAndDay)
{
    const std::wstring shop = m_folder.MakeDatabase(L"shop.db", "CREATE TABLE t(a); INSERT INTO t VALUES (1);");
    EXPECT_EQ(Backup(shop), L"shop2014-11-07 _0.db");
    EXPECT_EQ(Backup(shop), L"shop2014-11-07 _1.db");
    EXPECT_EQ(Backup(shop), L"shop2014-11-07 _2.db");
    SetToday(2014, 11, 8);
    EXPECT_EQ(Backup(shop), L"shop2014-11-08 _0.db");

    // Underscores in the name, names that look like patterns, no extension.
    const std::wstring mine = m_folder.MakeDatabase(L"my_shop.db", "CREATE TABLE t(a);");
    EXPECT_EQ(Backup(mine), L"my_shop2014-11-08 _0.db");
    EXPECT_EQ(Backup(mine), L"my_shop2014-11-08 _1.db");
    const std::wstring bracket = m_folder.MakeDatabase(L"s[1].db", "CREATE TABLE t(a);");
    EXPECT_EQ(Backup(bracket), L"s[1]2014-11-08 _0.db");
    EXPECT_EQ(Backup(bracket), L"s[1]2014-11-08 _1.db");
    const std::wstring bare = m_folder.MakeDatabase(L"plain", "CREATE TABLE t(a);");
    EXPECT_EQ(Backup(bare), L"plain2014-11-08 _0");
}

TEST_F(BackupTest, NumberingReadsTheTextAfterTheLastUnderscoreOfMatchingNames)
{
    const std::wstring probe = m_backups + L"/shop2014-11-07 .db";
    EXPECT_EQ(NextBackupNumber(probe), 0);
    Touch(L"shop2014-11-07 .db");          // no underscore: ignored
    Touch(L"shop2014-11-07 _x.db");        // no digits: 0
    Touch(L"shop2014-11-07 _41.db.tmp");   // another extension
    Touch(L"shop2014-11-07 _7.db");
    Touch(L"other2014-11-07 _50.db");      // another name
    EXPECT_EQ(NextBackupNumber(probe), 8);
    Touch(L"shop2014-11-07 _99999999999.db"); // clamped, never overflows
    EXPECT_EQ(NextBackupNumber(probe), 2147483647);
}

TEST_F(BackupTest, DueTestFollowsTheSwitchTheFileThePeriodAndTheLastTime)
{
    const std::wstring file = L"/data/shop.db";
    struct Case {
        bool automatic;
        int period;
        std::wstring path;
        std::wstring last;
        bool due;
    };
    const std::wstring never = STR_NO_BACKUP_TIME;
    const std::vector<Case> cases = {
        {false, 3, file, never, false},
        {true, 1, L"/data/other.db", never, false},
        {true, 1, L"/data/SHOP.db", never, false}, // paths are case-sensitive
        {true, 1, file, never, true},
        {true, 9, file, never, true},
        {true, 9, file, L"garbage", true}, // an unreadable time counts as never
        {true, 1, file, L"2014-11-06 23:59:00", true},
        {true, 1, file, L"2014-11-07 00:01:00", false},
        {true, 2, file, L"2014-11-01 08:00:00", false},
        {true, 2, file, L"2014-10-31 23:00:00", true},
        {true, 3, file, L"2014-11-07 09:00:00", true},
        {true, 4, file, L"2014-10-01 09:00:00", false},
    };
    g_strBackupFile = file;
    for (const Case& c : cases) {
        g_bAutoBackup = c.automatic;
        g_nBackupPeriod = c.period;
        m_store.UpdateTextValue(NODE_BACKUP_DATE_TIME, c.last);
        EXPECT_EQ(IsBackupDue(c.path), c.due) << testing_support::Utf8(c.path + L" " + c.last) << " period " << c.period;
        EXPECT_EQ(g_strLastBackup, c.automatic ? c.last : never);
    }
}

TEST_F(BackupTest, RecordingTheTimeWritesTheNodeButKeepsTheGlobal)
{
    SetToday(2014, 11, 7, 9, 5, 3);
    RecordBackupTime();
    EXPECT_EQ(Value(NODE_BACKUP_DATE_TIME), L"2014-11-07 09:05:03");
    EXPECT_EQ(g_strLastBackup, STR_NO_BACKUP_TIME);
}

TEST_F(BackupTest, CopyFailuresGiveTheirCodeAndSideAndLeaveNothing)
{
    const std::wstring shop = m_folder.MakeDatabase(L"shop.db", "CREATE TABLE t(a);");
    std::wstring target;
    const std::atomic<bool> cancel = false;
    const DatabaseCopyResult missing = CopyBackupFile(m_folder.Path(L"missing.db"), target, cancel, {});
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_TRUE(missing.sourceFailed);
    g_strBackupFolder = m_folder.Path(L"no-such-folder");
    const DatabaseCopyResult noFolder = CopyBackupFile(shop, target, cancel, {});
    EXPECT_EQ(noFolder.error, ENOENT);
    EXPECT_FALSE(noFolder.sourceFailed);
    EXPECT_EQ(target, m_folder.Path(L"no-such-folder") + L"/shop2014-11-07 _0.db");
    EXPECT_FALSE(QFile::exists(platform::ToQString(target)));
}

// Linux paths run to 4,096 bytes: a source deep in long folder names is named after
// its own file, never after a fragment of a folder's name.
TEST_F(BackupTest, ASourceOnALongPathIsNamedAfterItsFile)
{
    QString folder = platform::ToQString(m_folder.Path(L""));
    for (int i = 0; i < 3; ++i)
        folder += QLatin1Char('/') + QString(100, QChar(u'a' + i));
    ASSERT_TRUE(QDir().mkpath(folder));
    const std::wstring source = platform::FromQString(folder) + L"/shop.db";
    ASSERT_GT(source.size(), 300u);
    testing_support::ExecRaw(source, "CREATE TABLE t(a); INSERT INTO t VALUES (1);");
    EXPECT_EQ(Backup(source), L"shop2014-11-07 _0.db");
    EXPECT_EQ(testing_support::QueryRaw(m_backups + L"/shop2014-11-07 _0.db", "SELECT count(*) FROM t"), "1");
}

TEST_F(BackupTest, ACancelledCopyLeavesNoFile)
{
    const std::wstring big = m_folder.MakeDatabase(
        L"big.db", "CREATE TABLE t(a); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40000) "
                   "INSERT INTO t SELECT randomblob(500) FROM n;");
    std::atomic<bool> cancel = false;
    std::vector<int> percents;
    std::wstring target;
    const DatabaseCopyResult result = CopyBackupFile(big, target, cancel, [&](int percent) {
        percents.push_back(percent);
        cancel = true;
    });
    EXPECT_EQ(result.error, ECANCELED);
    EXPECT_EQ(percents.size(), 1u);
    EXPECT_LT(percents.front(), 100);
    EXPECT_FALSE(QFile::exists(platform::ToQString(target)));
}

// A WAL database whose newest rows live only in the log, opened by the program itself or
// held open by another connection, backs up complete and sound.
TEST_F(BackupTest, AnUncheckpointedLogIsInTheCopy)
{
    for (const bool programConnection : {true, false}) {
        const std::wstring name = programConnection ? L"open.db" : L"held.db";
        const std::wstring path = m_folder.MakeDatabase(name, "PRAGMA journal_mode=WAL; CREATE TABLE t(a);");
        sqlite3* held = nullptr;
        CADbSqlDb db;
        if (programConnection) {
            db.OpenDb(path);
            g_pCurrentDb = &db;
            g_strOpenDbPath = path;
            ASSERT_EQ(sqlite3_exec(db.m_pDb, "PRAGMA wal_autocheckpoint=0", nullptr, nullptr, nullptr), SQLITE_OK);
            db.ExecuteCmd(L"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000) "
                          L"INSERT INTO t SELECT i FROM n");
        } else {
            ASSERT_EQ(sqlite3_open(QFile::encodeName(platform::ToQString(path)).constData(), &held), SQLITE_OK);
            ASSERT_EQ(sqlite3_exec(held,
                                   "PRAGMA wal_autocheckpoint=0; WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT "
                                   "i + 1 FROM n WHERE i < 5000) INSERT INTO t SELECT i FROM n",
                                   nullptr, nullptr, nullptr),
                      SQLITE_OK);
        }
        const std::wstring copy = m_backups + L"/" + Backup(path);
        EXPECT_EQ(testing_support::QueryRaw(copy, "PRAGMA integrity_check"), "ok");
        EXPECT_EQ(testing_support::QueryRaw(copy, "SELECT count(*) FROM t"), "5000") << programConnection;
        if (programConnection) {
            // The program's connection goes on working.
            db.ExecuteCmd(L"INSERT INTO t VALUES (1)");
            g_pCurrentDb = nullptr;
            g_strOpenDbPath.clear();
        }
        sqlite3_close(held);
    }
}

// The copy never uses the program's own connection. While another program reads on an
// old snapshot (a checkpoint would have to wait for it) and the copy is half-way, the
// program's connection writes and reads with a busy time-out of 100 ms; then the copy
// ends while the program's connection is held locked by this thread.
TEST_F(BackupTest, TheProgramsConnectionNeverWaitsForACopy)
{
    const std::wstring path = m_folder.MakeDatabase(
        L"open.db", "PRAGMA journal_mode=WAL; CREATE TABLE t(a); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT "
                    "i + 1 FROM n WHERE i < 40000) INSERT INTO t SELECT randomblob(300) FROM n;");
    CADbSqlDb db;
    db.OpenDb(path);
    g_pCurrentDb = &db;
    g_strOpenDbPath = path;
    ASSERT_EQ(sqlite3_exec(db.m_pDb, "PRAGMA wal_autocheckpoint=0", nullptr, nullptr, nullptr), SQLITE_OK);
    const testing_support::OtherConnection reader(path);
    ASSERT_EQ(reader.Exec("BEGIN; SELECT count(*) FROM t;"), SQLITE_OK);
    db.ExecuteCmd(L"INSERT INTO t SELECT randomblob(300) FROM t LIMIT 1000"); // only in the log
    sqlite3_busy_timeout(db.m_pDb, 100);

    std::mutex mutex;
    std::condition_variable changed;
    bool halfway = false, released = false, ended = false;
    DatabaseCopyResult result;
    std::wstring target;
    const std::atomic<bool> cancel = false;
    std::thread worker([&] {
        result = CopyBackupFile(path, target, cancel, [&](int percent) {
            std::unique_lock lock(mutex);
            if (percent == 100 || halfway)
                return;
            halfway = true;
            changed.notify_all();
            changed.wait_for(lock, std::chrono::seconds(60), [&] { return released; });
        });
        const std::lock_guard lock(mutex);
        ended = true;
        changed.notify_all();
    });
    bool reachedHalfway = false;
    {
        std::unique_lock lock(mutex);
        reachedHalfway = changed.wait_for(lock, std::chrono::seconds(60), [&] { return halfway; });
    }
    EXPECT_TRUE(reachedHalfway);
    EXPECT_EQ(sqlite3_exec(db.m_pDb, "INSERT INTO t VALUES (1)", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db.m_pDb, "SELECT count(*) FROM t", nullptr, nullptr, nullptr), SQLITE_OK);
    bool endedWhileLocked = false;
    {
        const sqlite16::ConnectionLock program(db.m_pDb);
        std::unique_lock lock(mutex);
        released = true;
        changed.notify_all();
        endedWhileLocked = changed.wait_for(lock, std::chrono::seconds(60), [&] { return ended; });
    }
    worker.join();
    EXPECT_TRUE(endedWhileLocked) << "the copy waited for the program's connection";
    ASSERT_EQ(result.error, 0);
    EXPECT_EQ(testing_support::QueryRaw(target, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(testing_support::QueryRaw(target, "SELECT count(*) FROM t"), "41000");
    g_pCurrentDb = nullptr;
    g_strOpenDbPath.clear();
}

// The second process of the tests below: the test binary started again with one of
// these variables naming the database.
constexpr char kWriterVariable[] = "TABULON_BACKUP_WRITER"; // writes while the copy runs
constexpr char kSwitchVariable[] = "TABULON_BACKUP_SWITCH"; // tries to leave WAL mode at once

TEST(BackupSecondProcess, RunsOnlyWhenStartedAsTheSecondProcess)
{
    const QByteArray writePath = qgetenv(kWriterVariable);
    const QByteArray switchPath = qgetenv(kSwitchVariable);
    if (writePath.isEmpty() && switchPath.isEmpty())
        GTEST_SKIP() << "runs only as the second process of a backup test";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(writePath.isEmpty() ? switchPath.constData() : writePath.constData(), &db), SQLITE_OK);
    if (!switchPath.isEmpty()) {
        // Leaving WAL mode needs the file to itself: it fails while another process
        // still holds its connection's lock.
        const int rc = sqlite3_exec(db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
        fputs(rc == SQLITE_BUSY ? "locked\n" : "switched\n", stdout);
        sqlite3_close(db);
        return;
    }
    sqlite3_busy_timeout(db, 60000);
    for (int i = 0; i < 80; ++i) {
        ASSERT_EQ(sqlite3_exec(db,
                               "BEGIN IMMEDIATE; INSERT INTO t SELECT randomblob(300) FROM t LIMIT 50; "
                               "UPDATE t SET a = randomblob(300) WHERE rowid % 97 = 1; COMMIT;",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK)
            << sqlite3_errmsg(db);
        if (i == 0) {
            fputs("started\n", stdout);
            fflush(stdout);
        }
    }
    sqlite3_close(db);
}

void StartSecondProcess(QProcess& process, const char* variable, const std::wstring& path)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(variable), platform::ToQString(path));
    process.setProcessEnvironment(env);
    process.start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("--gtest_filter=BackupSecondProcess.RunsOnlyWhenStartedAsTheSecondProcess")});
    ASSERT_TRUE(process.waitForStarted(30000));
}

TEST_F(BackupTest, ASecondProcessWritingDuringTheCopyStillGivesASoundCopy)
{
    for (const char* mode : {"DELETE", "WAL"}) {
        const std::wstring path = m_folder.MakeDatabase(
            std::wstring(L"busy-") + platform::FromQString(QString::fromLatin1(mode)) + L".db",
            std::string("PRAGMA journal_mode=") + mode +
                "; CREATE TABLE t(a); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                "40000) INSERT INTO t SELECT randomblob(300) FROM n;");
        QProcess writer;
        StartSecondProcess(writer, kWriterVariable, path);
        while (!writer.readAllStandardOutput().contains("started"))
            ASSERT_TRUE(writer.waitForReadyRead(30000)) << "the writer never started writing";
        const std::wstring copy = m_backups + L"/" + Backup(path);
        ASSERT_TRUE(writer.waitForFinished(120000));
        EXPECT_EQ(writer.exitCode(), 0) << writer.readAllStandardOutput().toStdString();
        EXPECT_EQ(testing_support::QueryRaw(copy, "PRAGMA integrity_check"), "ok") << mode;
        EXPECT_GE(std::stoi(testing_support::QueryRaw(copy, "SELECT count(*) FROM t")), 40000) << mode;
    }
}

// Closing a descriptor of its own on the open database would drop every lock the
// process holds on the file, and another program could then take the log away from
// under the program's connection.
TEST_F(BackupTest, BackingUpTheOpenDatabaseKeepsItsConnectionsLock)
{
    const std::wstring path = m_folder.MakeDatabase(L"open.db", "PRAGMA journal_mode=WAL; CREATE TABLE t(a);");
    CADbSqlDb db;
    db.OpenDb(path);
    g_pCurrentDb = &db;
    g_strOpenDbPath = path;
    db.ExecuteCmd(L"INSERT INTO t VALUES (1)");
    const auto tryToLeaveWal = [&]() -> std::string {
        QProcess other;
        StartSecondProcess(other, kSwitchVariable, path);
        EXPECT_TRUE(other.waitForFinished(60000));
        const QByteArray output = other.readAllStandardOutput();
        return output.contains("\nlocked\n") ? "locked" : output.contains("\nswitched\n") ? "switched" : "no answer";
    };
    ASSERT_EQ(tryToLeaveWal(), "locked") << "the fixture's connection holds no lock to keep";
    Backup(path);
    EXPECT_EQ(tryToLeaveWal(), "locked");
    g_pCurrentDb = nullptr;
    g_strOpenDbPath.clear();
}

} // namespace
