// The statement texts of a table design: each form's exact text for a table of cases,
// and every CREATE TABLE and ADD COLUMN run on a database and read back from it.
#include "designers/columnrecords.h"

#include "data/cadbsqldb.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using testing_support::Utf8;

ColumnDefinition Column(const std::wstring& name, const std::wstring& type,
                        const std::function<void(ColumnDefinition&)>& set = {})
{
    ColumnDefinition column;
    column.m_strName = name;
    column.m_strType = type;
    if (set)
        set(column);
    return column;
}

// Every constraint field set, so a piece that is written in the wrong place, twice or
// not at all changes the text.
ColumnDefinition FullConstraint()
{
    return Column(L"c", L"Integer", [](ColumnDefinition& c) {
        c.m_bHasConstraint = 1;
        c.m_bPrimaryKey = c.m_bNotNull = c.m_bUnique = c.m_bAutoIncrement = 1;
        c.m_strConstraintName = L"ck";
        c.m_strSortOrder = L"DESC";
        c.m_strPkConflict = L"ABORT";
        c.m_strNotNullConflict = L"FAIL";
        c.m_strUniqueConflict = L"IGNORE";
        c.m_strCheck = L"c > 0";
        c.m_strDefault = L"1";
        c.m_strCollate = L"NOCASE";
        c.m_strParentTable = L"p";
        c.m_arrParentKeys = {L"x"};
        c.m_strOnDelete = L"CASCADE";
    });
}

struct FormCase {
    const char* fault;
    ColumnDefinition column;
    const wchar_t* grid;
    const wchar_t* dialog;
};

