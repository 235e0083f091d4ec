// The connection, its statements, the schema functions and the failure texts.
#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "data/dbschema.h"
#include "data/longstatement.h"
#include "data/sqlite16.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QFile>

#include <atomic>
#include <functional>
#include <thread>

using testing_support::BoxRecorder;
using testing_support::CaptionRecorder;
using testing_support::ExecRaw;
using testing_support::Failure;
using testing_support::QueryRaw;
using testing_support::TempFolder;
using testing_support::Utf8;

namespace {

class Connection : public testing::Test {
protected:
    void SetUp() override
    {
        m_path = m_folder.MakeDatabase(L"test.db", "CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT);"
                                                   "INSERT INTO t VALUES(1,'a'),(2,'b');");
        m_db.OpenDb(m_path);
        g_pCurrentDb = &m_db;
    }
    void TearDown() override { g_pCurrentDb = nullptr; }

    // A connection on a file that is no database: every statement on it fails.
    void OpenJunk(CADbSqlDb& db)
    {
        db.OpenDb(m_folder.MakeJunkFile(L"junk.db"));
    }

    TempFolder m_folder;
    std::wstring m_path;
    CADbSqlDb m_db;
    BoxRecorder m_boxes;
};

TEST_F(Connection, ExecuteCmdRunsOnlyTheFirstOfTwoStatements)
{
    m_db.ExecuteCmd(L"INSERT INTO t VALUES(3,'c'); INSERT INTO t VALUES(4,'d');");
    EXPECT_EQ(QueryRaw(m_path, "SELECT group_concat(id) FROM t"), "1,2,3");
}

TEST_F(Connection, ExecuteCmdOfARowFailsAfterFinalizing)
{
    const CADbSqlException e = Failure([&] { m_db.ExecuteCmd(L"SELECT * FROM t"); });
    EXPECT_EQ(e.m_nCode, 1);
    EXPECT_EQ(e.m_strLocation, L"ExecuteCmd");
    EXPECT_EQ(e.GetErrorText().substr(0, 13), L"SQLITE_ERROR:");
    EXPECT_EQ(sqlite3_next_stmt(m_db.m_pDb, nullptr), nullptr);
}

TEST_F(Connection, TextWithoutAStatement)
{
    for (const std::wstring text : {L"", L"   ", L"-- only a comment", L"/* c */"}) {
        EXPECT_EQ(m_db.ExecuteStmt(text).get(), nullptr);
        m_db.ExecuteCmd(text);
        CADbSqlQuery query;
        const CADbSqlException e = Failure([&] { m_db.Query(query, text); });
        EXPECT_EQ(e.m_nCode, 0);
        EXPECT_EQ(e.GetErrorText().substr(0, 9), L"SQLITE_OK");
    }
}

// The engine reads a text only up to its first NUL character: a text with more than
// blanks and comments after one runs nothing, on every road a statement takes, instead
// of running what stands before it (every row deleted) or nothing at all, unsaid.
TEST_F(Connection, ATextTheEngineWouldReadOnlyInPartRunsNothing)
{
    using namespace std::string_literals;
    const std::function<void(const std::wstring&)> roads[] = {
        [&](const std::wstring& text) { m_db.ExecuteStmt(text); },
        [&](const std::wstring& text) { m_db.ExecuteCmd(text); },
        [&](const std::wstring& text) { ExecuteResponsively(m_db, text, L"running"); },
        [&](const std::wstring& text) {
            CADbSqlQuery query;
            m_db.Query(query, text);
        },
    };
    for (const std::wstring& text : {L"DELETE FROM t\0 WHERE id = 1"s, L"\0DELETE FROM t"s,
                                     L"DELETE FROM t WHERE id = 1;\0DELETE FROM t"s}) {
        SCOPED_TRACE(testing_support::Utf8(text));
        for (const auto& road : roads) {
            const CADbSqlException e = Failure([&] { road(text); });
            EXPECT_EQ(e.m_strMessage, STR_TEXT_AFTER_NUL);
        }
        EXPECT_EQ(QueryRaw(m_path, "SELECT group_concat(id) FROM t"), "1,2");
    }
    // After its blanks and comments nothing is lost: the statement before it is whole.
    EXPECT_TRUE(m_db.ExecuteCmd(L"DELETE FROM t WHERE id = 2;\0\n-- done\0"s));
    EXPECT_EQ(QueryRaw(m_path, "SELECT group_concat(id) FROM t"), "1");
    EXPECT_FALSE(m_db.ExecuteCmd(L"\0 /* nothing */"s));
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(Connection, QueryStandsOnTheFirstRow)
{
    CADbSqlQuery query;
    m_db.Query(query, L"SELECT id, name FROM t ORDER BY id");
    ASSERT_FALSE(query.Eof());
    EXPECT_EQ(query.m_nCols, 2);
    EXPECT_EQ(query.GetIntField(0), 1);
    EXPECT_EQ(std::wstring(query.GetFieldValue(1)), L"a");
    EXPECT_EQ(query.GetFieldName(1), L"name");
    EXPECT_FALSE(query.NextRow());
    EXPECT_EQ(query.GetIntField(0), 2);
    EXPECT_TRUE(query.NextRow());
    query.Finalize();

    m_db.Query(query, L"SELECT NULL, 'x' FROM t WHERE id = 1");
    EXPECT_EQ(query.GetFieldValue(0), nullptr);
    // Two column texts can be held at once.
    const wchar_t* second = query.GetFieldValue(1);
    query.GetFieldValue(0);
    EXPECT_EQ(std::wstring(second), L"x");
    query.Finalize();

    CADbSqlQuery empty;
    EXPECT_TRUE(empty.Eof());
    const CADbSqlException e = Failure([&] { empty.NextRow(); });
    EXPECT_EQ(e.GetErrorText(), L"NULL_POINTER:<pStmt(NULL)>:<CheckStm>");
}

TEST_F(Connection, FailedQueryNamesWhereItFailed)
{
    CADbSqlQuery query;
    const CADbSqlException prepare = Failure([&] { m_db.Query(query, L"SELECT * FROM missing"); });
    EXPECT_EQ(prepare.GetErrorText(), L"SQLITE_ERROR:<no such table: missing>:<ExecuteStmt>");
    // A failed step has no location of its own.
    const CADbSqlException step = Failure([&] { m_db.Query(query, L"INSERT INTO t VALUES(1,'again')"); });
    EXPECT_EQ(step.GetErrorText(), L"SQLITE_CONSTRAINT:<UNIQUE constraint failed: t.id>:<>");
    EXPECT_EQ(sqlite3_next_stmt(m_db.m_pDb, nullptr), nullptr);
}

TEST_F(Connection, NonAsciiTextRoundTripsThroughTheEngine)
{
    const std::wstring text = L"Grüße \U0001F600 表";
    const SqlStatement stmt = m_db.ExecuteStmt(L"INSERT INTO t(name) VALUES('Grüße \U0001F600 表')");
    ASSERT_EQ(sqlite3_step(stmt), SQLITE_DONE);
    CADbSqlQuery query;
    m_db.Query(query, L"SELECT name, length(name) FROM t WHERE id = 3");
    EXPECT_EQ(std::wstring(query.GetFieldValue(0)), text);
    EXPECT_EQ(query.GetIntField(1), 9); // the engine counts characters, not UTF-16 units
    query.Finalize();
}

TEST_F(Connection, CloseFinalizesStatementsStillHeldAndEmptiesTheirOwners)
{
    CADbSqlQuery query;
    m_db.Query(query, L"SELECT * FROM t");
    SqlStatement other = m_db.ExecuteStmt(L"SELECT 1");
    ASSERT_NE(other.get(), nullptr);
    // A statement of another connection stays with its owner.
    CADbSqlDb second;
    second.OpenDb(m_path);
    SqlStatement elsewhere = second.ExecuteStmt(L"SELECT 2");
    m_db.CloseDb();
    EXPECT_EQ(m_db.m_pDb, nullptr);
    EXPECT_FALSE(m_db.m_bOpen);
    // The owners let go, so that finalizing them (or their going) touches no freed statement.
    EXPECT_EQ(query.m_pStmt.get(), nullptr);
    EXPECT_EQ(other.get(), nullptr);
    query.Finalize();
    EXPECT_EQ(other.Finalize(), SQLITE_OK);
    ASSERT_NE(elsewhere.get(), nullptr);
    EXPECT_EQ(sqlite3_step(elsewhere), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(elsewhere, 0), 2);
    // A closed connection reopens its file on the next statement.
    m_db.ExecuteCmd(L"INSERT INTO t VALUES(9,'z')");
    EXPECT_TRUE(m_db.m_bOpen);
    EXPECT_EQ(QueryRaw(m_path, "SELECT name FROM t WHERE id = 9"), "z");
}

TEST_F(Connection, StatementOwnersMovedAroundAreAllFoundByTheClose)
{
    SqlStatement first = m_db.ExecuteStmt(L"SELECT 1");
    sqlite3_stmt* const raw = first;
    SqlStatement second(std::move(first));
    EXPECT_EQ(first.get(), nullptr);
    EXPECT_EQ(second.get(), raw);
    SqlStatement third = m_db.ExecuteStmt(L"SELECT 2");
    third = std::move(second); // the statement third held is finalized here
    EXPECT_EQ(third.get(), raw);
    SqlStatement& self = third;
    third = std::move(self);
    EXPECT_EQ(third.get(), raw);
    // Owners that a growing vector moves as it reallocates.
    std::vector<SqlStatement> many;
    for (int i = 0; i < 40; ++i)
        many.push_back(m_db.ExecuteStmt(L"SELECT " + std::to_wstring(i)));
    many.erase(many.begin() + 5, many.begin() + 15);
    int held = 0;
    for (sqlite3_stmt* s = sqlite3_next_stmt(m_db.m_pDb, nullptr); s; s = sqlite3_next_stmt(m_db.m_pDb, s))
        ++held;
    EXPECT_EQ(held, 31); // third's and the 30 left in the vector
    m_db.CloseDb();
    EXPECT_EQ(third.get(), nullptr);
    for (const SqlStatement& owner : many)
        EXPECT_EQ(owner.get(), nullptr);
}

TEST_F(Connection, OpenFailureLeavesNoHandle)
{
    CADbSqlDb db;
    const CADbSqlException e = Failure([&] { db.OpenDb(m_folder.Path(L"no/such/folder/x.db")); });
    EXPECT_EQ(e.m_nCode, SQLITE_CANTOPEN);
    EXPECT_EQ(e.m_strLocation, L"OpenDb");
    EXPECT_EQ(db.m_pDb, nullptr);
    EXPECT_FALSE(db.m_bOpen);
    const CADbSqlException check = Failure([&] { db.CheckDb(); });
    EXPECT_EQ(check.GetErrorText(), L"NULL_POINTER:<m_pDb(NULL)>:<CADbSqlDb::CheckDb()>");
}

TEST_F(Connection, OpeningAFileThatIsNoDatabaseFailsAtTheFirstStatement)
{
    CADbSqlDb db;
    OpenJunk(db);
    const std::wstring junk = db.m_strDbPath;
    std::wstring errorText;
    CADbSqlQuery query;
    GetTableNames(db, query, errorText);
    EXPECT_TRUE(query.Eof());
    EXPECT_EQ(query.m_pStmt.get(), nullptr);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().caption, L"Error");
    EXPECT_EQ(m_boxes.Last().style, platform::MB_OK | platform::MB_ICONERROR);
    EXPECT_EQ(m_boxes.Last().text, L"SQLITE_NOTADB:<file is not a database>:<ExecuteStmt>\n Location <00005>");
    EXPECT_EQ(errorText, m_boxes.Last().text);
    QFile file(platform::ToQString(junk));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray(4096, 'x'));
}

