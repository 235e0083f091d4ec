// The SQL/PRAGMA console: its table list, keyboard, field picking, PRAGMA and saved-query
// lists, pasting, and what Execute, Cancel and Enter hand back.
#include "shell/cquerydlg.h"

#include "data/cadbsqldb.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "designers/cselectfield.h"
#include "databasefixture.h"
#include "platform/widgets/clipboard.h"
#include "platform/widgets/combobox.h"
#include "platform/widgets/listbox.h"
#include "platform/widgets/reportlist.h"
#include "shell/citemlistdlg.h"
#include "shell/cpragmalistdlg.h"
#include "dialogscript.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>


namespace {

QPushButton* ButtonNamed(QWidget& parent, const QString& text)
{
    for (QPushButton* button : parent.findChildren<QPushButton*>())
        if (button->text() == text)
            return button;
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
}

void Click(QWidget& parent, const QString& text) { QTest::mouseClick(ButtonNamed(parent, text), Qt::LeftButton); }

void ClickOk(QDialog& dialog) { Click(dialog, "OK"); }

std::wstring Statement(const CQueryDlg& dialog) { return dialog.m_edStatement->toPlainText().toStdWString(); }

class Console : public DatabaseFixture {
protected:
    void SetUp() override
    {
        DatabaseFixture::SetUp();
        ResetDatabaseGlobals();
    }

    // Runs the console; `work` operates it while it is shown.
    int Run(CQueryDlg& dialog, const std::function<void(CQueryDlg&)>& work)
    {
        m_script.On("CQueryDlg", [&](QDialog& shown) { work(static_cast<CQueryDlg&>(shown)); });
        return dialog.DoModal();
    }

    void ChooseTable(CQueryDlg& dialog, const QString& table)
    {
        dialog.m_cbTable->setCurrentIndex(dialog.m_cbTable->findText(table));
    }

