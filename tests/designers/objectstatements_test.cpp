// The statements of the index, trigger and view designers: their exact texts, and what
// the database makes of them (read back from the schema, fired, queried).
#include "designers/objectstatements.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/currentdb.h"
#include "testsupport.h"

#include <gtest/gtest.h>

using testing_support::Failure;
using testing_support::QueryRaw;
using testing_support::Utf8;

namespace {

TEST(IndexText, KeysWithTheirCollationAndSortOneALine)
{
    const std::vector<KeyColumn> keys = {{L"a", L"NOCASE", L"DESC"}, {L"b", L"", L""}};
    EXPECT_EQ(CreateIndexText(L"i1", L"t", true, keys),
              L"CREATE UNIQUE INDEX IF NOT EXISTS [i1] ON [t] ( [a] COLLATE NOCASE DESC , \r\n[b])");
    // The one blank of the collation list's first entry is no collation; a sort alone
    // follows the name directly.
    EXPECT_EQ(CreateIndexText(L"i2", L"t", false, {{L"a", L" ", L"ASC"}, {L"b", L"RTRIM", L" "}}),
              L"CREATE INDEX IF NOT EXISTS [i2] ON [t] ( [a]ASC , \r\n[b] COLLATE RTRIM )");
    EXPECT_EQ(CreateIndexText(L"i3", L"t", false, {}), L"CREATE INDEX IF NOT EXISTS [i3] ON [t] ( )");
    EXPECT_EQ(CreateIndexText(L"x]y", L"a]b", false, {{L"c]d", L"", L""}}),
              L"CREATE INDEX IF NOT EXISTS \"x]y\" ON \"a]b\" ( \"c]d\")");
}

TEST(TriggerText, TheFormsOfTheStatement)
{
    TriggerDesign design;
    design.m_strName = L"t1";
    design.m_strTime = L"AFTER";
    design.m_strEvent = L"UPDATE OF";
    design.m_arrPickedColumns = {L"a", L"b"};
    design.m_strColumns = L"a, b";
    design.m_strTable = L"t";
    design.m_bForEachRow = true;
    design.m_strBody = L"BEGIN\nSELECT 1;\nEND";
    EXPECT_EQ(CreateTriggerText(design),
              L"CREATE   TRIGGER IF NOT EXISTS [t1] AFTER UPDATE OF a, b ON t FOR EACH ROW BEGIN\nSELECT 1;\nEND");

    // Names that are no plain identifiers are quoted; the trigger's own name is bracketed.
    design.m_bTemporary = true;
    design.m_strName = L"my trigger";
    design.m_strTable = L"order";
    design.m_arrPickedColumns = {L"my col", L"select", L"x"};
    design.m_strColumns = L"my col, select, x";
    design.m_bForEachRow = false;
    design.m_strWhen = L"NEW.x > 0";
    EXPECT_EQ(CreateTriggerText(design), L"CREATE TEMPORARY  TRIGGER IF NOT EXISTS [my trigger] AFTER UPDATE OF "
                                         L"[my col], [select], x ON [order] WHEN NEW.x > 0 BEGIN\nSELECT 1;\nEND");

    // A column list typed over the picked one is written as typed.
    design.m_strColumns = L"x";
    design.m_strTable = L"my table";
    design.m_strWhen = L"  when\nNEW.x > 0";
    EXPECT_EQ(CreateTriggerText(design), L"CREATE TEMPORARY  TRIGGER IF NOT EXISTS [my trigger] AFTER UPDATE OF x ON "
                                         L"[my table]   when\nNEW.x > 0 BEGIN\nSELECT 1;\nEND");

    // Another event carries no column list; a blank condition is none.
    design.m_strEvent = L"DELETE";
    design.m_strWhen = L" \n ";
    EXPECT_EQ(CreateTriggerText(design),
              L"CREATE TEMPORARY  TRIGGER IF NOT EXISTS [my trigger] AFTER DELETE ON [my table] BEGIN\nSELECT 1;\nEND");
}

TEST(ViewText, TheSelectFollowsDirectly)
{
    EXPECT_EQ(CreateViewText(L"vw", L"SELECT 1"), L"CREATE VIEW IF NOT EXISTS [vw] AS SELECT 1");
    EXPECT_EQ(CreateViewText(L"v]w", L"SELECT 1"), L"CREATE VIEW IF NOT EXISTS \"v]w\" AS SELECT 1");
}

class Statements : public testing::Test {
protected:
    void SetUp() override
    {
        m_path = m_folder.MakeDatabase(L"objects.db", "CREATE TABLE [order](id INTEGER PRIMARY KEY, [my col] TEXT, "
                                                      "x INT, [select] TEXT);"
                                                      "CREATE TABLE [my table](id INTEGER PRIMARY KEY, [my col] TEXT, "
                                                      "x INT, [select] TEXT);"
                                                      "CREATE TABLE log(what TEXT);");
        m_db.OpenDb(m_path);
        g_pCurrentDb = &m_db;
    }
    void TearDown() override { g_pCurrentDb = nullptr; }