TEST(ColumnRecords, ColumnDefinitionFormsWriteTheirExactText)
{
    const FormCase cases[] = {
        {"primary key without size: the grid's blank, the dialog's trailing blank",
         Column(L"id", L"Integer", [](ColumnDefinition& c) { c.m_bPrimaryKey = 1; }), L"[id] Integer PRIMARY KEY ",
         L"[id] Integer PRIMARY KEY "},
        {"size and precision follow the type",
         Column(L"n", L"Decimal", [](ColumnDefinition& c) {
             c.m_strSize = L"10";
             c.m_strPrecision = L"2";
         }),
         L"[n] Decimal(10,2) ", L"[n] Decimal (10,2) "},
        {"size alone", Column(L"n", L"VarChar", [](ColumnDefinition& c) { c.m_strSize = L"10"; }), L"[n] VarChar(10) ",
         L"[n] VarChar (10) "},
        {"a precision without a size is never written",
         Column(L"n", L"Decimal", [](ColumnDefinition& c) { c.m_strPrecision = L"2"; }), L"[n] Decimal ", L"[n] Decimal "},
        {"the plain form ignores every constraint field but the flags and the default",
         Column(L"c", L"Text",
                [](ColumnDefinition& c) {
                    c = FullConstraint();
                    c.m_strName = L"c";
                    c.m_strType = L"Text";
                    c.m_bHasConstraint = 0;
                    c.m_bPrimaryKey = c.m_bUnique = 0;
                }),
         L"[c] Text NOT NULL DEFAULT(1) ", L"[c] Text NOT NULL DEFAULT(1) "},
        {"every constraint piece in its order", FullConstraint(),
         L"[c] Integer CONSTRAINT [ck] PRIMARY KEY DESC ON CONFLICT ABORT AUTOINCREMENT NOT NULL ON CONFLICT FAIL "
         L"UNIQUE ON CONFLICT IGNORE CHECK (c > 0) DEFAULT(1) COLLATE NOCASE REFERENCES [p] ([x]) ON DELETE CASCADE ",
         L"[c] Integer CONSTRAINT [ck] PRIMARY KEY DESC ON CONFLICT ABORT AUTOINCREMENT NOT NULL ON CONFLICT FAIL "
         L"UNIQUE ON CONFLICT IGNORE CHECK (c > 0) DEFAULT(1) COLLATE NOCASE REFERENCES [p] ([x]) ON DELETE CASCADE "},
        {"an unnamed constraint: nothing in the grid form, empty brackets in the dialog form",
         Column(L"c", L"Text", [](ColumnDefinition& c) {
             c.m_bHasConstraint = 1;
             c.m_bNotNull = 1;
         }),
         L"[c] Text NOT NULL ", L"[c] Text CONSTRAINT [] NOT NULL "},
        {"sort order, conflict clause and AUTOINCREMENT need PRIMARY KEY",
         Column(L"c", L"Integer",
                [](ColumnDefinition& c) {
                    c.m_bHasConstraint = 1;
                    c.m_strSortOrder = L"ASC";
                    c.m_strPkConflict = L"REPLACE";
                    c.m_bAutoIncrement = 1;
                    c.m_strNotNullConflict = L"FAIL";
                    c.m_strUniqueConflict = L"FAIL";
                }),
         L"[c] Integer ", L"[c] Integer CONSTRAINT [] "},
        {"a value left at the one-blank first entry of its list writes nothing",
         Column(L"c", L"Integer",
                [](ColumnDefinition& c) {
                    c.m_bHasConstraint = c.m_bPrimaryKey = c.m_bNotNull = 1;
                    c.m_strSize = c.m_strConstraintName = c.m_strSortOrder = c.m_strPkConflict = L" ";
                    c.m_strNotNullConflict = c.m_strCheck = c.m_strDefault = c.m_strCollate = L" ";
                    c.m_strParentTable = c.m_strOnDelete = c.m_strMatch = c.m_strDeferrable = L" ";
                }),
         L"[c] Integer PRIMARY KEY NOT NULL ", L"[c] Integer CONSTRAINT [ ] PRIMARY KEY NOT NULL "},
        {"a CHECK with a line break keeps it, in parentheses",
         Column(L"c", L"Integer",
                [](ColumnDefinition& c) {
                    c.m_bHasConstraint = 1;
                    c.m_strCheck = L"c > 0\r\nAND c < 9";
                }),
         L"[c] Integer CHECK (c > 0\r\nAND c < 9) ", L"[c] Integer CONSTRAINT [] CHECK (c > 0\r\nAND c < 9) "},
        {"names with a closing bracket are quoted, others keep their brackets",
         Column(L"a]b", L"Text",
                [](ColumnDefinition& c) {
                    c.m_bHasConstraint = 1;
                    c.m_strConstraintName = L"x\"]y";
                    c.m_strParentTable = L"p]\"q";
                    c.m_arrParentKeys = {L"k]", L"a\"b"};
                }),
         L"\"a]b\" Text CONSTRAINT \"x\"\"]y\" REFERENCES \"p]\"\"q\" (\"k]\", [a\"b]) ",
         L"\"a]b\" Text CONSTRAINT \"x\"\"]y\" REFERENCES \"p]\"\"q\" (\"k]\", [a\"b]) "},
    };
    for (const FormCase& c : cases) {
        EXPECT_EQ(Utf8(ColumnDefinitionText(c.column, ColumnForm::Grid)), Utf8(c.grid)) << c.fault;
        EXPECT_EQ(Utf8(ColumnDefinitionText(c.column, ColumnForm::Dialog)), Utf8(c.dialog)) << c.fault;
    }
}

