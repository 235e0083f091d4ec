// Reading statement texts: the words the console and the documents route by, and the
// cutting of a text into its statements.
#include "data/statementtext.h"

#include "testsupport.h"

#include <gtest/gtest.h>

using testing_support::Utf8;

namespace {

TEST(StatementText, FirstWordSkipsSpaceAndCommentsAndQuotesStayWhole)
{
    const struct {
        const wchar_t* text;
        const wchar_t* first;
    } cases[] = {
        {L"select 1", L"SELECT"},
        {L"  \t\n  PRAGMA\ntable_info(t)", L"PRAGMA"},
        {L"-- PRAGMA in a comment\nSELECT 1", L"SELECT"},
        {L"/* PRAGMA */WITH x AS (SELECT 1) SELECT * FROM x", L"WITH"},
        {L"/* an unclosed comment", L""},
        {L"-- only a comment", L""},
        {L"PRAGMA(x)", L"PRAGMA"},
        {L"VALUES(1)", L"VALUES"},
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FirstStatementWord(c.text), c.first) << Utf8(c.text);

    EXPECT_EQ(StatementWords(L"PRAGMA user_version=6"),
              (std::vector<std::wstring>{L"PRAGMA", L"user_version", L"=", L"6"}));
    EXPECT_EQ(StatementWords(L"DROP TABLE IF EXISTS \"a \"\" b\" -- gone\n;"),
              (std::vector<std::wstring>{L"DROP", L"TABLE", L"IF", L"EXISTS", L"\"a \"\" b\"", L";"}));
    EXPECT_EQ(StatementWords(L"SELECT 'it''s; -- not a comment' FROM [x y]", 3),
              (std::vector<std::wstring>{L"SELECT", L"'it''s; -- not a comment'", L"FROM"}));
    EXPECT_EQ(UnquoteName(L"\"a \"\" b\""), L"a \" b");
    EXPECT_EQ(UnquoteName(L"[x y]"), L"x y");
    EXPECT_EQ(UnquoteName(L"`t`"), L"t");
    EXPECT_EQ(UnquoteName(L"plain"), L"plain");
}

// The first word decides what a statement is, whatever blanks and comments come first.
TEST(StatementText, LeadingWordAndTransactionControl)
{
    const struct {
        const wchar_t* sql;
        const wchar_t* word;
        bool transaction;
    } cases[] = {
        {L"CREATE TRIGGER x", L"CREATE", false},
        {L"  \r\n\tbegin immediate", L"BEGIN", true},
        {L"-- note\nCOMMIT", L"COMMIT", true},
        {L"/* a */ /* b */End", L"END", true},
        {L";; rollback to s", L"ROLLBACK", true},
        {L"Savepoint s", L"SAVEPOINT", true},
        {L"RELEASE s", L"RELEASE", true},
        {L"BEGINNING", L"BEGINNING", false},
        {L"when(new.x > 0)", L"WHEN", false},
        {L"(SELECT 1)", L"", false},
        {L"-- only a comment", L"", false},
        {L"/* open comment", L"", false},
        {L"", L"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LeadingSqlWord(c.sql), c.word) << Utf8(c.sql);
        EXPECT_EQ(IsTransactionControl(c.sql), c.transaction) << Utf8(c.sql);
    }
}

// A temporary trigger's stored text says no TEMP: re-created from it, TEMP goes in after
// its CREATE, past any comments, and only once.
TEST(StatementText, TemporaryCreate)
{
    const struct {
        const wchar_t* sql;
        const wchar_t* temporary;
    } cases[] = {
        {L"CREATE TRIGGER t AFTER INSERT ON a BEGIN SELECT 1; END",
         L"CREATE TEMP TRIGGER t AFTER INSERT ON a BEGIN SELECT 1; END"},
        {L"-- note\n  create\ttrigger t", L"-- note\n  create TEMP\ttrigger t"},
        {L"/* c */CREATE/* d */TRIGGER t", L"/* c */CREATE TEMP/* d */TRIGGER t"},
        {L"CREATE temp TRIGGER t", L"CREATE temp TRIGGER t"},
        {L"CREATE /* x */ Temporary TRIGGER t", L"CREATE /* x */ Temporary TRIGGER t"},
        {L"CREATE TEMPLATE_TRIGGER", L"CREATE TEMP TEMPLATE_TRIGGER"},
        {L"CREATED", L"CREATED"},
        {L"SELECT 1", L"SELECT 1"},
        {L"CREATE", L"CREATE TEMP"},
        {L"-- open", L"-- open"},
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AsTemporaryCreate(c.sql), c.temporary) << Utf8(c.sql);
}

// A semicolon ends a statement only where the engine says one ends: not in a text, a
// name, a comment or a trigger's body; a trailing comment or empty statement is none.
// A NUL character, where the engine would stop reading, hides no statement after it and
// stays in the statement it stands before.
TEST(StatementText, ATextIsCutIntoItsStatementsAsTheEngineReadsThem)
{
    using namespace std::string_literals;
    const struct {
        std::wstring text;
        std::vector<std::wstring> statements;
    } cases[] = {
        {L"UPDATE t SET a = 1", {L"UPDATE t SET a = 1"}},
        {L"UPDATE t SET a = 1;\n  UPDATE t SET b = 2;  ", {L"UPDATE t SET a = 1;", L"UPDATE t SET b = 2;"}},
        {L"SELECT ';'; SELECT \"x;y\" FROM [a;b]", {L"SELECT ';';", L"SELECT \"x;y\" FROM [a;b]"}},
        {L"SELECT 1; -- the end; really\n", {L"SELECT 1;"}},
        {L"-- lead\nSELECT 1;;; /* x; */", {L"-- lead\nSELECT 1;"}},
        {L"CREATE TRIGGER g AFTER INSERT ON t BEGIN UPDATE t SET a = 1; DELETE FROM u; END; SELECT 2",
         {L"CREATE TRIGGER g AFTER INSERT ON t BEGIN UPDATE t SET a = 1; DELETE FROM u; END;", L"SELECT 2"}},
        {L"   ", {}},
        {L"INSERT INTO t VALUES(1);\0INSERT INTO t VALUES(2)"s,
         {L"INSERT INTO t VALUES(1);", L"\0INSERT INTO t VALUES(2)"s}},
        {L"SELECT 1;\0SELECT 2; SELECT 3"s, {L"SELECT 1;", L"\0SELECT 2;"s, L"SELECT 3"}},
        {L"SELECT 1;\0\n"s, {L"SELECT 1;"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.text));
        const std::wstring& text = c.text;
        const std::vector<StatementPiece> pieces = SplitStatements(text);
        ASSERT_EQ(pieces.size(), c.statements.size());
        for (size_t i = 0; i < pieces.size(); ++i) {
            EXPECT_EQ(pieces[i].m_strText, c.statements[i]);
            EXPECT_EQ(text.compare(pieces[i].m_nOffset, pieces[i].m_strText.size(), pieces[i].m_strText), 0);
        }
    }
}

TEST(StatementText, TheOpeningOfAStatementNamesItsFirstWords)
{
    using namespace std::string_literals;
    EXPECT_EQ(StatementOpening(L"  -- note\n UPDATE   t\n SET b = 2"), L"UPDATE t SET b = 2");
    EXPECT_EQ(StatementOpening(L"INSERT INTO customers(name, city) VALUES ('a', 'b'), ('c', 'd')"),
              L"INSERT INTO customers(name, city) VALUES...");
    EXPECT_EQ(StatementOpening(L"\0INSERT INTO t\0VALUES(2)"s), L"INSERT INTO t VALUES(2)");
}

} // namespace