    std::string Log() { return Utf8(Text(L"SELECT group_concat(what, ',') FROM (SELECT what FROM log ORDER BY rowid)")); }

    std::wstring Text(const std::wstring& sql)
    {
        CADbSqlQuery query;
        m_db.Query(query, sql);
        const wchar_t* value = query.Eof() ? nullptr : query.GetFieldValue(0);
        return value ? value : L"";
    }

    testing_support::TempFolder m_folder;
    std::wstring m_path;
    CADbSqlDb m_db;
};

// Keys with collations and sorts come back from the engine as composed.
TEST_F(Statements, AnIndexOnSeveralKeysIsCreatedAsComposed)
{
    m_db.ExecuteCmd(CreateIndexText(L"by name", L"my table", true,
                                    {{L"my col", L"NOCASE", L"DESC"}, {L"select", L" ", L"ASC"}, {L"x", L"RTRIM", L""}}));
    EXPECT_EQ(Text(L"SELECT tbl_name FROM sqlite_master WHERE type = 'index' AND name = 'by name'"), L"my table");
    EXPECT_EQ(Text(L"SELECT group_concat(name || ':' || coll || ':' || desc, '|') FROM pragma_index_xinfo('by name') "
                   L"WHERE key"),
              L"my col:NOCASE:1|select:BINARY:0|x:RTRIM:0");
    EXPECT_EQ(Text(L"SELECT \"unique\" FROM pragma_index_list('my table') WHERE name = 'by name'"), L"1");
    m_db.ExecuteCmd(L"INSERT INTO [my table]([my col], [select], x) VALUES ('A', 's', 1)");
    EXPECT_THROW(m_db.ExecuteCmd(L"INSERT INTO [my table]([my col], [select], x) VALUES ('a', 's', 1)"), CADbSqlException);
}

// Every time and event, temporary or not, on tables whose names need quoting: each
// trigger is stored as composed and fires on its own event only.
TEST_F(Statements, TriggersOfEveryTimeAndEventAreStoredAndFire)
{
    struct Event {
        const wchar_t* event;
        const wchar_t* fire; // %s the table
    };
    const Event events[] = {
        {L"INSERT", L"INSERT INTO %s([my col], x) VALUES ('n', 5)"},
        {L"UPDATE", L"UPDATE %s SET x = x + 1"},
        {L"UPDATE OF", L"UPDATE %s SET [my col] = 'changed'"},
        {L"DELETE", L"DELETE FROM %s"},
    };
    int number = 0;
    for (const wchar_t* table : {L"order", L"my table"})
        for (const wchar_t* time : {L"BEFORE", L"AFTER"})
            for (const Event& event : events)
                for (bool temporary : {false, true}) {
                    m_db.ExecuteCmd(L"DELETE FROM log");
                    const std::wstring quoted = std::wstring(L"[") + table + L"]";
                    std::wstring fire = event.fire;
                    fire.replace(fire.find(L"%s"), 2, quoted);
                    m_db.ExecuteCmd(L"DELETE FROM " + quoted);
                    m_db.ExecuteCmd(L"INSERT INTO " + quoted + L"([my col], x) VALUES ('seed', 1)");

                    TriggerDesign design;
                    design.m_bTemporary = temporary;
                    design.m_strName = L"trigger " + std::to_wstring(++number);
                    design.m_strTime = time;
                    design.m_strEvent = event.event;
                    design.m_arrPickedColumns = {L"my col", L"select"};
                    design.m_strColumns = JoinColumnNames(design.m_arrPickedColumns);
                    design.m_strTable = table;
                    design.m_bForEachRow = true;
                    design.m_strWhen = L"1 = 1";
                    design.m_strBody = L"BEGIN\n INSERT INTO log VALUES ('" + design.m_strName + L"');\nEND";
                    const std::wstring sql = CreateTriggerText(design);
                    m_db.ExecuteCmd(sql);
                    const std::wstring schema = temporary ? L"sqlite_temp_master" : L"sqlite_master";
                    EXPECT_EQ(Text(L"SELECT sql FROM " + schema + L" WHERE type = 'trigger' AND name = '" +
                                   design.m_strName + L"'"),
                              sql.substr(0, 7) + sql.substr(sql.find(L"TRIGGER")).replace(8, 14, L""))
                        << Utf8(sql);
                    EXPECT_EQ(Text(L"SELECT tbl_name FROM " + schema + L" WHERE name = '" + design.m_strName + L"'"),
                              table);
                    // A change of x only is no change of the UPDATE OF columns.
                    if (std::wstring(event.event) == L"UPDATE OF") {
                        m_db.ExecuteCmd(L"UPDATE " + quoted + L" SET x = 7");
                        EXPECT_EQ(Log(), "") << Utf8(sql);
                    }
                    m_db.ExecuteCmd(fire);
                    EXPECT_EQ(Log(), Utf8(design.m_strName)) << Utf8(sql);
                    m_db.ExecuteCmd(L"DROP TRIGGER [" + design.m_strName + L"]");
                }
}

TEST_F(Statements, AWhenConditionDecidesWhetherTheTriggerFires)
{
    TriggerDesign design;
    design.m_strName = L"positive";
    design.m_strTime = L"AFTER";
    design.m_strEvent = L"INSERT";
    design.m_strTable = L"order";
    design.m_bForEachRow = true;
    design.m_strWhen = L"NEW.x > 0";
    design.m_strBody = L"BEGIN INSERT INTO log VALUES (NEW.x); END";
    m_db.ExecuteCmd(CreateTriggerText(design));
    m_db.ExecuteCmd(L"INSERT INTO [order](x) VALUES (-1), (3)");
    EXPECT_EQ(Log(), "3");
}

// INSTEAD OF takes a view in place of the table; its name is quoted like a table's.
TEST_F(Statements, AnInsteadOfTriggerOnAViewFires)
{
    m_db.ExecuteCmd(L"CREATE VIEW [order view] AS SELECT x FROM [order]");
    TriggerDesign design;
    design.m_strName = L"instead";
    design.m_strTime = L"INSTEAD OF";
    design.m_strEvent = L"INSERT";
    design.m_strTable = L"order view";
    design.m_bForEachRow = true;
    design.m_strBody = L"BEGIN INSERT INTO [order](x) VALUES (NEW.x * 10); END";
    m_db.ExecuteCmd(CreateTriggerText(design));
    m_db.ExecuteCmd(L"INSERT INTO [order view] VALUES (4)");
    EXPECT_EQ(Text(L"SELECT group_concat(x) FROM [order]"), L"40");
}

TEST_F(Statements, AViewIsCreatedAndQueried)
{
    m_db.ExecuteCmd(L"INSERT INTO [order](x) VALUES (1), (2), (3)");
    m_db.ExecuteCmd(CreateViewText(L"big ones", L"SELECT x FROM [order]\nWHERE x > 1"));
    EXPECT_EQ(Text(L"SELECT group_concat(x) FROM [big ones]"), L"2,3");
    EXPECT_EQ(Text(L"SELECT sql FROM sqlite_master WHERE name = 'big ones'"),
              L"CREATE VIEW [big ones] AS SELECT x FROM [order]\nWHERE x > 1");
}

} // namespace
