// The program-wide open database: opening, name lists, foreign-key map, query views
// and the one-statement runners.
#include "data/cadbsqldb.h"
#include "data/currentdb.h"
#include "document/datasheet/cdataaccess.h"
#include "document/session/currentdatabase.h"
#include "databasefixture.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include <algorithm>

using testing_support::QueryRaw;

namespace {

class CurrentDatabase : public DatabaseFixture {
protected:
    void SetUp() override
    {
        DatabaseFixture::SetUp();
        ResetDatabaseGlobals();
    }

    const ForeignKeyMapEntry& Entry(const std::wstring& table)
    {
        const int index = g_pForeignKeyMap->FindTable(table);
        EXPECT_NE(index, -1);
        return g_pForeignKeyMap->m_arrEntries.at(static_cast<size_t>(index));
    }

};

TEST_F(CurrentDatabase, EveryOpenNamesItsSavedQueryNodeAlsoWithoutTables)
{
    OpenDatabase(L"bob's.db", "");
    EXPECT_EQ(m_mainFrame.m_strRecentQueryNode, L"RecentQuery.bob's");
    EXPECT_TRUE(m_store.NodeExists(L"RecentQuery.bob's"));
    EXPECT_FALSE(LoadTableNames());
    EXPECT_TRUE(g_arrTableNames.empty());

    DestroyDatabaseGlobals();
    CreateDatabaseGlobals();
    OpenDatabase(L"archive.2014.db", "CREATE TABLE t(a);");
    EXPECT_EQ(m_mainFrame.m_strRecentQueryNode, L"RecentQuery.archive.2014");
    EXPECT_TRUE(LoadTableNames());
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(CurrentDatabase, OpeningTheOpenDatabaseAgainKeepsItsConnection)
{
    OpenDatabase(L"x.db", "CREATE TABLE t(a);");
    sqlite3* handle = g_pCurrentDb->m_pDb;
    EXPECT_TRUE(CDataAccess::OpenDatabase());
    EXPECT_EQ(g_pCurrentDb->m_pDb, handle);
}

TEST_F(CurrentDatabase, FailedOpenShowsItsBoxAndClearsTheOpenPath)
{
    g_strOpenDbPath = L"/previous.db";
    g_strCurrentDbPath = m_folder.Path(L"no/such/folder/x.db");
    EXPECT_FALSE(CDataAccess::OpenDatabase());
    EXPECT_TRUE(g_strOpenDbPath.empty());
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_NE(m_boxes.Last().text.find(L"SQLITE_CANTOPEN"), std::wstring::npos);
    EXPECT_NE(m_boxes.Last().text.find(L"\n Location <00014>"), std::wstring::npos);
    g_strCurrentDbPath.clear();
    EXPECT_FALSE(CDataAccess::OpenDatabase());
    EXPECT_EQ(m_boxes.Count(), 1u);
}

TEST_F(CurrentDatabase, NameListsAreSortedAndLeaveOutTheEnginesObjects)
{
    OpenDatabase(L"x.db", "CREATE TABLE b(x UNIQUE); CREATE TABLE a(y); CREATE INDEX ia ON a(y);"
                  "CREATE VIEW v2 AS SELECT 1; CREATE VIEW v1 AS SELECT 2;"
                  "CREATE TRIGGER tr AFTER INSERT ON a BEGIN SELECT 1; END;");
    EXPECT_TRUE(LoadTableNames());
    LoadIndexNames();
    LoadTriggerNames();
    LoadViewNames();
    EXPECT_EQ(g_arrTableNames, (std::vector<std::wstring>{L"a", L"b"}));
    EXPECT_EQ(g_arrIndexNames, std::vector<std::wstring>{L"ia"});
    EXPECT_EQ(g_arrTriggerNames, std::vector<std::wstring>{L"tr"});
    EXPECT_EQ(g_arrViewNames, (std::vector<std::wstring>{L"v1", L"v2"}));
    DestroyDatabaseGlobals();
    EXPECT_EQ(g_pCurrentDb, nullptr);
    EXPECT_TRUE(g_arrTableNames.empty() && g_arrIndexNames.empty() && g_arrViewNames.empty());
}

TEST_F(CurrentDatabase, ForeignKeyMapLinksParentsAndChildren)
{
    OpenDatabase(L"fk.db", "CREATE TABLE customers(id INTEGER PRIMARY KEY, name);"
                   "CREATE TABLE regions(code PRIMARY KEY);"
                   "CREATE TABLE orders(id INTEGER PRIMARY KEY, region REFERENCES regions(code),"
                   "  customer_id, store, FOREIGN KEY(customer_id, store) REFERENCES CUSTOMERS(id, name));"
                   "CREATE TABLE staff(id INTEGER PRIMARY KEY, boss REFERENCES staff);");
    BuildForeignKeyMap();
    EXPECT_EQ(g_pForeignKeyMap->m_bIndexed, 1);
    ASSERT_EQ(g_pForeignKeyMap->m_arrEntries.size(), 4u);

    // The first row of the engine's list decides the parent, with that key's columns.
    const ForeignKeyMapEntry& orders = Entry(L"orders");
    EXPECT_EQ(orders.m_strParentTable, L"CUSTOMERS");
    EXPECT_EQ(orders.m_arrForeignKeyColumns, (std::vector<std::wstring>{L"customer_id", L"store"}));
    EXPECT_EQ(orders.m_arrParentColumns, (std::vector<std::wstring>{L"id", L"name"}));
    ASSERT_EQ(orders.m_arrForeignKeys.size(), 2u);
    EXPECT_EQ(orders.m_arrForeignKeys[1].m_strParentTable, L"regions");
    EXPECT_EQ(orders.m_arrForeignKeys[1].m_arrColumns, std::vector<std::wstring>{L"region"});

    // The parent written in other letter case still finds its table; every parent lists the child.
    const int ordersIndex = g_pForeignKeyMap->FindTable(L"orders");
    EXPECT_EQ(Entry(L"customers").m_arrChildren, std::vector<int>{ordersIndex});
    EXPECT_EQ(Entry(L"regions").m_arrChildren, std::vector<int>{ordersIndex});

    // A self-reference lists the table among its own children; no parent column means the key.
    const ForeignKeyMapEntry& staff = Entry(L"staff");
    EXPECT_EQ(staff.m_arrChildren, std::vector<int>{g_pForeignKeyMap->FindTable(L"staff")});
    EXPECT_EQ(staff.m_arrParentColumns, std::vector<std::wstring>{L""});
    EXPECT_EQ(g_pForeignKeyMap->FindTable(L"missing"), -1);
}

TEST_F(CurrentDatabase, ForeignKeyMapKeepsEveryKeyAndNoTableIsEveryonesParent)
{
    OpenDatabase(L"fk.db", "CREATE TABLE users(id INTEGER PRIMARY KEY, login UNIQUE);"
                           "CREATE TABLE messages(id INTEGER PRIMARY KEY, sender REFERENCES users(id),"
                           "  recipient REFERENCES users(login), body);"
                           "CREATE TABLE \"\"(x);"
                           "CREATE TABLE loose(y);");
    BuildForeignKeyMap();
    // Two keys to the same parent: both kept with their own columns, the child listed once.
    const ForeignKeyMapEntry& messages = Entry(L"messages");
    ASSERT_EQ(messages.m_arrForeignKeys.size(), 2u);
    std::vector<std::vector<std::wstring>> columns;
    for (const ForeignKey& key : messages.m_arrForeignKeys) {
        EXPECT_EQ(key.m_strParentTable, L"users");
        columns.push_back({key.m_arrColumns.at(0), key.m_arrParentColumns.at(0)});
    }
    std::sort(columns.begin(), columns.end());
    EXPECT_EQ(columns, (std::vector<std::vector<std::wstring>>{{L"recipient", L"login"}, {L"sender", L"id"}}));
    EXPECT_EQ(Entry(L"users").m_arrChildren, std::vector<int>{g_pForeignKeyMap->FindTable(L"messages")});
    EXPECT_EQ(messages.FindKeyTo(L"USERS"), &messages.m_arrForeignKeys.front());
    EXPECT_EQ(messages.FindKeyTo(L"loose"), nullptr);

    // A table named "" is nobody's parent: tables without keys have none.
    EXPECT_TRUE(Entry(L"").m_arrChildren.empty());
    EXPECT_TRUE(Entry(L"loose").m_arrForeignKeys.empty());
    EXPECT_TRUE(Entry(L"loose").m_strParentTable.empty());
}

TEST_F(CurrentDatabase, SchemaChangeMakesTheMapStale)
{
    OpenDatabase(L"fk.db", "CREATE TABLE p(id INTEGER PRIMARY KEY);");
    BuildForeignKeyMap();
    ASSERT_EQ(g_pForeignKeyMap->m_bIndexed, 1);
    ExecuteSql(L"CREATE TABLE c(p_id REFERENCES p(id))");
    LoadTableNames(); // as after every create or drop
    EXPECT_EQ(g_pForeignKeyMap->m_bIndexed, 0);
    BuildForeignKeyMap();
    EXPECT_EQ(Entry(L"p").m_arrChildren.size(), 1u);
}

TEST_F(CurrentDatabase, QueryViewsAreNumberedAcrossDatabases)
{
    OpenDatabase(L"q.db", "CREATE TABLE t(a); INSERT INTO t VALUES(1);");
    const std::wstring first = CreateQueryView(L"SELECT * FROM t", true);
    const std::wstring second = CreateQueryView(L"SELECT a FROM t", true);
    ASSERT_EQ(first.substr(0, 14), L"_TMPQRYVW_TBL_");
    const int n = std::stoi(first.substr(14));
    EXPECT_EQ(second, L"_TMPQRYVW_TBL_" + std::to_wstring(n + 1));
    DestroyDatabaseGlobals();
    CreateDatabaseGlobals();
    OpenDatabase(L"q2.db", "CREATE TABLE t(a);");
    EXPECT_EQ(CreateQueryView(L"SELECT * FROM t", true), L"_TMPQRYVW_TBL_" + std::to_wstring(n + 2));
    EXPECT_EQ(m_boxes.Count(), 0u);

    EXPECT_EQ(CreateQueryView(L"SELEKT 1", true), L"");
    ASSERT_EQ(m_boxes.Count(), 2u);
    EXPECT_NE(m_boxes.Boxes()[0].text.find(L"\n Location <00020>"), std::wstring::npos);
    EXPECT_EQ(m_boxes.Boxes()[1].text, L"Failed creating view\n Location <00023>");
}

TEST_F(CurrentDatabase, ViewSelectKeepsTheStoredText)
{
    OpenDatabase(L"v.db", "CREATE TABLE t(a); INSERT INTO t VALUES('abc');"
                  "CREATE VIEW selection_v AS\n  select a FROM t WHERE a = 'abc';"
                  "CREATE VIEW \"odd]v\" AS SELECT 1 AS one;");
    std::wstring select;
    EXPECT_EQ(GetViewSelect(select, L"selection_v"), L"select a FROM t WHERE a = 'abc'");
    EXPECT_EQ(GetViewSelect(select, L"SELECTION_V"), L"");
    EXPECT_EQ(GetViewSelect(select, L"odd]v"), L"SELECT 1 AS one");
}

TEST_F(CurrentDatabase, ProbeTellsDatabasesFromOtherFiles)
{
    const std::wstring text = m_folder.Path(L"notes.txt");
    {
        QFile file(platform::ToQString(text));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("just some notes, certainly not a database file at all\n").repeated(100));
    }
    EXPECT_FALSE(ProbeDatabaseFile(text));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_NE(m_boxes.Last().text.find(L"\n Location <00005>"), std::wstring::npos);

    const std::wstring fresh = m_folder.Path(L"fresh.db");
    EXPECT_TRUE(ProbeDatabaseFile(fresh));
    EXPECT_TRUE(QFileInfo::exists(platform::ToQString(fresh)));

    EXPECT_FALSE(ProbeDatabaseFile(m_folder.Path(L"no/such/dir/x.db")));
    ASSERT_EQ(m_boxes.Count(), 2u);
    EXPECT_NE(m_boxes.Last().text.find(L"\n Location <00014>"), std::wstring::npos);
}

TEST_F(CurrentDatabase, StatementRunnersReportOnlyRealSuccess)
{
    OpenDatabase(L"s.db", "CREATE TABLE t(a); INSERT INTO t VALUES(1);");
    EXPECT_TRUE(ExecuteSql(L"INSERT INTO t VALUES(2)"));
    EXPECT_FALSE(ExecuteSql(L"SELECT * FROM t"));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_NE(m_boxes.Last().text.find(L"\n Location <00020>"), std::wstring::npos);
    // A text without a statement runs nothing, and so nothing is said of it.
    EXPECT_FALSE(ExecuteSql(L"-- nothing to run\n"));
    EXPECT_EQ(m_boxes.Count(), 1u);

    EXPECT_TRUE(ExecuteSingleStep(L"PRAGMA journal_mode = WAL"));
    EXPECT_EQ(sqlite3_next_stmt(g_pCurrentDb->m_pDb, nullptr), nullptr);
    EXPECT_EQ(QueryRaw(g_strCurrentDbPath, "PRAGMA journal_mode"), "wal");
    EXPECT_FALSE(ExecuteSingleStep(L""));
    EXPECT_FALSE(ExecuteSingleStep(L"PRAGMA no_such_thing = (")); // does not prepare
    EXPECT_FALSE(ExecuteSingleStep(L"INSERT INTO missing VALUES(1)"));
    EXPECT_EQ(m_boxes.Count(), 3u);
}

TEST_F(CurrentDatabase, TableFieldsComeWithoutARecordSet)
{
    OpenDatabase(L"f.db", "CREATE TABLE \"t,1\"(id INTEGER PRIMARY KEY, \"n]m\" TEXT);");
    std::vector<CADbSqlFieldInfo> fields;
    ASSERT_TRUE(GetTableFields(L"t,1", fields));
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[1].m_strName, L"n]m");
    EXPECT_FALSE(GetTableFields(L"missing", fields));
}

