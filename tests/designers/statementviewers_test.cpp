// The dialogs that show an object's stored statement, and the trigger editor that drops
// the trigger and runs the edited text in its place, both or neither.
#include "designers/ctablescriptdlg.h"
#include "designers/ctriggerdlg.h"
#include "designers/cviewdlg.h"
#include "designers/cviewindexdlg.h"
#include "designers/cviewtriggerdlg.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlquery.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "databasefixture.h"
#include "platform/widgets/clipboard.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <sqlite3.h>

using testing_support::ExecRaw;
using testing_support::ButtonWithText;
using testing_support::QueryRaw;
using testing_support::Utf8;

namespace {

constexpr char kSchema[] = "CREATE TABLE Customer(id INTEGER PRIMARY KEY,\n  name TEXT UNIQUE);"
                           "CREATE TABLE log(what TEXT);"
                           "CREATE INDEX by_name ON Customer(name DESC);"
                           "CREATE TRIGGER \"on add\" AFTER INSERT ON Customer\nBEGIN\n"
                           "  INSERT INTO log VALUES ('old');\nEND;"
                           "CREATE VIEW Names AS SELECT name\nFROM Customer;";

class Viewers : public DatabaseFixture {
protected:
    void SetUp() override
    {
        DatabaseFixture::SetUp();
        ResetDatabaseGlobals();
        ASSERT_NO_FATAL_FAILURE(OpenDatabase(L"viewers.db", Script()));
    }
    virtual std::string Script() const { return kSchema; }

    std::wstring Stored(const std::string& name)
    {
        const std::string sql = QueryRaw(m_path, "SELECT sql FROM sqlite_master WHERE name = '" + name + "'");
        return platform::FromQString(QString::fromStdString(sql));
    }
    // What the trigger writes when another connection adds a customer.
    std::string Fired()
    {
        ExecRaw(m_path, "DELETE FROM log; INSERT INTO Customer(name) VALUES (hex(randomblob(8)));");
        return QueryRaw(m_path, "SELECT group_concat(what) FROM log");
    }
};

// Each viewer shows the text as the database keeps it, found whatever the letter case of
// the name asked for; the viewers that know the name take it as the database writes it.
TEST_F(Viewers, EachViewerShowsTheStoredStatement)
{
    CTableScriptDlg table(L"CUSTOMER");
    EXPECT_EQ(table.windowTitle(), QStringLiteral("Table Schema"));
    EXPECT_EQ(platform::FromQString(table.m_editScript->toPlainText()), Stored("Customer"));
    EXPECT_TRUE(table.m_editScript->isReadOnly());

    CViewIndexDlg index(L"BY_NAME");
    EXPECT_EQ(index.windowTitle(), QStringLiteral("Index Create Statement"));
    EXPECT_EQ(platform::FromQString(index.m_editText->toPlainText()), L"CREATE INDEX by_name ON Customer(name DESC)");

    CViewTriggerDlg trigger(L"ON ADD");
    EXPECT_EQ(trigger.windowTitle(), QStringLiteral("Trigger Create Statement"));
    EXPECT_EQ(platform::FromQString(trigger.m_editText->toPlainText()), Stored("on add"));
    EXPECT_EQ(trigger.m_strTriggerName, L"on add");

    CViewDlg view(L"names");
    EXPECT_EQ(view.windowTitle(), QStringLiteral("View Create Statement"));
    EXPECT_EQ(platform::FromQString(view.m_editText->toPlainText()), L"CREATE VIEW Names AS SELECT name\nFROM Customer");
    EXPECT_EQ(view.m_strViewName, L"Names");
    EXPECT_EQ(m_boxes.Count(), 0u);

    // The engine's own tables are tables too.
    ExecRaw(m_path, "ANALYZE");
    CTableScriptDlg statistics(L"sqlite_stat1");
    EXPECT_EQ(statistics.m_editScript->toPlainText(), QStringLiteral("CREATE TABLE sqlite_stat1(tbl,idx,stat)"));
    // Every list walked is finalized.
    EXPECT_EQ(sqlite3_next_stmt(g_pCurrentDb->m_pDb, nullptr), nullptr);
}

TEST_F(Viewers, AnObjectNotFoundLeavesTheEditEmptyAndOnlyTheIndexViewerSaysSo)
{
    CTableScriptDlg table(L"missing");
    CViewTriggerDlg trigger(L"missing");
    CViewDlg view(L"missing");
    EXPECT_TRUE(table.m_editScript->toPlainText().isEmpty());
    EXPECT_TRUE(trigger.m_editText->toPlainText().isEmpty());
    EXPECT_TRUE(view.m_editText->toPlainText().isEmpty());
    EXPECT_EQ(m_boxes.Count(), 0u);
    CViewIndexDlg index(L"missing");
    EXPECT_TRUE(index.m_editText->toPlainText().isEmpty());
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, L"CViewIndexDlg::OnInitDialog():Failed to locate index name");
    EXPECT_EQ(m_boxes.Last().caption, STR_PRODUCT_NAME);