TEST_F(Connection, IteratorsServeOneIterationAtATime)
{
    SqlStatement stmt;
    int rows = 0;
    while (m_db.QueryData(L"SELECT * FROM t", stmt))
        ++rows;
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(stmt.get(), nullptr);
    while (m_db.QueryData(L"SELECT * FROM t WHERE id = 2", stmt))
        ++rows;
    EXPECT_EQ(rows, 3);

    std::vector<std::wstring> values;
    ASSERT_TRUE(FetchRow(L"PRAGMA table_info([t])", values));
    EXPECT_EQ(values.size(), 6u);
    EXPECT_EQ(values[1], L"id");
    values.clear();
    ASSERT_TRUE(FetchRow(L"PRAGMA table_info([t])", values));
    EXPECT_EQ(values[1], L"name");
    EXPECT_EQ(values[4], L""); // NULL default
    EXPECT_FALSE(FetchRow(L"PRAGMA table_info([t])", values));
    values.clear();
    ASSERT_TRUE(FetchRow(L"PRAGMA user_version", values));
    EXPECT_EQ(values, std::vector<std::wstring>{L"0"});
    EXPECT_FALSE(FetchRow(L"PRAGMA user_version", values));
}

TEST_F(Connection, IteratorsLeftEarlyNeverHandTheirRowsToTheNextCaller)
{
    m_db.ExecuteCmd(L"CREATE TABLE b(v)");
    m_db.ExecuteCmd(L"INSERT INTO b VALUES('b1'),('b2')");
    auto column1 = [](const SqlStatement& stmt) { return sqlite16::ColumnText(stmt, 1); };
    {
        // The first caller stops on the first row of t.
        SqlStatement early;
        ASSERT_TRUE(m_db.QueryData(L"SELECT * FROM t ORDER BY id", early));
    }
    SqlStatement stmt;
    std::vector<std::wstring> rows;
    while (m_db.QueryData(L"SELECT rowid, v FROM b ORDER BY rowid", stmt))
        rows.push_back(column1(stmt));
    EXPECT_EQ(rows, (std::vector<std::wstring>{L"b1", L"b2"}));

    // The same text with a statement of its own is another caller too.
    SqlStatement first;
    ASSERT_TRUE(m_db.QueryData(L"SELECT * FROM t ORDER BY id", first));
    rows.clear();
    while (m_db.QueryData(L"SELECT * FROM t ORDER BY id", stmt))
        rows.push_back(column1(stmt));
    EXPECT_EQ(rows, (std::vector<std::wstring>{L"a", L"b"}));

    std::vector<std::wstring> values;
    ASSERT_TRUE(FetchRow(L"SELECT * FROM t ORDER BY id", values));
    EXPECT_EQ(values, (std::vector<std::wstring>{L"1", L"a"}));
    std::vector<std::vector<std::wstring>> fetched;
    for (values.clear(); FetchRow(L"SELECT v FROM b ORDER BY rowid", values); values.clear())
        fetched.push_back(values);
    EXPECT_EQ(fetched, (std::vector<std::vector<std::wstring>>{{L"b1"}, {L"b2"}}));
    // Of the iterations left early, only the one whose caller still holds its statement remains.
    EXPECT_EQ(sqlite3_next_stmt(m_db.m_pDb, nullptr), first.get());
}