    DialogScript m_script;
};

// Sorted ignoring case, without the engine's own tables, nothing chosen; Execute off.
TEST_F(Console, TableListIsSortedWithoutEngineTables)
{
    OpenDatabase(L"t.db", "CREATE TABLE Zed(a); CREATE TABLE apple(a INTEGER PRIMARY KEY AUTOINCREMENT);"
                          "CREATE TABLE \"a]b\"(x); CREATE VIEW v AS SELECT 1; INSERT INTO apple VALUES(NULL);");
    CQueryDlg dialog(nullptr);
    EXPECT_EQ(dialog.windowTitle(), "SQL/PRAGMA Console");
    std::vector<std::wstring> tables;
    for (int i = 0; i < dialog.m_cbTable->count(); ++i)
        tables.push_back(dialog.m_cbTable->itemText(i).toStdWString());
    EXPECT_EQ(tables, (std::vector<std::wstring>{L"a]b", L"apple", L"Zed"}));
    EXPECT_EQ(dialog.m_cbTable->currentIndex(), -1);
    EXPECT_FALSE(dialog.m_btnExecute->isEnabled());
    EXPECT_TRUE(dialog.m_strStatement.empty());
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// A database that cannot be read: the list's own failure box, then the console's box with
// the same text under the product name; the console opens with an empty list.
TEST_F(Console, UnreadableDatabaseShowsBothBoxesAndAnEmptyList)
{
    g_pCurrentDb->m_strDbPath = m_folder.MakeJunkFile(L"junk.db");

    CQueryDlg dialog(nullptr);
    EXPECT_EQ(dialog.m_cbTable->count(), 0);
    ASSERT_EQ(m_boxes.Count(), 2u);
    const auto boxes = m_boxes.Boxes();
    EXPECT_EQ(boxes[0].caption, L"Error");
    EXPECT_NE(boxes[0].text.find(L"Location <00005>"), std::wstring::npos);
    EXPECT_EQ(boxes[1].text, boxes[0].text);
    EXPECT_EQ(boxes[1].caption, L"Tabulon");
    EXPECT_EQ(boxes[1].owner, &dialog);
}

// Each key inserts its own text, blanks included, in place of the selection, undoably.
TEST_F(Console, KeyboardInsertsItsExactTexts)
{
    const std::pair<const char*, const wchar_t*> keys[] = {
        {"SELECT", L" SELECT "},     {"UPDATE", L" UPDATE "}, {"INSERT", L" INSERT "},   {"DELETE", L" DELETE "},
        {"JOIN", L" JOIN "},         {"UNION", L" UNION "},   {"ALTER", L" ALTER "},     {"CREATE", L" CREATE "},
        {".", L"."},                 {",", L","},             {"FROM", L" FROM "},       {"WHERE", L" WHERE "},
        {"ORDER BY", L" ORDER BY "}, {"REINDEX", L" REINDEX "}, {"DISTINCT", L" DISTINCT "}, {"AND", L" AND "},
        {"OR", L" OR "},             {"DROP", L" DROP "},     {"'", L"'"},               {"\"", L"\""},
    };
    CQueryDlg dialog(nullptr);
    ASSERT_EQ(kSqlKeyboard.size(), std::size(keys));
    for (const auto& [caption, text] : keys) {
        dialog.m_edStatement->clear();
        Click(dialog, caption);
        EXPECT_EQ(Statement(dialog), text) << caption;
    }

    dialog.m_edStatement->clear();
    Click(dialog, "SELECT");
    Click(dialog, "FROM");
    EXPECT_EQ(Statement(dialog), L" SELECT  FROM ");

    dialog.m_edStatement->setPlainText("a bc d");
    QTextCursor cursor = dialog.m_edStatement->textCursor();
    cursor.setPosition(2);
    cursor.setPosition(4, QTextCursor::KeepAnchor);
    dialog.m_edStatement->setTextCursor(cursor);
    Click(dialog, ",");
    EXPECT_EQ(Statement(dialog), L"a , d");
    dialog.m_edStatement->undo();
    EXPECT_EQ(Statement(dialog), L"a bc d");
}

// Execute starts off, comes on with the first text and stays on; it hands back the text
// exactly, also an emptied one. Cancel hands back nothing.
TEST_F(Console, ExecuteEnablingAndResult)
{
    CQueryDlg dialog(nullptr);
    EXPECT_EQ(Run(dialog,
                  [](CQueryDlg& shown) {
                      EXPECT_FALSE(shown.m_btnExecute->isEnabled());
                      EXPECT_EQ(shown.focusWidget(), shown.m_edStatement);
                      QTest::keyClick(shown.m_edStatement, Qt::Key_X);
                      EXPECT_TRUE(shown.m_btnExecute->isEnabled());
                      QTest::keyClick(shown.m_edStatement, Qt::Key_Backspace);
                      EXPECT_TRUE(shown.m_btnExecute->isEnabled());
                      Click(shown, "Execute");
                  }),
              QDialog::Accepted);
    EXPECT_EQ(dialog.m_strStatement, L"");

    CQueryDlg typed(nullptr);
    EXPECT_EQ(Run(typed,
                  [](CQueryDlg& shown) {
                      shown.m_edStatement->insertPlainText("PRAGMA\ttable_info(t) ");
                      QTest::keyClick(shown.m_edStatement, Qt::Key_Return);
                      QTest::keyClicks(shown.m_edStatement, "  ");
                      Click(shown, "Execute");
                  }),
              QDialog::Accepted);
    EXPECT_EQ(typed.m_strStatement, L"PRAGMA\ttable_info(t) \n  ");

    CQueryDlg cancelled(nullptr);
    EXPECT_EQ(Run(cancelled,
                  [](CQueryDlg& shown) {
                      QTest::keyClicks(shown.m_edStatement, "SELECT 1");
                      Click(shown, "Cancel");
                  }),
              QDialog::Rejected);
    EXPECT_EQ(cancelled.m_strStatement, L"");
}

// Enter in the table list or on the check box neither closes the console nor loses the statement.
TEST_F(Console, EnterOutsideTheStatementDoesNothing)
{
    OpenDatabase(L"t.db", "CREATE TABLE t(a);");
    CQueryDlg dialog(nullptr);
    EXPECT_EQ(Run(dialog,
                  [&](CQueryDlg& shown) {
                      QTest::keyClicks(shown.m_edStatement, "SELECT 1");
                      for (QWidget* control : std::initializer_list<QWidget*>{shown.m_cbTable, shown.m_chkIncludeTable}) {
                          control->setFocus();
                          QTest::keyClick(control, Qt::Key_Return);
                          QTest::keyClick(control, Qt::Key_Enter);
                      }
                      ButtonNamed(shown, "SELECT")->setFocus();
                      QTest::keyClick(ButtonNamed(shown, "SELECT"), Qt::Key_Return);
                      EXPECT_TRUE(shown.isVisible());
                      EXPECT_EQ(shown.result(), QDialog::Rejected);
                      EXPECT_EQ(Statement(shown), L"SELECT 1");
                      shown.m_edStatement->setFocus();
                      QTest::keyClick(shown.m_edStatement, Qt::Key_Return);
                      EXPECT_TRUE(shown.isVisible());
                      Click(shown, "Execute");
                  }),
              QDialog::Accepted);
    EXPECT_EQ(dialog.m_strStatement, L"SELECT 1\n");
    EXPECT_EQ(m_script.Shown(), std::vector<std::string>{"CQueryDlg"});
}

// Fields... without a table: the box, and no picker.
TEST_F(Console, FieldsWithoutTableAsksForOne)
{
    OpenDatabase(L"t.db", "CREATE TABLE t(a);");
    CQueryDlg dialog(nullptr);
    Click(dialog, "Fields...");
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, L"Please select table name.");
    EXPECT_EQ(m_boxes.Last().caption, L"Select table name");
    EXPECT_EQ(m_boxes.Last().style, platform::MB_OK | platform::MB_ICONINFORMATION);
    EXPECT_EQ(m_boxes.Last().owner, &dialog);
    EXPECT_TRUE(m_script.Shown().empty());
}

// The picked columns, quoted, with and without the table; on a table whose name holds "]".
TEST_F(Console, FieldsInsertsThePickedColumnsQuoted)
{
    OpenDatabase(L"t.db", "CREATE TABLE \"a]b\"(id, [x y], [q\"r], last);");
    struct Case {
        bool includeTable;
        std::vector<int> ticked;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {false, {1, 0}, L"<[id], [x y]>"},
        {true, {2, 3}, L"<\"a]b\".[q\"r], \"a]b\".[last]>"},
        {false, {}, L"<>"},
    };
    for (const Case& c : cases) {
        CQueryDlg dialog(nullptr);
        ChooseTable(dialog, "a]b");
        dialog.m_chkIncludeTable->setChecked(c.includeTable);
        dialog.m_edStatement->setPlainText("<selected>");
        QTextCursor cursor = dialog.m_edStatement->textCursor();
        cursor.setPosition(1);
        cursor.setPosition(9, QTextCursor::KeepAnchor);
        dialog.m_edStatement->setTextCursor(cursor);
        std::vector<std::wstring> offered;
        m_script.On("CSelectField", [&](QDialog& shown) {
            auto& picker = static_cast<CSelectField&>(shown);
            for (int row = 0; row < picker.m_list->RowCount(); ++row)
                offered.push_back(picker.m_list->RowText(row));
            for (int row : c.ticked)
                picker.m_list->SetChecked(row, true);
            Click(picker, "Ok");
        });
        Click(dialog, "Fields...");
        EXPECT_EQ(offered, (std::vector<std::wstring>{L"id", L"x y", L"q\"r", L"last"}));
        EXPECT_EQ(Statement(dialog), c.expected);
        EXPECT_TRUE(dialog.m_btnExecute->isEnabled());
    }
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// A cancelled picker changes nothing; a column read that fails shows its box.
TEST_F(Console, FieldsCancelledOrFailing)
{
    OpenDatabase(L"t.db", "CREATE TABLE t(a);");
    CQueryDlg dialog(nullptr);
    ChooseTable(dialog, "t");
    dialog.m_edStatement->setPlainText("keep");
    dialog.m_edStatement->selectAll();
    Click(dialog, "Fields...");
    EXPECT_EQ(m_script.Shown(), std::vector<std::string>{"CSelectField"});
    EXPECT_EQ(Statement(dialog), L"keep");

    DestroyDatabaseGlobals();
    Click(dialog, "Fields...");
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().caption, L"Error");
    EXPECT_FALSE(m_boxes.Last().text.empty());
    EXPECT_EQ(m_boxes.Last().owner, &dialog);
    EXPECT_EQ(m_script.Shown().size(), 1u);
    EXPECT_EQ(Statement(dialog), L"keep");
}

// The templates as stored, alphabetically; the choice follows "PRAGMA ", so the stored
// "PRAGMA integrity_check(integer);" doubles the word and a directory keeps its backquotes.
TEST_F(Console, PragmaListReplacesTheStatement)
{
    ASSERT_TRUE(m_store.CreateNode(NODE_PRAGMAS, NODE_TYPE_TEXT));
    for (const wchar_t* text : g_arrPragmaTemplates)
        m_store.AddTextValue(NODE_PRAGMAS, text);
    size_t stored = 0;
    for (std::wstring value; m_store.NextValue(NODE_PRAGMAS, value);)
        ++stored;
    ASSERT_GT(stored, 90u);

    struct Case {
        const wchar_t* choose; // null: OK without a selection
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"PRAGMA integrity_check(integer);", L"PRAGMA PRAGMA integrity_check(integer);"},
        {L"temp_store_directory = ``directory-name``;", L"PRAGMA temp_store_directory = ``directory-name``;"},
        {nullptr, L"PRAGMA "},
    };
    for (const Case& c : cases) {
        CQueryDlg dialog(nullptr);
        dialog.m_edStatement->setPlainText("old");
        std::vector<QString> listed;
        m_script.On("CPragmaListDlg", [&](QDialog& shown) {
            auto& list = static_cast<CPragmaListDlg&>(shown);
            EXPECT_EQ(list.windowTitle(), "PRAGMA List");
            for (int i = 0; i < list.m_listBox->count(); ++i)
                listed.push_back(list.m_listBox->item(i)->text());
            if (c.choose)
                list.m_listBox->SelectString(-1, c.choose);
            ClickOk(list);
        });
        Click(dialog, "PRAGMA List...");
        EXPECT_EQ(Statement(dialog), c.expected);
        EXPECT_TRUE(dialog.m_btnExecute->isEnabled());
        ASSERT_EQ(listed.size(), stored);
        EXPECT_TRUE(std::is_sorted(listed.begin(), listed.end(), [](const QString& a, const QString& b) {
            return QString::compare(a, b, Qt::CaseInsensitive) < 0;
        }));
    }