    // An automatic index has no statement: found, empty, nothing said.
    CViewIndexDlg automatic(L"sqlite_autoindex_Customer_1");
    EXPECT_TRUE(automatic.m_editText->toPlainText().isEmpty());
    EXPECT_EQ(m_boxes.Count(), 1u);
}

// The workspace lists the temporary schema's objects beside the file's own: each viewer
// finds one there too, and the file's object of a name comes first.
TEST_F(Viewers, ATemporaryObjectIsFoundAfterTheFilesOwn)
{
    CADbSqlDb& db = *g_pCurrentDb;
    db.ExecuteCmd(L"CREATE TEMP TABLE scratch(x)");
    db.ExecuteCmd(L"CREATE INDEX temp.by_x ON scratch(x)");
    db.ExecuteCmd(L"CREATE TEMP VIEW recent AS SELECT x FROM scratch");
    db.ExecuteCmd(L"CREATE TEMP VIEW names AS SELECT 1");

    CTableScriptDlg table(L"SCRATCH");
    EXPECT_EQ(table.m_editScript->toPlainText(), QStringLiteral("CREATE TABLE scratch(x)"));
    CViewIndexDlg index(L"by_x");
    EXPECT_EQ(index.m_editText->toPlainText(), QStringLiteral("CREATE INDEX by_x ON scratch(x)"));
    CViewDlg view(L"Recent");
    EXPECT_EQ(view.m_editText->toPlainText(), QStringLiteral("CREATE VIEW recent AS SELECT x FROM scratch"));
    EXPECT_EQ(view.m_strViewName, L"recent");
    CViewDlg shadowed(L"names");
    EXPECT_EQ(platform::FromQString(shadowed.m_editText->toPlainText()), Stored("Names"));
    EXPECT_EQ(shadowed.m_strViewName, L"Names");
    EXPECT_EQ(m_boxes.Count(), 0u);
    EXPECT_EQ(sqlite3_next_stmt(db.m_pDb, nullptr), nullptr);
}

TEST_F(Viewers, CopyScriptPutsTheWholeStatementOnTheClipboard)
{
    CTableScriptDlg table(L"Customer");
    platform::SetClipboardText(L"before");
    QTest::mouseClick(ButtonWithText(table, QStringLiteral("Copy Script")), Qt::LeftButton);
    EXPECT_EQ(platform::ClipboardText(), Stored("Customer"));
    EXPECT_EQ(table.m_editScript->textCursor().selectedText().size(), table.m_editScript->toPlainText().size());
    EXPECT_NE(table.result(), QDialog::Accepted); // the dialog stays open

    CTableScriptDlg none(L"missing");
    QTest::mouseClick(ButtonWithText(none, QStringLiteral("Copy Script")), Qt::LeftButton);
    EXPECT_EQ(platform::ClipboardText(), L"");
}

TEST_F(Viewers, TheTriggerEditorsSaveWaitsForTheUsersFirstChange)
{
    CTriggerDlg editor(L"ON ADD");
    editor.show();
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("Create Trigger"));
    EXPECT_EQ(platform::FromQString(editor.m_editText->toPlainText()), Stored("on add"));
    EXPECT_FALSE(editor.m_btnSave->isEnabled());
    EXPECT_FALSE(editor.m_editText->isReadOnly());
    editor.m_editText->setFocus();
    QTest::keyClick(editor.m_editText, Qt::Key_End);
    QTest::keyClick(editor.m_editText, Qt::Key_Return);
    EXPECT_TRUE(editor.m_btnSave->isEnabled());
    EXPECT_TRUE(editor.isVisible()); // Enter is a line break in the text

    CTriggerDlg missing(L"missing");
    EXPECT_TRUE(missing.m_editText->toPlainText().isEmpty());
    EXPECT_FALSE(missing.m_btnSave->isEnabled());
}