TEST_F(Connection, QueryDataFailureEndsTheIteration)
{
    m_db.ExecuteCmd(L"CREATE TABLE n(v)");
    m_db.ExecuteCmd(L"INSERT INTO n VALUES(1),(0)");
    SqlStatement stmt;
    // abs() of the smallest integer overflows on the second row.
    const std::wstring sql = L"SELECT abs(CASE v WHEN 0 THEN -9223372036854775807 - 1 ELSE 1 END) FROM n";
    ASSERT_TRUE(m_db.QueryData(sql, stmt));
    const CADbSqlException e = Failure([&] { m_db.QueryData(sql, stmt); });
    EXPECT_EQ(e.m_strLocation, L"QueryData");
    EXPECT_EQ(stmt.get(), nullptr);
    // The next iteration prepares afresh.
    int rows = 0;
    while (m_db.QueryData(L"SELECT * FROM t", stmt))
        ++rows;
    EXPECT_EQ(rows, 2);
}

TEST_F(Connection, FailedNextRowEndsTheIterationAndKeepsItsFailure)
{
    m_db.ExecuteCmd(L"CREATE TABLE n(v)");
    m_db.ExecuteCmd(L"INSERT INTO n VALUES(1),(2),(0),(3)");
    CADbSqlQuery query;
    // abs() of the smallest integer overflows on the third row.
    m_db.Query(query, L"SELECT abs(CASE v WHEN 0 THEN -9223372036854775807 - 1 ELSE v END) FROM n ORDER BY rowid");
    std::vector<int> rows;
    for (int guard = 0; !query.Eof() && guard < 10; ++guard) {
        rows.push_back(query.GetIntField(0));
        query.NextRow();
    }
    EXPECT_EQ(rows, (std::vector<int>{1, 2}));
    ASSERT_TRUE(query.StepFailed());
    EXPECT_EQ(query.StepFailure().GetErrorText(), L"SQLITE_ERROR:<integer overflow>:<NextRow>");
    // Stepped again, it stays at its end instead of starting over.
    EXPECT_TRUE(query.NextRow());
    EXPECT_TRUE(query.Eof());
    query.Finalize();
}