TEST(ColumnRecords, ForeignKeyClauseWritesEachSetPieceInOrder)
{
    struct Case {
        const char* fault;
        std::function<void(ColumnDefinition&)> set;
        const wchar_t* clause;
    };
    const Case cases[] = {
        {"nothing set gives nothing", [](ColumnDefinition&) {}, L""},
        {"every parent key, so a composite key refers to all its columns",
         [](ColumnDefinition& c) {
             c.m_strParentTable = L"p";
             c.m_arrParentKeys = {L"x", L"y"};
         },
         L"REFERENCES [p] ([x], [y]) "},
        {"no parent key: the parent's primary key", [](ColumnDefinition& c) { c.m_strParentTable = L"p"; },
         L"REFERENCES [p] "},
        {"an action without a parent table is still written", [](ColumnDefinition& c) { c.m_strOnDelete = L"CASCADE"; },
         L"ON DELETE CASCADE "},
        {"parent keys without a parent table write nothing", [](ColumnDefinition& c) { c.m_arrParentKeys = {L"x"}; },
         L""},
        {"every piece, deferrable texts last",
         [](ColumnDefinition& c) {
             c.m_strInitially = L"INITIALLY DEFERRED";
             c.m_strDeferrable = L"DEFERRABLE";
             c.m_strMatch = L"SIMPLE";
             c.m_strOnUpdate = L"SET DEFAULT";
             c.m_strOnDelete = L"SET NULL";
             c.m_arrParentKeys = {L"x"};
             c.m_strParentTable = L"p";
             c.m_arrChildKeys = {L"never written"};
         },
         L"REFERENCES [p] ([x]) ON DELETE SET NULL ON UPDATE SET DEFAULT MATCH SIMPLE DEFERRABLE INITIALLY DEFERRED "},
    };
    for (const Case& c : cases) {
        ColumnDefinition column;
        c.set(column);
        std::wstring out = L"old text";
        EXPECT_EQ(&BuildForeignKeyClause(out, column), &out);
        EXPECT_EQ(Utf8(out), Utf8(c.clause)) << c.fault;
    }
}

TEST(ColumnRecords, TableConstraintPresenceAndText)
{
    struct Case {
        const char* fault;
        std::function<void(TableConstraint&)> set;
        bool present;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"an empty constraint", [](TableConstraint&) {}, false, L""},
        {"a conflict clause without keys is present but writes nothing",
         [](TableConstraint& t) { t.m_strUniqueConflict = L"FAIL"; }, true, L""},
        {"child keys alone are not present", [](TableConstraint& t) { t.m_foreignKey.m_arrChildKeys = {L"a"}; }, false,
         L""},
        {"child keys with a parent table are a foreign key",
         [](TableConstraint& t) {
             t.m_foreignKey.m_arrChildKeys = {L"a", L"b"};
             t.m_foreignKey.m_strParentTable = L"p";
         },
         true, L"FOREIGN KEY ( [a], [b] ) REFERENCES [p] "},
        {"two keys without collation or sort",
         [](TableConstraint& t) { t.m_arrPrimaryKey = {{L"a", L"", L""}, {L"b", L"", L""}}; }, true,
         L"PRIMARY KEY ([a] , [b] ) "},
        {"a key's collation and sort; a collation left at the blank entry writes nothing",
         [](TableConstraint& t) {
             t.m_arrUnique = {{L"a", L"NOCASE", L"DESC"}, {L"b", L" ", L""}};
             t.m_strUniqueConflict = L"REPLACE";
             t.m_strPkConflict = L"FAIL";
         },
         true, L"UNIQUE ([a] COLLATE NOCASE DESC , [b] ) ON CONFLICT REPLACE "},
        {"every piece in its order",
         [](TableConstraint& t) {
             t.m_foreignKey.m_strOnDelete = L"CASCADE";
             t.m_foreignKey.m_arrParentKeys = {L"x", L"y"};
             t.m_foreignKey.m_strParentTable = L"p";
             t.m_foreignKey.m_arrChildKeys = {L"a", L"b"};
             t.m_strCheck = L"a <> b";
             t.m_strUniqueConflict = L"IGNORE";
             t.m_arrUnique = {{L"b", L"", L"ASC"}};
             t.m_strPkConflict = L"ABORT";
             t.m_arrPrimaryKey = {{L"a", L"RTRIM", L""}};
             t.m_strName = L"tc";
         },
         true,
         L"CONSTRAINT [tc] PRIMARY KEY ([a] COLLATE RTRIM ) ON CONFLICT ABORT UNIQUE ([b] ASC ) ON CONFLICT IGNORE "
         L"CHECK (a <> b) FOREIGN KEY ( [a], [b] ) REFERENCES [p] ([x], [y]) ON DELETE CASCADE "},
        {"a name of one blank is no name", [](TableConstraint& t) { t.m_strName = L" "; }, false, L""},
    };
    for (const Case& c : cases) {
        TableConstraint constraint;
        c.set(constraint);
        EXPECT_EQ(HasTableConstraint(constraint), c.present) << c.fault;
        EXPECT_EQ(Utf8(TableConstraintText(constraint)), Utf8(c.text)) << c.fault;
    }
}