TEST_F(CurrentDatabase, NewDatabaseOptionsAreCheckedThenApplied)
{
    OpenDatabase(L"new.db", "");
    EXPECT_TRUE(ApplyNewDatabasePragmas(L"UTF-16le", L"8192", 1));
    ExecuteSql(L"CREATE TABLE t(a)");
    EXPECT_EQ(QueryRaw(g_strCurrentDbPath, "PRAGMA encoding"), "UTF-16le");
    EXPECT_EQ(QueryRaw(g_strCurrentDbPath, "PRAGMA page_size"), "8192");
    EXPECT_EQ(QueryRaw(g_strCurrentDbPath, "PRAGMA auto_vacuum"), "1");

    const std::pair<std::wstring, std::wstring> refused[] = {
        {L"UTF-8\"; DROP TABLE t; --", L"4096"}, {L"latin1", L"4096"}, {L"UTF-8", L"1000"},
        {L"UTF-8", L"256"}, {L"UTF-8", L"4096; DROP TABLE t"}, {L"UTF-8", L"131072"}};
    for (const auto& [encoding, pageSize] : refused) {
        m_boxes.Clear();
        EXPECT_FALSE(ApplyNewDatabasePragmas(encoding, pageSize, 0));
        ASSERT_EQ(m_boxes.Count(), 1u);
        EXPECT_NE(m_boxes.Last().text.find(L"\n Location <00022>"), std::wstring::npos);
    }
    EXPECT_EQ(QueryRaw(g_strCurrentDbPath, "SELECT count(*) FROM sqlite_master"), "1");
}

} // namespace