class TriggerEditor : public Viewers, public testing::WithParamInterface<const char*> {
protected:
    std::string Script() const override { return std::string("PRAGMA journal_mode = ") + GetParam() + ";" + kSchema; }
};

// The editor replaces the trigger in one unit, in either journal mode, seen from another
// connection: a good text fires afterwards, a failing one leaves the old trigger firing, an
// empty one drops nothing, and a transaction statement is refused.
TEST_P(TriggerEditor, ReplacesTheTriggerOrKeepsTheOldOne)
{
    ASSERT_EQ(QueryRaw(m_path, "PRAGMA journal_mode"), GetParam());
    ASSERT_EQ(Fired(), "old");
    CTriggerDlg editor(L"on add");
    const auto save = [&](const QString& text) {
        editor.m_editText->setPlainText(text);
        QTest::mouseClick(editor.m_btnSave, Qt::LeftButton);
    };

    save(QStringLiteral("CREATE TRIGGER [on add] AFTER INSERT ON Customer BEGIN INSERT INTO log VALUES ('new') END"));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_NE(m_boxes.Last().text.find(L"syntax error"), std::wstring::npos) << Utf8(m_boxes.Last().text);
    EXPECT_EQ(m_boxes.Last().caption, STR_PRODUCT_NAME);
    EXPECT_NE(editor.result(), QDialog::Accepted);
    EXPECT_EQ(Fired(), "old");

    save(QStringLiteral("  \n-- nothing to run\n"));
    EXPECT_EQ(m_boxes.Count(), 1u);
    EXPECT_NE(editor.result(), QDialog::Accepted);
    EXPECT_EQ(Fired(), "old");

    for (const QString& control : {QStringLiteral("COMMIT"), QStringLiteral("rollback"), QStringLiteral("BEGIN")}) {
        save(control);
        EXPECT_EQ(m_boxes.Last().text, STR_TRIGGER_TEXT_IS_TRANSACTION);
    }
    EXPECT_EQ(m_boxes.Count(), 4u);
    EXPECT_FALSE(g_pCurrentDb->InTransaction());
    EXPECT_EQ(Fired(), "old");

    // Another name: the old trigger goes, the new one comes; text after the first
    // statement is not run.
    save(QStringLiteral("CREATE TRIGGER renamed AFTER INSERT ON Customer BEGIN INSERT INTO log VALUES ('new'); END;\n"
                        "DROP TABLE log;"));
    EXPECT_EQ(m_boxes.Count(), 4u) << Utf8(m_boxes.Last().text);
    EXPECT_EQ(editor.result(), QDialog::Accepted);
    EXPECT_EQ(Fired(), "new");
    EXPECT_EQ(QueryRaw(m_path, "SELECT group_concat(name) FROM sqlite_master WHERE type = 'trigger'"), "renamed");
}

// A transaction the console opened stays open; the edit is part of it.
TEST_P(TriggerEditor, WorksInsideAnOpenTransaction)
{
    CADbSqlDb& db = *g_pCurrentDb;
    db.ExecuteCmd(L"BEGIN");
    db.ExecuteCmd(L"INSERT INTO log VALUES ('console')");
    CTriggerDlg editor(L"on add");
    editor.m_editText->setPlainText(QStringLiteral("CREATE TRIGGER [on add] AFTER INSERT ON nowhere BEGIN SELECT 1; END"));
    QTest::mouseClick(editor.m_btnSave, Qt::LeftButton);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_TRUE(db.InTransaction());
    editor.m_editText->setPlainText(QStringLiteral("CREATE TRIGGER [on add] AFTER INSERT ON Customer BEGIN "
                                                   "INSERT INTO log VALUES ('edited'); END"));
    QTest::mouseClick(editor.m_btnSave, Qt::LeftButton);
    EXPECT_EQ(m_boxes.Count(), 1u) << Utf8(m_boxes.Last().text);
    EXPECT_EQ(editor.result(), QDialog::Accepted);
    EXPECT_TRUE(db.InTransaction());
    db.ExecuteCmd(L"COMMIT");
    EXPECT_EQ(QueryRaw(m_path, "SELECT group_concat(what) FROM log"), "console");
    EXPECT_EQ(Fired(), "edited");
}