TEST(ColumnRecords, CreateTableAndAddColumnStatements)
{
    const std::vector<ColumnDefinition> one = {Column(L"id", L"Integer", [](ColumnDefinition& c) { c.m_bPrimaryKey = 1; })};
    EXPECT_EQ(Utf8(CreateTableText(L"t", one, TableConstraint())), "CREATE TABLE [t] ([id] Integer PRIMARY KEY )");

    // A constraint that is present without text adds no separator.
    TableConstraint conflictOnly;
    conflictOnly.m_strUniqueConflict = L"FAIL";
    const std::vector<ColumnDefinition> two = {one[0], Column(L"n", L"Text")};
    EXPECT_EQ(Utf8(CreateTableText(L"t", two, conflictOnly)), "CREATE TABLE [t] ([id] Integer PRIMARY KEY ,\r\n[n] Text )");

    TableConstraint check;
    check.m_strCheck = L"n <> ''";
    EXPECT_EQ(Utf8(CreateTableText(L"a]b", two, check)),
              "CREATE TABLE \"a]b\" ([id] Integer PRIMARY KEY ,\r\n[n] Text ,\r\nCHECK (n <> '') )");

    EXPECT_EQ(Utf8(AddColumnText(L"t", Column(L"c", L"Integer"))), "ALTER TABLE [t] ADD COLUMN [c] Integer ");
    EXPECT_EQ(Utf8(AddColumnText(L"t", Column(L"c", L"VarChar", [](ColumnDefinition& c) { c.m_strSize = L"10"; }))),
              "ALTER TABLE [t] ADD COLUMN [c] VarChar (10) ");
}

// The statements run on a database, which gives back the names as typed.
class ColumnRecordsOnDatabase : public testing::Test {
protected:
    void SetUp() override
    {
        m_db.OpenDb(L":memory:");
        m_db.ExecuteCmd(L"PRAGMA foreign_keys = ON");
    }

    std::vector<std::vector<std::wstring>> Rows(const std::wstring& sql)
    {
        std::vector<std::vector<std::wstring>> rows;
        CADbSqlQuery query;
        for (m_db.Query(query, sql); !query.Eof(); query.NextRow()) {
            std::vector<std::wstring> row;
            for (int i = 0; i < query.m_nCols; ++i) {
                const wchar_t* text = query.GetFieldValue(i);
                row.push_back(text ? text : L"<null>");
            }
            rows.push_back(row);
        }
        EXPECT_FALSE(query.StepFailed());
        return rows;
    }

    // Column i of every row.
    std::vector<std::wstring> Values(const std::wstring& sql, size_t i)
    {
        std::vector<std::wstring> out;
        for (const std::vector<std::wstring>& row : Rows(sql))
            out.push_back(row.at(i));
        return out;
    }

    std::wstring StoredStatement(const std::wstring& table)
    {
        const auto rows = Rows(L"SELECT sql FROM sqlite_master WHERE type = 'table' AND name = " + QuoteLiteral(table));
        return rows.empty() ? L"<none>" : rows[0][0];
    }

    static std::wstring QuoteLiteral(const std::wstring& text)
    {
        std::wstring out = L"'";
        for (wchar_t c : text)
            out += c == L'\'' ? std::wstring(L"''") : std::wstring(1, c);
        return out + L"'";
    }