    CQueryDlg cancelled(nullptr);
    cancelled.m_edStatement->setPlainText("old");
    m_script.On("CPragmaListDlg", [](QDialog& shown) { shown.reject(); });
    Click(cancelled, "PRAGMA List...");
    EXPECT_EQ(Statement(cancelled), L"old");
}

// The open database's saved queries, oldest first, with their single quotes back.
TEST_F(Console, SqlListOffersTheSavedQueriesWithQuotes)
{
    OpenDatabase(L"shop.db", "CREATE TABLE t(a);");
    ASSERT_EQ(m_mainFrame.m_strRecentQueryNode, L"RecentQuery.shop");
    m_store.AddTextValue(L"RecentQuery.shop", L"SELECT * FROM t WHERE a = 'x'");
    m_store.AddTextValue(L"RecentQuery.shop", L"SELECT 2");
    m_store.CreateNode(L"RecentQuery.other", NODE_TYPE_TEXT);
    m_store.AddTextValue(L"RecentQuery.other", L"SELECT 3");

    struct Case {
        int row; // -1: OK without a selection
        const wchar_t* expected;
    };
    for (const Case& c : {Case{0, L"SELECT * FROM t WHERE a = 'x'"}, Case{1, L"SELECT 2"}, Case{-1, L""}}) {
        CQueryDlg dialog(nullptr);
        dialog.m_edStatement->setPlainText("old");
        std::vector<std::wstring> listed;
        m_script.On("CItemListDlg", [&](QDialog& shown) {
            auto& list = static_cast<CItemListDlg&>(shown);
            EXPECT_EQ(list.windowTitle(), "SQL List");
            EXPECT_EQ(list.m_list->headerItem()->text(0), "Saved Queries");
            for (int row = 0; row < list.m_list->RowCount(); ++row)
                listed.push_back(list.m_list->RowText(row));
            if (c.row >= 0)
                list.m_list->topLevelItem(c.row)->setSelected(true);
            ClickOk(list);
        });
        Click(dialog, "SQL List...");
        EXPECT_EQ(listed, (std::vector<std::wstring>{L"SELECT * FROM t WHERE a = 'x'", L"SELECT 2"}));
        EXPECT_EQ(Statement(dialog), c.expected);
        EXPECT_TRUE(dialog.m_btnExecute->isEnabled());
    }
}