TEST_F(Connection, FailureTextIsTheFailuresOwnWhileAnotherThreadUsesTheConnection)
{
    // Every successful call of the other thread sets the connection's message to its own
    // ("not an error", "another row available").
    std::atomic<bool> stop{false};
    std::thread other([&] {
        SqlStatement stmt;
        sqlite16::Prepare(m_db.m_pDb, L"SELECT 1", stmt);
        while (!stop.load()) {
            sqlite3_step(stmt);
            sqlite3_reset(stmt);
        }
    });
    std::vector<std::wstring> wrong;
    for (int i = 0; i < 500 && wrong.size() < 5; ++i) {
        CADbSqlQuery query;
        const CADbSqlException prepare = Failure([&] { m_db.Query(query, L"SELECT * FROM missing"); });
        if (prepare.m_strMessage != L"no such table: missing")
            wrong.push_back(prepare.m_strMessage);
        const CADbSqlException step = Failure([&] { m_db.ExecuteCmd(L"INSERT INTO t VALUES(1,'again')"); });
        if (step.m_strMessage != L"UNIQUE constraint failed: t.id")
            wrong.push_back(step.m_strMessage);
    }
    stop = true;
    other.join();
    EXPECT_TRUE(wrong.empty()) << platform::ToQString(wrong.front()).toStdString();
}