// A temporary trigger lives on this connection only and its stored text says no TEMP: the
// viewer and the editor find it there, and the edit keeps it temporary. A trigger of the
// main schema with the same name is another trigger, left alone.
TEST_P(TriggerEditor, ATemporaryTriggerStaysTemporary)
{
    CADbSqlDb& db = *g_pCurrentDb;
    db.ExecuteCmd(L"CREATE TEMP TRIGGER watch AFTER INSERT ON Customer BEGIN INSERT INTO log VALUES ('temp'); END");
    CViewTriggerDlg viewer(L"WATCH");
    EXPECT_EQ(viewer.m_editText->toPlainText(),
              QStringLiteral("CREATE TRIGGER watch AFTER INSERT ON Customer BEGIN INSERT INTO log VALUES ('temp'); END"));
    EXPECT_EQ(viewer.m_strTriggerName, L"watch");

    const auto save = [&](const wchar_t* name, const QString& text) {
        CTriggerDlg editor(name);
        EXPECT_FALSE(editor.m_editText->toPlainText().isEmpty()) << Utf8(name);
        editor.m_editText->setPlainText(text);
        QTest::mouseClick(editor.m_btnSave, Qt::LeftButton);
        EXPECT_EQ(m_boxes.Count(), 0u) << Utf8(m_boxes.Last().text);
        EXPECT_EQ(editor.result(), QDialog::Accepted);
    };
    const auto temporary = [&] {
        CADbSqlQuery query;
        db.Query(query, L"SELECT group_concat(name || ':' || sql, '|') FROM sqlite_temp_master WHERE type = 'trigger'");
        const wchar_t* value = query.GetFieldValue(0);
        const std::wstring text = value ? value : L"";
        query.Finalize();
        return text;
    };
    const auto firedHere = [&] {
        db.ExecuteCmd(L"DELETE FROM log");
        db.ExecuteCmd(L"INSERT INTO Customer(name) VALUES (hex(randomblob(8)))");
        CADbSqlQuery query;
        db.Query(query, L"SELECT group_concat(what) FROM (SELECT what FROM log ORDER BY what)");
        const wchar_t* value = query.GetFieldValue(0);
        const std::wstring text = value ? value : L"";
        query.Finalize();
        return text;
    };

    save(L"watch", QStringLiteral("-- edited\nCREATE TRIGGER watch AFTER INSERT ON Customer BEGIN "
                                  "INSERT INTO log VALUES ('temp2'); END"));
    EXPECT_EQ(temporary(), L"watch:CREATE TRIGGER watch AFTER INSERT ON Customer BEGIN "
                           L"INSERT INTO log VALUES ('temp2'); END");
    EXPECT_EQ(QueryRaw(m_path, "SELECT count(*) FROM sqlite_master WHERE name = 'watch'"), "0");
    EXPECT_EQ(firedHere(), L"old,temp2");
    EXPECT_EQ(Fired(), "old"); // another connection sees only the main schema's trigger

    // A text that says TEMP already is run as it stands.
    save(L"watch", QStringLiteral("CREATE TEMPORARY TRIGGER watch AFTER INSERT ON Customer BEGIN "
                                  "INSERT INTO log VALUES ('temp3'); END"));
    EXPECT_EQ(firedHere(), L"old,temp3");

    // The same name in both schemas: the editor shows and replaces the main schema's.
    db.ExecuteCmd(L"CREATE TEMP TRIGGER [on add] AFTER INSERT ON Customer BEGIN INSERT INTO log VALUES ('t'); END");
    save(L"on add", QStringLiteral("CREATE TRIGGER [on add] AFTER INSERT ON Customer BEGIN "
                                   "INSERT INTO log VALUES ('main'); END"));
    EXPECT_EQ(Fired(), "main");
    EXPECT_NE(temporary().find(L"on add:CREATE TRIGGER [on add] AFTER INSERT ON Customer BEGIN INSERT INTO log VALUES "
                               L"('t'); END"),
              std::wstring::npos)
        << Utf8(temporary());
    EXPECT_FALSE(db.InTransaction());
}

INSTANTIATE_TEST_SUITE_P(JournalModes, TriggerEditor, testing::Values("wal", "delete"));

} // namespace