// A query window saves its statement as written: backquotes, single and double quotes
// come back through SQL List into the statement unchanged. A statement saved before with
// backquotes for its single quotes still comes back with its quotes, and is not saved twice.
TEST_F(Console, SqlListGivesBackTheStatementsAsWritten)
{
    OpenDatabase(L"shop.db", "CREATE TABLE t(name TEXT, \"odd\"\"col\" TEXT); INSERT INTO t VALUES ('x', 'y');");
    // As every saved statement was kept until now.
    ASSERT_TRUE(m_store.AddTextValue(m_mainFrame.m_strRecentQueryNode, L"SELECT name FROM t WHERE name = 'x'"));
    const std::vector<std::wstring> statements = {
        L"SELECT `name` FROM t",
        L"SELECT 'it''s', \"odd\"\"col\" FROM t WHERE `name` <> 'a`b'",
        L"SELECT name FROM t WHERE name = 'x'",
        L"SELECT \"name\" FROM t WHERE name = \"name\"",
    };
    for (const std::wstring& sql : statements) {
        CDataAccess window;
        ASSERT_TRUE(window.Open(sql, RECSET_MODE_QUERY)) << testing_support::Utf8(sql);
    }
    const std::vector<std::wstring> saved = {L"SELECT name FROM t WHERE name = 'x'", statements[0], statements[1],
                                             statements[3]};
    for (int row = 0; row < static_cast<int>(saved.size()); ++row) {
        CQueryDlg dialog(nullptr);
        std::vector<std::wstring> listed;
        m_script.On("CItemListDlg", [&](QDialog& shown) {
            auto& list = static_cast<CItemListDlg&>(shown);
            for (int i = 0; i < list.m_list->RowCount(); ++i)
                listed.push_back(list.m_list->RowText(i));
            list.m_list->topLevelItem(row)->setSelected(true);
            ClickOk(list);
        });
        Click(dialog, "SQL List...");
        EXPECT_EQ(listed, saved);
        EXPECT_EQ(Statement(dialog), saved[static_cast<size_t>(row)]);
    }
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// Paste Script replaces the whole statement by the clipboard's text; with none it stays, selected.
TEST_F(Console, PasteScriptReplacesTheWholeStatement)
{
    CQueryDlg dialog(nullptr);
    dialog.m_edStatement->setPlainText("old\nlines");
    platform::SetClipboardText(L"SELECT 'ü' FROM t;\nSELECT 2;");
    Click(dialog, "Paste Script");
    EXPECT_EQ(Statement(dialog), L"SELECT 'ü' FROM t;\nSELECT 2;");
    EXPECT_TRUE(dialog.m_btnExecute->isEnabled());

    platform::SetClipboardText(L"");
    Click(dialog, "Paste Script");
    EXPECT_EQ(Statement(dialog), L"SELECT 'ü' FROM t;\nSELECT 2;");
    EXPECT_EQ(dialog.m_edStatement->textCursor().selectedText(), QString::fromWCharArray(L"SELECT 'ü' FROM t;\u2029SELECT 2;"));
}

} // namespace