    CADbSqlDb m_db;
};

const std::vector<std::wstring> kNames = {L"a]b", L"a\"b", L"order", L"naïve Größe", L"emoji 🎉", L"x'y"};

TEST_F(ColumnRecordsOnDatabase, TypedNamesComeBackFromTheSchema)
{
    for (const std::wstring& table : kNames) {
        std::vector<ColumnDefinition> columns;
        for (const std::wstring& name : kNames)
            columns.push_back(Column(name, L"Text"));
        columns[0].m_bPrimaryKey = 1;
        columns[1].m_bHasConstraint = 1;
        columns[1].m_strConstraintName = table;
        columns[1].m_bUnique = 1;
        columns[1].m_strCollate = L"NOCASE";
        TableConstraint constraint;
        constraint.m_strName = L"t " + table;
        constraint.m_arrUnique = {{kNames[2], L"", L""}, {kNames[4], L"BINARY", L"DESC"}};
        const std::wstring sql = CreateTableText(table, columns, constraint);
        ASSERT_NO_THROW(m_db.ExecuteCmd(sql)) << Utf8(sql);
        EXPECT_EQ(Utf8(StoredStatement(table)), Utf8(sql));
        EXPECT_EQ(Values(L"SELECT name FROM pragma_table_info(" + QuoteLiteral(table) + L")", 0), kNames) << Utf8(table);

        const std::wstring add = AddColumnText(table, Column(L"added " + table, L"Integer", [](ColumnDefinition& c) {
                                                   c.m_strDefault = L"7";
                                                   c.m_bNotNull = 1;
                                               }));
        ASSERT_NO_THROW(m_db.ExecuteCmd(add)) << Utf8(add);
        const auto info = Rows(L"SELECT name, \"notnull\", dflt_value FROM pragma_table_info(" +
                               QuoteLiteral(table) + L") WHERE cid = 6");
        ASSERT_EQ(info.size(), 1u);
        EXPECT_EQ(info[0], (std::vector<std::wstring>{L"added " + table, L"1", L"7"}));
    }
}