TEST_F(Connection, ExecuteStepTakesOneStepAndLeavesNoStatement)
{
    int result = -1;
    std::wstring message;
    ASSERT_TRUE(m_db.ExecuteStep(L"PRAGMA journal_mode = WAL", result, message));
    EXPECT_EQ(result, SQLITE_ROW); // the assignment answers with a row
    EXPECT_EQ(sqlite3_next_stmt(m_db.m_pDb, nullptr), nullptr);
    ASSERT_TRUE(m_db.ExecuteStep(L"INSERT INTO t VALUES(1,'again')", result, message));
    EXPECT_EQ(result, SQLITE_CONSTRAINT);
    EXPECT_EQ(message, L"UNIQUE constraint failed: t.id");
    EXPECT_FALSE(m_db.ExecuteStep(L"-- nothing", result, message));

    EXPECT_FALSE(m_db.InTransaction());
    EXPECT_TRUE(m_db.ExecuteQuietly(L"BEGIN"));
    EXPECT_TRUE(m_db.InTransaction());
    EXPECT_FALSE(m_db.ExecuteQuietly(L"SELECT * FROM t")); // a row is no end
    EXPECT_FALSE(m_db.ExecuteQuietly(L"BEGIN"));          // fails quietly
    EXPECT_TRUE(m_db.ExecuteQuietly(L"COMMIT"));
    EXPECT_FALSE(m_db.InTransaction());
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(Connection, ColumnDescriptionsAndTypeCodes)
{
    m_db.ExecuteCmd(L"CREATE TABLE \"odd]name\"(\"a]b\" varchar(20) NOT NULL DEFAULT 'x', \"c,d\" numeric, "
                    L"\"é\" DATE, plain, PRIMARY KEY(\"c,d\"))");
    std::vector<CADbSqlFieldInfo> fields;
    ASSERT_TRUE(GetTableFieldInfo(L"odd]name", fields));
    ASSERT_EQ(fields.size(), 4u);
    EXPECT_EQ(fields[0].m_strName, L"a]b");
    EXPECT_EQ(fields[0].m_strType, L"varchar(20)");
    EXPECT_EQ(fields[0].m_nTypeCode, FIELDTYPE_TEXT);
    EXPECT_EQ(fields[0].m_strDefault, L"'x'");
    EXPECT_EQ(fields[0].m_nNotNull, 1);
    EXPECT_EQ(fields[1].m_nPk, 1);
    EXPECT_EQ(fields[1].m_nTypeCode, FIELDTYPE_FLOAT);
    EXPECT_EQ(fields[2].m_strName, L"é");
    EXPECT_EQ(fields[2].m_nTypeCode, FIELDTYPE_DATE);
    EXPECT_EQ(fields[3].m_nTypeCode, FIELDTYPE_TEXT);
    EXPECT_EQ(fields[0].GetType(), FIELDTYPE_TEXT);
    EXPECT_EQ(fields[0].m_strType, L"VARCHAR(20)");

    EXPECT_FALSE(GetTableFieldInfo(L"missing", fields));
    EXPECT_TRUE(fields.empty());
}

TEST(TypeCode, DeclaredTypesInRuleOrder)
{
    struct Case {
        const wchar_t* type;
        int code;
    };
    const Case cases[] = {
        {L"INTEGER", 1},  {L"POINT", 1},      {L"INTERVAL", 1},     {L"FLOATING POINT", 1}, {L"VARCHAR(20)", 3},
        {L"CLOB", 3},     {L"TEXT", 3},       {L"DECIMAL(10,2)", 3}, {L"BOOLEAN", 3},      {L"TIMESTAMP", 3},
        {L"BLOB", 4},     {L"BINARY", 4},     {L"NUMERIC", 2},      {L"REAL", 2},           {L"DOUBLE", 2},
        {L"FLOAT", 2},    {L"DATETIME", 8},   {L"TIME", 7},         {L"DATE", 6},           {L"DATE TIME", 3},
        {L"", 3},         {L"integer", 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetTypeCode(c.type), c.code) << platform::ToQString(c.type).toStdString();
    CADbSqlFieldInfo info;
    EXPECT_EQ(info.m_nCid, -1);
    EXPECT_EQ(info.m_nPk, -1);
    info.m_strType = L"integer";
    EXPECT_EQ(info.GetType(), 1);
    CADbSqlFieldInfo untyped;
    untyped.m_nTypeCode = 5;
    EXPECT_EQ(untyped.GetType(), 5);
}

TEST(ErrorText, CodeNameMessageAndLocation)
{
    struct Case {
        int code;
        const wchar_t* message;
        const wchar_t* location;
        const wchar_t* text;
    };
    const Case cases[] = {
        {1, L"near x", L"ExecuteCmd", L"SQLITE_ERROR:<near x>:<ExecuteCmd>"},
        {5, L"", L"OpenDb", L"SQLITE_BUSY:<OpenDb>"},
        {19, L"m", L"", L"SQLITE_CONSTRAINT:<m>:<>"},
        {26, L"", L"", L"SQLITE_NOTADB:<>"},
        {100, L"", L"x", L"SQLITE_ROW:<x>"},
        {101, L"", L"x", L"SQLITE_DONE:<x>"},
        {1000, L"m_pDb(NULL)", L"CADbSqlDb::CheckDb()", L"NULL_POINTER:<m_pDb(NULL)>:<CADbSqlDb::CheckDb()>"},
        {2067, L"", L"x", L"UNKNOWN_ERROR:<x>"},
        {27, L"", L"x", L"UNKNOWN_ERROR:<x>"},
        {-1, L"", L"x", L"UNKNOWN_ERROR:<x>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CADbSqlException(c.code, c.message, c.location).GetErrorText(), c.text);
}

TEST_F(Connection, SchemaListsExcludeTheEnginesOwnObjects)
{
    m_db.ExecuteCmd(L"CREATE TABLE u(a UNIQUE, b)");
    m_db.ExecuteCmd(L"CREATE INDEX ub ON u(b)");
    m_db.ExecuteCmd(L"CREATE VIEW v AS SELECT * FROM t");
    m_db.ExecuteCmd(L"CREATE TRIGGER tr AFTER INSERT ON t BEGIN SELECT 1; END");
    m_db.ExecuteCmd(L"CREATE TABLE c(x REFERENCES t(id), y REFERENCES u)");
    auto names = [](CADbSqlQuery& query) {
        std::vector<std::wstring> out;
        for (bool end = query.Eof(); !end; end = query.NextRow())
            out.push_back(query.GetFieldValue(0));
        query.Finalize();
        return out;
    };
    std::wstring error;
    CADbSqlQuery q;
    EXPECT_EQ(names(GetTableNames(m_db, q, error)), (std::vector<std::wstring>{L"c", L"t", L"u"}));
    EXPECT_EQ(names(GetObjectNames(q, L"index")), std::vector<std::wstring>{L"ub"});
    EXPECT_EQ(names(GetObjectNames(q, L"view")), std::vector<std::wstring>{L"v"});
    EXPECT_EQ(names(GetObjectNames(q, L"trigger")), std::vector<std::wstring>{L"tr"});
    GetForeignKeys(q, L"c");
    int keys = 0;
    for (bool end = q.Eof(); !end; end = q.NextRow())
        ++keys;
    q.Finalize();
    EXPECT_EQ(keys, 2);
    EXPECT_TRUE(GetForeignKeys(q, L"t").Eof());
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// The names of the objects that the workspace shows: the main and the temporary schema
// together, by name, without the engine's own objects and without the program's temporary
// views behind its query windows (a view of that name in the file is the user's).
TEST_F(Connection, ObjectNamesJoinTheTemporarySchema)
{
    for (const wchar_t* statement : {
             L"CREATE TABLE u(a UNIQUE, b)", L"CREATE INDEX ub ON u(b)", L"ANALYZE",
             L"CREATE TEMP TABLE s(x)", L"CREATE INDEX temp.sx ON s(x)", L"CREATE TEMP TABLE q(x UNIQUE)",
             L"CREATE TRIGGER tr AFTER INSERT ON t BEGIN SELECT 1; END",
             L"CREATE TEMP TRIGGER a_tr AFTER INSERT ON t BEGIN SELECT 1; END",
             L"CREATE VIEW _TMPQRYVW_TBL_x AS SELECT 1", L"CREATE TEMP VIEW w AS SELECT 1",
             L"CREATE TEMP VIEW _TMPQRYVW_TBL_7 AS SELECT 1"})
        m_db.ExecuteCmd(statement);
    const struct {
        const wchar_t* type;
        std::vector<std::wstring> names;
    } cases[] = {
        {L"table", {L"q", L"s", L"t", L"u"}},
        {L"index", {L"sx", L"ub"}},
        {L"trigger", {L"a_tr", L"tr"}},
        {L"view", {L"_TMPQRYVW_TBL_x", L"w"}},
    };
    for (const auto& c : cases) {
        CADbSqlQuery query;
        std::vector<std::wstring> names;
        for (bool end = GetObjectNames(query, c.type).Eof(); !end; end = query.NextRow())
            names.push_back(query.GetFieldValue(0));
        query.Finalize();
        EXPECT_EQ(names, c.names) << Utf8(c.type);
    }
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(Connection, ListFailuresAreShownWithTheirOwnCodes)
{
    CaptionRecorder lines;
    CADbSqlDb junk;
    OpenJunk(junk);
    g_pCurrentDb = &junk;
    CADbSqlQuery q;
    EXPECT_TRUE(GetSchemaRows(q, L"view").Eof());
    EXPECT_TRUE(GetSchemaRows(q, L"trigger").Eof());
    EXPECT_TRUE(GetForeignKeys(q, L"t").Eof());
    ASSERT_EQ(m_boxes.Count(), 2u);
    EXPECT_NE(m_boxes.Boxes()[0].text.find(L"\n Location <00006>"), std::wstring::npos);
    EXPECT_NE(m_boxes.Boxes()[1].text.find(L"\n Location <00007>"), std::wstring::npos);
    ASSERT_EQ(lines.Count(), 1u);
    EXPECT_EQ(lines.Last().type, platform::CAPTION_LINE_ERROR);
    EXPECT_NE(lines.Last().text.find(L"\n Location <00026>"), std::wstring::npos);
    g_pCurrentDb = &m_db;
}

TEST_F(Connection, DropsDropOnlyTheObjectNamed)
{
    m_db.ExecuteCmd(L"CREATE TABLE [a] (x)");
    m_db.ExecuteCmd(L"CREATE TABLE \"a]b\" (x)");
    m_db.ExecuteCmd(L"CREATE TABLE \"t] --\" (x)");
    m_db.ExecuteCmd(L"CREATE TABLE \"'; DROP TABLE t; --\" (x)");
    m_db.ExecuteCmd(L"CREATE INDEX \"i]x\" ON t(name)");
    m_db.ExecuteCmd(L"CREATE VIEW \"v\"\"q\" AS SELECT 1");
    m_db.ExecuteCmd(L"CREATE TRIGGER \"tr]\" AFTER INSERT ON t BEGIN SELECT 1; END");
    EXPECT_TRUE(DropTable(L"a]b"));
    EXPECT_TRUE(DropTable(L"t] --"));
    EXPECT_TRUE(DropTable(L"'; DROP TABLE t; --"));
    EXPECT_TRUE(DropIndex(L"i]x"));
    EXPECT_TRUE(DropView(L"v\"q"));
    EXPECT_TRUE(DropTrigger(L"tr]"));
    EXPECT_TRUE(DropTable(L"never existed"));
    EXPECT_EQ(QueryRaw(m_path, "SELECT group_concat(name, '|') FROM (SELECT name FROM sqlite_master ORDER BY name)"),
              "a|t");
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(Connection, DropFailureShowsItsBox)
{
    struct Case {
        bool (*drop)(const std::wstring&);
        const wchar_t* code;
    };
    CADbSqlDb junk;
    OpenJunk(junk);
    g_pCurrentDb = &junk;
    const Case cases[] = {{DropTable, L"00008"}, {DropIndex, L"00009"}, {DropTrigger, L"00010"}, {DropView, L"00011"}};
    for (const Case& c : cases) {
        m_boxes.Clear();
        EXPECT_FALSE(c.drop(L"t"));
        ASSERT_EQ(m_boxes.Count(), 1u);
        EXPECT_EQ(m_boxes.Last().text.substr(m_boxes.Last().text.size() - 18), std::wstring(L"\n Location <") + c.code + L">");
    }
    g_pCurrentDb = &m_db;
}

TEST_F(Connection, VacuumReportsCompletionOrItsFailure)
{
    VacuumDatabase();
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, L"Vacuum Completed");
    EXPECT_EQ(m_boxes.Last().caption, L"Tabulon");
    EXPECT_EQ(m_boxes.Last().style, platform::MB_OK | platform::MB_ICONINFORMATION);

    CADbSqlQuery reading;
    m_db.Query(reading, L"SELECT * FROM t");
    VacuumDatabase();
    ASSERT_EQ(m_boxes.Count(), 2u);
    EXPECT_EQ(m_boxes.Last().caption, L"Error");
    EXPECT_NE(m_boxes.Last().text.find(L"\n Location <00012>"), std::wstring::npos);
    reading.Finalize();
}

TEST_F(Connection, ColumnNamesOfAStatement)
{
    std::vector<std::wstring> names;
    EXPECT_TRUE(GetColumnNames(L"SELECT id AS \"ïd\", name FROM t", names));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"ïd", L"name"}));
    names.clear();
    EXPECT_TRUE(GetColumnNames(L"SELECT * FROM t WHERE 0", names));
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(GetColumnNames(L"-- nothing", names));
    EXPECT_THROW(GetColumnNames(L"SELEKT", names), CADbSqlException);
}


// The drop and the statement that replaces the object are one unit, seen from another
// connection on the same file, in both journal modes: the replacement's trigger fires
// there afterwards, and a replacement that fails leaves the old trigger firing.
class Replace : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        m_path = m_folder.MakeDatabase(L"replace.db", std::string("PRAGMA journal_mode = ") + GetParam() +
                                                         ";CREATE TABLE t(x); CREATE TABLE log(what TEXT);"
                                                         "CREATE TRIGGER tr AFTER INSERT ON t BEGIN "
                                                         "INSERT INTO log VALUES ('old'); END;");
        m_db.OpenDb(m_path);
        g_pCurrentDb = &m_db;
    }
    void TearDown() override { g_pCurrentDb = nullptr; }

    // What the trigger writes when the other connection inserts a row.
    std::string Fired()
    {
        ExecRaw(m_path, "DELETE FROM log; INSERT INTO t VALUES (1);");
        return QueryRaw(m_path, "SELECT group_concat(what) FROM log");
    }

    static constexpr wchar_t kDrop[] = L"DROP TRIGGER IF EXISTS [tr]";
    TempFolder m_folder;
    std::wstring m_path;
    CADbSqlDb m_db;
};

TEST_P(Replace, BothStatementsTakeEffectOrNeither)
{
    EXPECT_EQ(QueryRaw(m_path, "PRAGMA journal_mode"), GetParam());
    EXPECT_EQ(Fired(), "old");

    const CADbSqlException e = Failure([&] {
        m_db.ReplaceAtomically(kDrop, L"CREATE TRIGGER tr AFTER INSERT ON nowhere BEGIN SELECT 1; END");
    });
    EXPECT_NE(e.m_strMessage.find(L"nowhere"), std::wstring::npos);
    EXPECT_FALSE(m_db.InTransaction());
    EXPECT_EQ(Fired(), "old");

    // A text without a statement drops nothing.
    for (const wchar_t* empty : {L"", L"  \n", L"-- nothing"})
        EXPECT_FALSE(m_db.ReplaceAtomically(kDrop, empty));
    EXPECT_EQ(Fired(), "old");

    EXPECT_TRUE(m_db.ReplaceAtomically(kDrop, L"CREATE TRIGGER tr AFTER INSERT ON t BEGIN INSERT INTO log VALUES "
                                              L"('new'); END; INSERT INTO log VALUES ('second statement')"));
    EXPECT_FALSE(m_db.InTransaction());
    EXPECT_EQ(Fired(), "new");
    EXPECT_EQ(QueryRaw(m_path, "SELECT count(*) FROM sqlite_master WHERE name = 'tr'"), "1");
}

// Inside a transaction the user opened (the console's BEGIN) the unit is a savepoint of
// it: a failure undoes only the unit and the transaction stays open with its own work.
TEST_P(Replace, InsideAnOpenTransactionOnlyTheUnitIsUndone)
{
    m_db.ExecuteCmd(L"BEGIN");
    m_db.ExecuteCmd(L"INSERT INTO log VALUES ('mine')");
    EXPECT_THROW(m_db.ReplaceAtomically(kDrop, L"CREATE TRIGGER tr AFTER INSERT ON missing BEGIN SELECT 1; END"),
                 CADbSqlException);
    EXPECT_TRUE(m_db.InTransaction());
    EXPECT_TRUE(m_db.ReplaceAtomically(kDrop, L"CREATE TRIGGER tr AFTER INSERT ON t BEGIN INSERT INTO log VALUES "
                                              L"('new'); END"));
    EXPECT_TRUE(m_db.InTransaction());
    m_db.ExecuteCmd(L"COMMIT");
    EXPECT_EQ(QueryRaw(m_path, "SELECT group_concat(what) FROM log"), "mine");
    EXPECT_EQ(Fired(), "new");
}

INSTANTIATE_TEST_SUITE_P(JournalModes, Replace, testing::Values("wal", "delete"));

// The holder of a name: bound, matched as the engine matches names (ASCII letters in any
// case), with tables, views and indexes sharing their names and triggers keeping theirs.
TEST_F(Connection, SchemaNameHolderIsFoundAsTheEngineMatchesNames)
{
    m_db.ExecuteCmd(L"CREATE INDEX \"Idx'; --\" ON t(name)");
    m_db.ExecuteCmd(L"CREATE VIEW Ünï AS SELECT 1");
    m_db.ExecuteCmd(L"CREATE TRIGGER both AFTER INSERT ON t BEGIN SELECT 1; END");
    m_db.ExecuteCmd(L"CREATE VIEW [Both] AS SELECT 2");
    m_db.ExecuteCmd(L"CREATE TEMP TRIGGER tmp AFTER INSERT ON t BEGIN SELECT 1; END");
    struct Case {
        const wchar_t* type;
        const wchar_t* name;
        bool temporary;
        const wchar_t* holder;
    };
    const Case cases[] = {
        {L"index", L"IDX'; --", false, L"index"},
        {L"view", L"IDX'; --", false, L"index"},
        {L"index", L"T", false, L"table"},
        {L"view", L"ÜNï", false, L"view"},
        {L"index", L"ÜNï", false, L"view"},
        {L"view", L"ünï", false, L""}, // the engine folds ASCII letters only
        {L"trigger", L"IDX'; --", true, L""},
        {L"trigger", L"BOTH", false, L"trigger"}, // the trigger, not the view of its name
        {L"view", L"both", false, L"view"},
        {L"trigger", L"TMP", false, L""},
        {L"trigger", L"TMP", true, L"trigger"},
        {L"trigger", L"other", true, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing_support::Utf8(std::wstring(c.type) + L" " + c.name));
        EXPECT_EQ(SchemaNameHolder(c.type, c.name, c.temporary), c.holder);
    }
    EXPECT_EQ(sqlite3_next_stmt(m_db.m_pDb, nullptr), nullptr);
}

} // namespace
