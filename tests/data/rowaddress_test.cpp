// How the record set reaches a row: the rowid alias by the engine's own rule, a rowid
// name that no column shadows, tables without a usable rowid, inserts the engine
// ignores, stored bytes written back, rowid order, loads that fail, keys changed while
// loading, and rollbacks of the caller's transaction.
#include "data/constants.h"
#include "data/rowloader.h"
#include "data/settings.h"
#include "recsettestsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

using testing_support::CaptionRecorder;
using testing_support::Failure;
using testing_support::QueryRaw;
using testing_support::TempFolder;

namespace {

class RowAddress : public RecSetFixture {
protected:
    // The rowids of the record set's rows, in datasheet order.
    static std::string RowIds(const CADbSqlRecSet& rs)
    {
        std::string ids;
        for (int row = 0; row < rs.GetRecordCount(); ++row) {
            if (row)
                ids += ',';
            ids += std::to_string(rs.GetRowId(row));
        }
        return ids;
    }
};

// The alias follows the engine: one key column declared INTEGER, not in the DESC
// column-constraint form, in a table with rowids.
TEST_F(RowAddress, TheRowIdAliasIsWhatTheEngineTakesForOne)
{
    const std::pair<const char*, bool> cases[] = {
        {"CREATE TABLE t(x INTEGER PRIMARY KEY, v)", true},
        {"CREATE TABLE t(x integer primary key asc, v)", true},
        {"CREATE TABLE t(x INTEGER, v, PRIMARY KEY(x DESC))", true},
        {"CREATE TABLE t(x INTEGER PRIMARY KEY DESC, v)", false},
        {"CREATE TABLE t(x INT PRIMARY KEY, v)", false},
        {"CREATE TABLE t(x BIGINT PRIMARY KEY, v)", false},
        {"CREATE TABLE t(x INTEGER, v INTEGER, PRIMARY KEY(x, v))", false},
    };
    for (const auto& [create, alias] : cases) {
        TableOnFile table;
        ASSERT_TRUE(table.Open(std::string(create) + ";INSERT INTO t VALUES(10, 1), (20, 2);")) << create;
        EXPECT_EQ(table.rs->IsRowIdAlias(0), alias) << create;
        EXPECT_FALSE(table.rs->IsRowIdAlias(1)) << create;
        // Only an alias makes a key's value the row's rowid.
        EXPECT_EQ(RowIds(*table.rs), alias ? "10,20" : "1,2") << create;
    }
}

// A column of the table's own named rowid, oid or _rowid_ (any case) never stands in
// for the rowid: every statement that addresses a row reaches the row itself.
TEST_F(RowAddress, AColumnNamedLikeTheRowidIsNeverTakenForIt)
{
    for (const char* column : {"rowid", "OID", "_Rowid_"}) {
        SCOPED_TRACE(column);
        TableOnFile table;
        ASSERT_TRUE(table.Open("CREATE TABLE t(" + std::string(column) + " INTEGER, name TEXT, data BLOB);"
                               "INSERT INTO t VALUES(7, 'a', NULL), (7, 'b', NULL), (7, 'c', NULL), (1, 'd', NULL);"
                               "CREATE TABLE p(k INTEGER, label TEXT); INSERT INTO p VALUES(7, 'b');"));
        TestRecSet& rs = *table.rs;
        const std::wstring& path = table.path;
        EXPECT_TRUE(rs.GetReadOnlyReason().empty());
        EXPECT_EQ(RowIds(rs), "1,2,3,4");
        EXPECT_EQ(Cell(rs, 1, 1), L"b");

        rs.Edit(rs.GetRowId(0));
        rs.BindField(0, L"7");
        rs.BindField(1, L"changed");
        EXPECT_EQ(rs.ExecuteBound(), 1);
        EXPECT_EQ(QueryRaw(path, "SELECT group_concat(name) FROM t"), "changed,b,c,d");

        rs.SetBlob(1, 2, "xy", 2);
        std::string bytes;
        EXPECT_TRUE(rs.GetBlob(1, 2, bytes));
        EXPECT_EQ(bytes, "xy");
        EXPECT_EQ(rs.GetBlobSize(1, 2), 2);
        EXPECT_EQ(QueryRaw(path, "SELECT count(*) FROM t WHERE data IS NOT NULL"), "1");

        CADbSqlQuery hits;
        rs.Search(hits, L"c", 1, 1);
        ASSERT_FALSE(hits.Eof());
        EXPECT_EQ(hits.GetInt64Field(0), 3);
        hits.Finalize();

        CADbSqlQuery related;
        rs.FindRelatedRows(related, 1, L"p", {L"name"}, {L"label"});
        EXPECT_FALSE(related.Eof()) << "row 2's own name is read";
        related.Finalize();

        EXPECT_EQ(rs.DeleteRows({1, 2}), 2);
        EXPECT_EQ(QueryRaw(path, "SELECT group_concat(name) FROM t"), "changed,d");
        EXPECT_EQ(RowIds(rs), "1,4");
    }
}

// A table whose rows have no rowid to be addressed by opens read-only: its rows show,
// the caption strip says why, and nothing writes to it.
TEST_F(RowAddress, ATableWithoutAUsableRowidOpensReadOnly)
{
    const std::pair<const char*, const wchar_t*> cases[] = {
        {"CREATE TABLE t(k TEXT PRIMARY KEY, v) WITHOUT ROWID;", STR_TABLE_WITHOUT_ROWID},
        {"CREATE TABLE t(rowid, oid, _ROWID_, k TEXT, v);", STR_ROWID_NAMES_SHADOWED},
    };
    for (const auto& [create, reason] : cases) {
        SCOPED_TRACE(create);
        const std::string insert = std::string(create).find("WITHOUT") != std::string::npos
                                       ? "INSERT INTO t VALUES('b', 2), ('a', 1), ('c', 3);"
                                       : "INSERT INTO t VALUES(5, 5, 5, 'b', 2), (5, 5, 5, 'a', 1), (5, 5, 5, 'c', 3);";
        CaptionRecorder lines;
        TableOnFile table;
        ASSERT_TRUE(table.Open(std::string(create) + insert));
        TestRecSet& rs = *table.rs;
        const std::wstring& path = table.path;
        DeliverQueuedEvents();
        EXPECT_EQ(rs.GetReadOnlyReason(), reason);
        ASSERT_EQ(lines.Count(), 1u);
        EXPECT_EQ(lines.Last().text, reason);
        EXPECT_EQ(rs.GetRecordCount(), 3);
        const int key = rs.m_nFields - 2;
        std::vector<std::wstring> keys;
        for (int row = 0; row < 3; ++row) {
            rs.MoveTo(row);
            keys.push_back(rs.GetFieldValue(key));
        }
        std::sort(keys.begin(), keys.end());
        EXPECT_EQ(keys, (std::vector<std::wstring>{L"a", L"b", L"c"}));
        EXPECT_EQ(rs.DeleteRows({0, 1}), 0);
        EXPECT_EQ(QueryRaw(path, "SELECT count(*) FROM t"), "3");
    }
}

// An INSERT that the engine ignores adds no row: no phantom line that would stand for
// the connection's last insert elsewhere.
TEST_F(RowAddress, AnIgnoredInsertAppendsNoRow)
{
    const char* const cases[] = {
        "CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT UNIQUE ON CONFLICT IGNORE);",
        "CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT);"
        "CREATE TRIGGER skip BEFORE INSERT ON t WHEN new.name = 'a' AND (SELECT count(*) FROM t) > 0"
        " BEGIN SELECT RAISE(IGNORE); END;",
    };
    for (const char* create : cases) {
        SCOPED_TRACE(create);
        TableOnFile table;
        ASSERT_TRUE(table.Open(std::string(create) + "INSERT INTO t VALUES(1, 'a'); CREATE TABLE other(x);"));
        TestRecSet& rs = *table.rs;
        // The connection's last insert is a row of another table, rowid 1 as well.
        table.db.ExecuteCmd(L"INSERT INTO other VALUES(1)");
        rs.AddNew({false, true});
        rs.BindField(1, L"a");
        EXPECT_EQ(rs.ExecuteBound(), 0);
        EXPECT_EQ(RowIds(rs), "1");
        rs.AddNew({false, true});
        rs.BindField(1, L"b");
        EXPECT_EQ(rs.ExecuteBound(), 1);
        EXPECT_EQ(RowIds(rs), "1,2");
        EXPECT_EQ(QueryRaw(table.path, "SELECT count(*) FROM t"), "2");
    }
}

// Only the rowid alias is bound as an integer; a text that is no rowid is refused
// there rather than stored as some number.
TEST_F(RowAddress, OnlyTheAliasBindsAsAnInteger)
{
    auto rs = Open("CREATE TABLE t(id INTEGER PRIMARY KEY, a INT, b BIGINT);"
                   "CREATE TABLE k(a INT, b INTEGER, PRIMARY KEY(a, b));"
                   "INSERT INTO t VALUES(1, 0, 0);");
    rs->Edit(1);
    rs->BindField(0, L"1");
    rs->BindField(1, L"12.5");
    rs->BindField(2, L"A-17");
    EXPECT_EQ(rs->ExecuteBound(), 1);
    EXPECT_EQ(Raw("SELECT quote(a) || ' ' || quote(b) FROM t"), "12.5 'A-17'");

    rs->Edit(1);
    EXPECT_EQ(Failure([&] { rs->BindField(0, L"12a"); }).m_strMessage, STR_NON_NUMERIC_KEY);
    rs->CancelBound();
    EXPECT_EQ(Raw("SELECT group_concat(id) FROM t"), "1");

    TestRecSet keys(&m_db, L"k");
    keys.m_pNotifyWnd = &m_target;
    ASSERT_TRUE(keys.OpenTable());
    keys.AddNew();
    keys.BindField(0, L"7.5");
    keys.BindField(1, L"B-2");
    EXPECT_EQ(keys.ExecuteBound(), 1);
    EXPECT_EQ(Raw("SELECT quote(a) || ' ' || quote(b) FROM k"), "7.5 'B-2'");
    ASSERT_TRUE(m_target.WaitForEnds(2));
}

// A text that is no valid UTF-8, or holds a NUL, is bound back with its stored bytes.
TEST_F(RowAddress, AStoredTextIsBoundBackByteForByte)
{
    auto rs = Open("CREATE TABLE t(id INTEGER PRIMARY KEY, latin TEXT, nul TEXT, n INTEGER);"
                   "INSERT INTO t VALUES(1, CAST(x'436166E9' AS TEXT), CAST(x'610062' AS TEXT), 1);");
    const std::string before = Raw("SELECT hex(latin) || ' ' || hex(nul) FROM t");
    ASSERT_EQ(before, "436166E9 610062");
    ASSERT_TRUE(rs->MoveToExact(0));
    std::vector<SqlValue> values;
    for (int column = 0; column < rs->m_nFields; ++column)
        values.push_back(rs->GetFieldSqlValue(column));
    rs->CloseRowStmt();
    rs->Edit(1);
    for (int column = 0; column < 3; ++column)
        rs->BindValue(column, values[static_cast<size_t>(column)]);
    rs->BindField(3, L"2");
    EXPECT_EQ(rs->ExecuteBound(), 1);
    EXPECT_EQ(Raw("SELECT hex(latin) || ' ' || hex(nul) || ' ' || typeof(latin) || n FROM t"), before + " text2");
}

// Unsorted rows, and the hits of a search, come in rowid order even where the engine
// would read the rowids from an index in that index's order.
TEST_F(RowAddress, UnsortedRowsAndHitsComeInRowidOrder)
{
    // The index is narrower than the table, so it covers a rowid query more cheaply.
    auto rs = Open("CREATE TABLE t(name TEXT, filler TEXT); CREATE INDEX by_name ON t(name);"
                   "INSERT INTO t VALUES('c', 'xxxxxxxxxxxxxxxxxxxx'), ('a', 'xxxxxxxxxxxxxxxxxxxx'),"
                   " ('b', 'xxxxxxxxxxxxxxxxxxxx');");
    EXPECT_EQ(RowIds(*rs), "1,2,3");
    CADbSqlQuery hits;
    rs->Search(hits, L"%", 0, 0);
    std::string ids;
    for (; !hits.Eof(); hits.NextRow())
        ids += std::to_string(hits.GetInt64Field(0));
    hits.Finalize();
    EXPECT_EQ(ids, "123");
}

// A load that fails before its first row (here: another program holds the file locked)
// leaves the rows listed before, and says it failed.
TEST_F(RowAddress, ALoadThatFailsAtOnceKeepsTheRows)
{
    auto rs = Open("CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT); INSERT INTO t VALUES(1,'b'),(2,'a'),(3,'c');");
    sqlite3_busy_timeout(m_db.m_pDb, 0);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(testing_support::Utf8(m_path).c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    rs->m_strSort = L"[name] ASC ";
    rs->Requery();
    ASSERT_TRUE(m_target.WaitForEnds(2));
    DeliverQueuedEvents();
    EXPECT_TRUE(rs->LoadFailed());
    EXPECT_EQ(RowIds(*rs), "1,2,3");
    ASSERT_GE(m_lines.Count(), 1u);
    EXPECT_EQ(m_lines.Last().type, 3);
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    rs->Requery();
    ASSERT_TRUE(m_target.WaitForEnds(3));
    EXPECT_FALSE(rs->LoadFailed());
    EXPECT_EQ(RowIds(*rs), "2,1,3");
}

// A trigger's RAISE(ROLLBACK) inside the caller's transaction undoes every delete of
// that transaction: the list keeps the rows the table still has.
TEST_F(RowAddress, ARollbackOfTheCallersTransactionKeepsEveryRow)
{
    auto rs = Open(NumberedRows("t", 6) +
                   "CREATE TRIGGER keep BEFORE DELETE ON t WHEN old.id = 4 BEGIN SELECT RAISE(ROLLBACK, 'kept'); END;");
    m_db.ExecuteCmd(L"BEGIN");
    EXPECT_EQ(rs->DeleteRows({0}), 1);
    EXPECT_EQ(RowIds(*rs), "2,3,4,5,6");
    EXPECT_EQ(rs->DeleteRows({0, 1, 2}), 0);
    EXPECT_TRUE(sqlite3_get_autocommit(m_db.m_pDb));
    ASSERT_TRUE(m_target.WaitForEnds(2));
    EXPECT_EQ(Raw("SELECT group_concat(id) FROM t"), "1,2,3,4,5,6");
    EXPECT_EQ(RowIds(*rs), "1,2,3,4,5,6");
}

// Runs an action inside the loader's step at one rowid of its walk: the one moment at
// which the walk is known to stand before a later rowid. The action waits until the
// user-interface thread has said it is idle (bounded), so it may act for that thread.
struct StepHook {
    sqlite3_int64 at = 0;
    std::function<void()> action;
    std::atomic<bool> idle{false};
    bool done = false;
};

void StepHookFunction(sqlite3_context* context, int, sqlite3_value** args)
{
    auto* hook = static_cast<StepHook*>(sqlite3_user_data(context));
    if (sqlite3_value_int64(args[0]) == hook->at && !hook->done) {
        hook->done = true;
        const QDeadlineTimer deadline(20000);
        while (!hook->idle && !deadline.hasExpired())
            std::this_thread::yield();
        hook->action();
    }
    sqlite3_result_int(context, 1);
}

// A key changed while the loader still walks the table is listed once: the walk meets
// the row again under its new rowid, before or after the row list follows the change.
TEST_F(RowAddress, AKeyChangedWhileLoadingIsListedOnce)
{
    const int saved = g_nMaxGridRows;
    g_nMaxGridRows = 0;
    for (const bool listFollowsInTheWalk : {true, false}) {
        SCOPED_TRACE(listFollowsInTheWalk);
        TempFolder folder;
        CADbSqlDb db;
        const std::wstring path = folder.MakeDatabase(L"k.db", NumberedRows("t", 5000));
        db.OpenDb(path);
        LoadRecorder target;
        TestRecSet rs(&db, L"t");
        rs.m_pNotifyWnd = &target;
        StepHook hook;
        hook.at = 3000;
        hook.action = [&] {
            rs.Edit(rs.GetRowId(4));
            rs.BindField(0, L"9000");
            rs.BindField(1, L"moved");
            EXPECT_EQ(rs.ExecuteBound(), 1);
            if (listFollowsInTheWalk)
                rs.SetRowId(4, 9000);
        };
        sqlite3_create_function(db.m_pDb, "hook", 1, SQLITE_UTF8, &hook, StepHookFunction, nullptr, nullptr);
        rs.m_strFilter = L"hook(rowid)";
        ASSERT_TRUE(rs.OpenTable());
        hook.idle = true;
        ASSERT_TRUE(target.WaitForEnds());
        EXPECT_TRUE(hook.done);
        if (!listFollowsInTheWalk)
            rs.SetRowId(4, 9000); // the loader has met rowid 9000 by now
        EXPECT_EQ(rs.GetRecordCount(), 5000);
        EXPECT_EQ(rs.GetRowId(4), 9000);
        EXPECT_EQ(rs.FindRowIndex(9000), 4);
        EXPECT_EQ(rs.GetRowId(4999), 5000);
        EXPECT_EQ(QueryRaw(path, "SELECT name FROM t WHERE id = 9000"), "moved");
    }
    g_nMaxGridRows = saved;
}

// The grid's read of a row never reads a BLOB's bytes, only the BLOB dialog does.
TEST_F(RowAddress, ReadingARowForTheGridLeavesItsBlobUnread)
{
    constexpr int kBlobBytes = 32 * 1024 * 1024;
    auto rs = Open("CREATE TABLE t(id INTEGER PRIMARY KEY, photo BLOB, raw, name TEXT);"
                   "INSERT INTO t VALUES(1, zeroblob(" + std::to_string(kBlobBytes) + "), zeroblob(" +
                   std::to_string(kBlobBytes) + "), 'big');");
    sqlite3_memory_highwater(1);
    const sqlite3_int64 before = sqlite3_memory_used();
    ASSERT_TRUE(rs->MoveTo(0));
    EXPECT_EQ(rs->GetFieldValue(0), std::wstring(L"1"));
    EXPECT_EQ(rs->GetFieldValue(1), nullptr);
    EXPECT_EQ(rs->GetFieldValue(2), nullptr);
    EXPECT_EQ(rs->GetFieldValue(3), std::wstring(L"big"));
    rs->CloseRowStmt();
    EXPECT_EQ(rs->GetBlobSize(0, 1), kBlobBytes);
    EXPECT_EQ(rs->GetBlobSize(0, 2), kBlobBytes);
    EXPECT_LT(sqlite3_memory_highwater(0) - before, kBlobBytes / 8) << "a BLOB's bytes were read";

    ASSERT_TRUE(rs->MoveToExact(0));
    EXPECT_EQ(rs->GetFieldSqlValue(2).m_blob.size(), static_cast<size_t>(kBlobBytes));
    rs->CloseRowStmt();
}

} // namespace