// A composite foreign key written by the table constraint refers to both parent columns:
// the engine lists both pairs and refuses a child row whose pair has no parent.
TEST_F(ColumnRecordsOnDatabase, CompositeForeignKeysAreCreatedAndEnforced)
{
    const std::wstring parent = L"pä]rent";
    std::vector<ColumnDefinition> parentColumns = {Column(L"a\"1", L"Integer"), Column(L"order", L"Text")};
    TableConstraint parentKey;
    parentKey.m_arrPrimaryKey = {{L"a\"1", L"", L""}, {L"order", L"", L""}};
    ASSERT_NO_THROW(m_db.ExecuteCmd(CreateTableText(parent, parentColumns, parentKey)));

    std::vector<ColumnDefinition> childColumns = {Column(L"x]", L"Integer"), Column(L"🎉", L"Text"),
                                                  Column(L"single", L"Integer")};
    // A column's own clause without a parent key refers to the parent's primary key.
    ASSERT_NO_THROW(m_db.ExecuteCmd(CreateTableText(
        L"single parent", {Column(L"id", L"Integer", [](ColumnDefinition& c) { c.m_bPrimaryKey = 1; })}, {})));
    childColumns[2].m_bHasConstraint = 1;
    childColumns[2].m_strParentTable = L"single parent";
    TableConstraint childKey;
    childKey.m_foreignKey.m_arrChildKeys = {L"x]", L"🎉"};
    childKey.m_foreignKey.m_strParentTable = parent;
    childKey.m_foreignKey.m_arrParentKeys = {L"a\"1", L"order"};
    childKey.m_foreignKey.m_strOnDelete = L"CASCADE";
    const std::wstring sql = CreateTableText(L"child", childColumns, childKey);
    ASSERT_NO_THROW(m_db.ExecuteCmd(sql)) << Utf8(sql);

    const auto keys = Rows(L"SELECT id, seq, \"table\", \"from\", \"to\", on_delete FROM pragma_foreign_key_list('child') "
                           L"ORDER BY \"table\", seq");
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0], (std::vector<std::wstring>{keys[0][0], L"0", parent, L"x]", L"a\"1", L"CASCADE"}));
    EXPECT_EQ(keys[1], (std::vector<std::wstring>{keys[0][0], L"1", parent, L"🎉", L"order", L"CASCADE"}));
    EXPECT_EQ(keys[2][2], L"single parent");
    EXPECT_EQ(keys[2][3], L"single");
    EXPECT_EQ(keys[2][4], L"<null>"); // the parent's primary key

    m_db.ExecuteCmd(L"INSERT INTO \"pä]rent\" VALUES (1, 'one')");
    m_db.ExecuteCmd(L"INSERT INTO [single parent] VALUES (5)");
    EXPECT_NO_THROW(m_db.ExecuteCmd(L"INSERT INTO child VALUES (1, 'one', 5)"));
    // Half of the pair matches a parent row: refused.
    const CADbSqlException refused =
        testing_support::Failure([&] { m_db.ExecuteCmd(L"INSERT INTO child VALUES (1, 'two', 5)"); });
    EXPECT_EQ(Utf8(refused.GetErrorText()), "SQLITE_ERROR:<FOREIGN KEY constraint failed>:<ExecuteCmd>");
    EXPECT_THROW(m_db.ExecuteCmd(L"INSERT INTO child VALUES (1, 'one', 6)"), CADbSqlException);
    EXPECT_TRUE(Rows(L"PRAGMA foreign_key_check").empty());
    m_db.ExecuteCmd(L"DELETE FROM \"pä]rent\"");
    EXPECT_TRUE(Rows(L"SELECT * FROM child").empty()); // ON DELETE CASCADE
}

// Every column and table constraint the forms write is accepted by the engine.
TEST_F(ColumnRecordsOnDatabase, EveryConstraintPieceIsValidSql)
{
    ASSERT_NO_THROW(m_db.ExecuteCmd(L"CREATE TABLE p (x INTEGER PRIMARY KEY)"));
    ColumnDefinition full = FullConstraint();
    full.m_strSortOrder = L"ASC"; // AUTOINCREMENT needs the rowid's own key
    full.m_strDeferrable = L"DEFERRABLE";
    full.m_strInitially = L"INITIALLY DEFERRED";
    full.m_strMatch = L"SIMPLE";
    full.m_strOnUpdate = L"NO ACTION";
    ColumnDefinition second = Column(L"d", L"VarChar", [](ColumnDefinition& c) {
        c.m_strSize = L"10";
        c.m_strPrecision = L"2";
        c.m_bHasConstraint = 1;
        c.m_bNotNull = 1;
        c.m_strNotNullConflict = L"REPLACE";
        c.m_strDefault = L"'x'";
    });
    TableConstraint table;
    table.m_strName = L"tc";
    table.m_arrUnique = {{L"d", L"NOCASE", L"ASC"}};
    table.m_strUniqueConflict = L"ROLLBACK";
    table.m_strCheck = L"d <> ''";
    const std::wstring sql = CreateTableText(L"t", {full, second}, table);
    ASSERT_NO_THROW(m_db.ExecuteCmd(sql)) << Utf8(sql);
    EXPECT_EQ(Values(L"SELECT name FROM pragma_table_info('t')", 0), (std::vector<std::wstring>{L"c", L"d"}));
    m_db.ExecuteCmd(L"INSERT INTO p VALUES (3)");
    m_db.ExecuteCmd(L"INSERT INTO t (c) VALUES (3)");
    EXPECT_EQ(Rows(L"SELECT c, d FROM t")[0], (std::vector<std::wstring>{L"3", L"x"}));
}

} // namespace
