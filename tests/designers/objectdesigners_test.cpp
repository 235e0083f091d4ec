// The index, trigger and view designers, worked through their controls: what Save runs,
// the checks before it, a name that exists already, and a statement the database refuses.
#include "designers/cnewindexdlg.h"
#include "designers/cnewtriggerdlg.h"
#include "designers/cnewviewdlg.h"

#include "data/cadbsqldb.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "designers/cselectfield.h"
#include "designers/designerkit.h"
#include "databasefixture.h"
#include "dialogscript.h"
#include "document/grid/ccomboboxplus.h"
#include "document/grid/clistctrlcombo.h"
#include "platform/widgets/combobox.h"
#include "platform/widgets/reportlist.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using testing_support::ButtonWithText;
using testing_support::ExecRaw;
using testing_support::QueryRaw;
using testing_support::Utf8;

namespace {

void Press(QDialog& dialog, const QString& text) { QTest::mouseClick(ButtonWithText(dialog, text), Qt::LeftButton); }

// Chooses the box's entry as the user does, by the keyboard.
void Choose(platform::ComboBox* box, const QString& entry)
{
    const int index = box->findText(entry);
    ASSERT_GE(index, 0) << entry.toStdString();
    box->setFocus();
    while (box->currentIndex() != index)
        QTest::keyClick(box, box->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
}

std::vector<QString> Entries(const QComboBox* box)
{
    std::vector<QString> out;
    for (int i = 0; i < box->count(); ++i)
        out.push_back(box->itemText(i));
    return out;
}

// The field picker ticks the named columns and presses Ok.
void TickInPicker(DialogScript& script, std::vector<QString> names)
{
    script.On("CSelectField", [names](QDialog& dialog) {
        auto& picker = static_cast<CSelectField&>(dialog);
        for (int row = 0; row < picker.m_list->RowCount(); ++row)
            picker.m_list->SetChecked(row, std::find(names.begin(), names.end(),
                                                     platform::ToQString(picker.m_list->RowText(row))) != names.end());
        Press(dialog, QStringLiteral("Ok"));
    });
}

class Designers : public DatabaseFixture {
protected:
    void SetUp() override
    {
        DatabaseFixture::SetUp();
        ResetDatabaseGlobals();
        // The key grid's lists as a first start fills them.
        using List = std::pair<const wchar_t*, std::vector<const wchar_t*>>;
        for (const auto& [node, entries] : {List{NODE_COLLATE_TYPES, {L"BINARY", L"NOCASE", L"RTRIM"}},
                                            List{NODE_SORTBY_TYPES, {L"ASC", L"DESC"}}}) {
            m_store.CreateNode(node, NODE_TYPE_TEXT);
            for (const wchar_t* entry : entries)
                m_store.AddTextValue(node, entry);
        }
        ASSERT_NO_FATAL_FAILURE(OpenDatabase(
            L"designers.db", "CREATE TABLE [my table](id INTEGER PRIMARY KEY, [my col] TEXT, x INT, [select] TEXT);"
                             "CREATE TABLE [order](id INTEGER PRIMARY KEY, qty INT);"
                             "CREATE TABLE log(what TEXT);"
                             "CREATE INDEX Existing ON [order](qty);"
                             "CREATE TRIGGER Kept AFTER INSERT ON log BEGIN SELECT 1; END;"
                             "CREATE VIEW Shown AS SELECT 1;"));
    }

    std::string Raw(const std::string& sql) { return QueryRaw(m_path, sql); }
};

TEST_F(Designers, AnIndexOnPickedKeysWithCollationsAndSortsIsCreated)
{
    DialogScript script;
    TickInPicker(script, {QStringLiteral("select"), QStringLiteral("my col")});
    CNewIndexDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("New Index"));
    EXPECT_EQ(Entries(dialog.m_comboTable),
              (std::vector<QString>{QStringLiteral("log"), QStringLiteral("my table"), QStringLiteral("order")}));
    EXPECT_EQ(dialog.m_comboTable->currentText(), QString());
    QTest::keyClicks(dialog.m_editName, QStringLiteral("by name"));
    dialog.m_checkUnique->setChecked(true);
    Choose(dialog.m_comboTable, QStringLiteral("my table"));
    Press(dialog, QStringLiteral("On Field(s)..."));
    // The keys in the table's column order.
    CListCtrlCombo* grid = dialog.m_grid.GetGrid();
    ASSERT_EQ(grid->GetItemCount(), 2);
    EXPECT_EQ(grid->GetItemText(0, 0), L"my col");
    EXPECT_EQ(grid->GetItemText(1, 0), L"select");

    // The collation list starts with one blank, the sort list with an empty entry.
    grid->BeginEdit(0, CNewIndexDlg::KEY_COLLATE_COLUMN, true);
    auto* collate = static_cast<CComboBoxPlus*>(grid->GetEditorWidget(CNewIndexDlg::KEY_COLLATE_COLUMN));
    EXPECT_EQ(Entries(collate), (std::vector<QString>{QStringLiteral(" "), QStringLiteral("BINARY"),
                                                      QStringLiteral("NOCASE"), QStringLiteral("RTRIM")}));
    grid->SetItemText(0, CNewIndexDlg::KEY_COLLATE_COLUMN, L"NOCASE");
    grid->SetItemText(1, CNewIndexDlg::KEY_SORT_COLUMN, L"DESC");
    auto* sort = static_cast<CComboBoxPlus*>(grid->GetEditorWidget(CNewIndexDlg::KEY_SORT_COLUMN));
    EXPECT_EQ(Entries(sort), (std::vector<QString>{QString(), QStringLiteral("ASC"), QStringLiteral("DESC")}));

    Press(dialog, QStringLiteral("Save"));
    EXPECT_EQ(m_boxes.Count(), 0u) << Utf8(m_boxes.Last().text);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.GetIndexName(), L"by name");
    EXPECT_EQ(Raw("SELECT group_concat(name || ':' || coll || ':' || desc, '|') FROM pragma_index_xinfo('by name') "
                  "WHERE key"),
              "my col:NOCASE:0|select:BINARY:1");
    EXPECT_EQ(Raw("SELECT \"unique\" FROM pragma_index_list('my table') WHERE name = 'by name'"), "1");
}

// Picking again starts the keys afresh; the names picked before come ticked.
TEST_F(Designers, PickingTheKeysAgainResetsTheirCollationsAndSorts)
{
    DialogScript script;
    TickInPicker(script, {QStringLiteral("x")});
    CNewIndexDlg dialog;
    Choose(dialog.m_comboTable, QStringLiteral("my table"));
    Press(dialog, QStringLiteral("On Field(s)..."));
    CListCtrlCombo* grid = dialog.m_grid.GetGrid();
    grid->SetItemText(0, CNewIndexDlg::KEY_SORT_COLUMN, L"DESC");
    bool tickedBefore = false;
    script.On("CSelectField", [&](QDialog& shown) {
        auto& picker = static_cast<CSelectField&>(shown);
        tickedBefore = picker.m_list->IsChecked(2);
        picker.m_list->SetChecked(0, true);
        Press(shown, QStringLiteral("Ok"));
    });
    Press(dialog, QStringLiteral("On Field(s)..."));
    EXPECT_TRUE(tickedBefore);
    ASSERT_EQ(grid->GetItemCount(), 2);
    EXPECT_EQ(grid->GetItemText(0, 0), L"id");
    EXPECT_EQ(grid->GetItemText(1, 0), L"x");
    EXPECT_EQ(grid->GetItemText(1, CNewIndexDlg::KEY_SORT_COLUMN), L"");
}

// Fault: with columns "É" and "é", which the engine keeps apart, picking the key "é" again
// ticked both, and Save made the index on both. The picker ticks the key picked, and the
// index is made on it alone.
TEST_F(Designers, PickingAKeyAgainTicksThatColumnAlone)
{
    ExecRaw(m_path, "CREATE TABLE accents(\"É\" TEXT, \"é\" TEXT)");
    DialogScript script;
    TickInPicker(script, {QStringLiteral("é")});
    CNewIndexDlg dialog;
    dialog.m_editName->setText(QStringLiteral("by é"));
    Choose(dialog.m_comboTable, QStringLiteral("accents"));
    Press(dialog, QStringLiteral("On Field(s)..."));
    std::vector<bool> ticked;
    script.On("CSelectField", [&](QDialog& shown) {
        auto& picker = static_cast<CSelectField&>(shown);
        for (int row = 0; row < picker.m_list->RowCount(); ++row)
            ticked.push_back(picker.m_list->IsChecked(row));
        Press(shown, QStringLiteral("Ok"));
    });
    Press(dialog, QStringLiteral("On Field(s)..."));
    EXPECT_EQ(ticked, (std::vector<bool>{false, true}));
    Press(dialog, QStringLiteral("Save"));
    ASSERT_EQ(dialog.result(), QDialog::Accepted) << Utf8(m_boxes.Last().text);
    EXPECT_EQ(Raw("SELECT group_concat(name, '|') FROM pragma_index_info('by é')"), "é");
}

// A chosen collation that was never left is saved; Enter never saves.
TEST_F(Designers, AnIndexCellChosenAndNotLeftCountsAndEnterDoesNothing)
{
    DialogScript script;
    TickInPicker(script, {QStringLiteral("qty")});
    CNewIndexDlg dialog;
    dialog.show();
    QTest::keyClicks(dialog.m_editName, QStringLiteral("i2"));
    Choose(dialog.m_comboTable, QStringLiteral("order"));
    Press(dialog, QStringLiteral("On Field(s)..."));
    CListCtrlCombo* grid = dialog.m_grid.GetGrid();
    grid->BeginEdit(0, CNewIndexDlg::KEY_COLLATE_COLUMN, true);
    auto* collate = static_cast<CComboBoxPlus*>(grid->GetEditorWidget(CNewIndexDlg::KEY_COLLATE_COLUMN));
    collate->setFocus();
    QTest::keyClicks(collate, QStringLiteral("R"));
    ASSERT_EQ(collate->currentText(), QStringLiteral("RTRIM"));

    QTest::keyClick(dialog.m_editName, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(Raw("SELECT count(*) FROM sqlite_master WHERE name = 'i2'"), "0");

    Press(dialog, QStringLiteral("Save"));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Raw("SELECT coll FROM pragma_index_xinfo('i2') WHERE key"), "RTRIM");
}

TEST_F(Designers, AnIndexNameThatIsEmptyOrExistsIsRefusedAndTheDialogStays)
{
    DialogScript script;
    TickInPicker(script, {QStringLiteral("qty")});
    CNewIndexDlg dialog;
    Choose(dialog.m_comboTable, QStringLiteral("order"));
    Press(dialog, QStringLiteral("On Field(s)..."));
    dialog.m_editName->setText(QStringLiteral("  "));
    Press(dialog, QStringLiteral("Save"));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, STR_INDEX_NAME_REQUIRED);
    EXPECT_EQ(m_boxes.Last().caption, STR_PRODUCT_NAME);

    // The engine would keep the old index silently (IF NOT EXISTS); the dialog says so.
    dialog.m_editName->setText(QStringLiteral("EXISTING"));
    Press(dialog, QStringLiteral("Save"));
    ASSERT_EQ(m_boxes.Count(), 2u);
    EXPECT_EQ(m_boxes.Last().text, L"Index <EXISTING> already exists.");
    EXPECT_EQ(m_boxes.Last().caption, STR_PRODUCT_NAME);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Raw("SELECT sql FROM sqlite_master WHERE name = 'Existing'"), "CREATE INDEX Existing ON [order](qty)");

    // A table name typed that is no table: an empty picker, then the engine's refusal.
    dialog.m_comboTable->setEditText(QStringLiteral("nowhere"));
    script.On("CSelectField", [](QDialog& shown) {
        EXPECT_EQ(static_cast<CSelectField&>(shown).m_list->RowCount(), 0);
        shown.reject();
    });
    Press(dialog, QStringLiteral("On Field(s)..."));
    dialog.m_editName->setText(QStringLiteral("fresh"));
    Press(dialog, QStringLiteral("Save"));
    ASSERT_EQ(m_boxes.Count(), 3u);
    EXPECT_NE(m_boxes.Last().text.find(L"nowhere"), std::wstring::npos) << Utf8(m_boxes.Last().text);
    EXPECT_EQ(m_boxes.Last().caption, STR_PRODUCT_NAME);
    EXPECT_NE(dialog.result(), QDialog::Accepted);

    // Columns that cannot be read: the engine's text, and no picker.
    ExecRaw(m_path, "CREATE VIEW broken AS SELECT * FROM gone");
    dialog.m_comboTable->setEditText(QStringLiteral("broken"));
    script.On("CSelectField", [](QDialog& shown) {
        ADD_FAILURE() << "the picker opened";
        shown.reject();
    });
    Press(dialog, QStringLiteral("On Field(s)..."));
    ASSERT_EQ(m_boxes.Count(), 4u);
    EXPECT_NE(m_boxes.Last().text.find(L"gone"), std::wstring::npos) << Utf8(m_boxes.Last().text);
    EXPECT_EQ(m_boxes.Last().caption, STR_PRODUCT_NAME);
    m_boxes.Clear();

    // Without a table name the picker does not open.
    dialog.m_comboTable->setEditText(QString());
    Press(dialog, QStringLiteral("On Field(s)..."));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, STR_SELECT_TABLE_NAME);
    EXPECT_EQ(m_boxes.Last().caption, STR_SELECT_TABLE_NAME_CAPTION);
    EXPECT_EQ(m_boxes.Last().style, platform::MB_OK | platform::MB_ICONINFORMATION);
}

// Fills the trigger designer for a trigger on the table that logs its name.
void FillTrigger(CNewTriggerDlg& dialog, const QString& name, const QString& time, const QString& event,
                 const QString& table)
{
    QTest::keyClicks(dialog.m_editName, name);
    Choose(dialog.m_comboTime, time);
    Choose(dialog.m_comboEvent, event);
    Choose(dialog.m_comboTable, table);
    dialog.m_checkForEachRow->setChecked(true);
    dialog.m_editBody->selectAll();
    QTest::keyClicks(dialog.m_editBody, QStringLiteral("BEGIN INSERT INTO log VALUES ('%1'); END").arg(name));
}

TEST_F(Designers, TheTriggerDesignerStartsAsItShould)
{
    CNewTriggerDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("New Trigger"));
    EXPECT_EQ(dialog.m_checkTemporary->text(), QStringLiteral("Temperary"));
    EXPECT_EQ(Entries(dialog.m_comboTime),
              (std::vector<QString>{QStringLiteral("AFTER"), QStringLiteral("BEFORE"), QStringLiteral("INSTEAD OF")}));
    EXPECT_EQ(Entries(dialog.m_comboEvent), (std::vector<QString>{QStringLiteral("DELETE"), QStringLiteral("INSERT"),
                                                                   QStringLiteral("UPDATE"), QStringLiteral("UPDATE OF")}));
    EXPECT_EQ(dialog.m_comboTime->currentIndex(), -1);
    EXPECT_EQ(dialog.m_comboEvent->currentIndex(), -1);
    EXPECT_EQ(dialog.m_editBody->toPlainText(), QStringLiteral("BEGIN\n\nEND"));
    EXPECT_FALSE(dialog.m_editColumns->isEnabled());
    EXPECT_FALSE(dialog.m_btnColumns->isEnabled());

    // Tab walks the controls in the order they stand.
    const std::vector<QWidget*> order = {dialog.m_checkTemporary, dialog.m_editName,    dialog.m_comboTime,
                                         dialog.m_comboEvent,     dialog.m_editColumns, dialog.m_btnColumns,
                                         dialog.m_comboTable,     dialog.m_checkForEachRow, dialog.m_editWhen,
                                         dialog.m_editBody};
    std::vector<QWidget*> walked;
    for (QWidget* widget = order.front(); walked.size() < order.size(); widget = widget->nextInFocusChain())
        if (std::find(order.begin(), order.end(), widget) != order.end())
            walked.push_back(widget);
    EXPECT_EQ(walked, order);

    Choose(dialog.m_comboTable, QStringLiteral("my table"));
    EXPECT_EQ(dialog.m_staticOn->text(), QStringLiteral("ON my table"));
    Choose(dialog.m_comboEvent, QStringLiteral("UPDATE OF"));
    EXPECT_TRUE(dialog.m_editColumns->isEnabled());
    EXPECT_TRUE(dialog.m_btnColumns->isEnabled());
    dialog.m_editColumns->setText(QStringLiteral("x"));
    Choose(dialog.m_comboEvent, QStringLiteral("UPDATE"));
    EXPECT_FALSE(dialog.m_editColumns->isEnabled());
    EXPECT_FALSE(dialog.m_btnColumns->isEnabled());
    Choose(dialog.m_comboEvent, QStringLiteral("UPDATE OF"));
    EXPECT_EQ(dialog.m_editColumns->text(), QString());
}

// The checks in their order, each with its box and its control taking the focus. The body
// check compares the text as the editor gives it back, so it fires under Qt too.
TEST_F(Designers, TheTriggerChecksComeInTheirOrder)
{
    CNewTriggerDlg dialog;
    dialog.show();
    const auto save = [&](const wchar_t* message, QWidget* focus) {
        m_boxes.Clear();
        Press(dialog, QStringLiteral("Save"));
        ASSERT_EQ(m_boxes.Count(), 1u) << Utf8(message);
        EXPECT_EQ(m_boxes.Last().text, message);
        EXPECT_EQ(m_boxes.Last().caption, STR_PRODUCT_NAME);
        EXPECT_EQ(dialog.focusWidget(), focus) << Utf8(message);
        EXPECT_NE(dialog.result(), QDialog::Accepted);
    };
    save(STR_TRIGGER_NAME_REQUIRED, dialog.m_editName);
    QTest::keyClicks(dialog.m_editName, QStringLiteral("t1"));
    save(STR_TRIGGER_TIME_REQUIRED, dialog.m_comboTime);
    Choose(dialog.m_comboTime, QStringLiteral("AFTER"));
    save(STR_TRIGGER_EVENT_REQUIRED, dialog.m_comboEvent);
    Choose(dialog.m_comboEvent, QStringLiteral("UPDATE OF"));
    save(STR_TRIGGER_TABLE_REQUIRED, dialog.m_comboTable);
    Choose(dialog.m_comboTable, QStringLiteral("my table"));
    save(STR_TRIGGER_COLUMN_REQUIRED, dialog.m_editColumns);
    QTest::keyClicks(dialog.m_editColumns, QStringLiteral("x"));
    save(STR_TRIGGER_BODY_REQUIRED, dialog.m_editBody);
    EXPECT_EQ(Raw("SELECT count(*) FROM sqlite_master WHERE name = 't1'"), "0");

    // An emptied body passes the check and the engine refuses it.
    dialog.m_editBody->clear();
    m_boxes.Clear();
    Press(dialog, QStringLiteral("Save"));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_NE(m_boxes.Last().text.find(L"SQLITE_ERROR"), std::wstring::npos) << Utf8(m_boxes.Last().text);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

// UPDATE OF with picked columns whose names need quoting, on a table named by a keyword,
// temporary: the trigger is created and fires on its columns only.
TEST_F(Designers, ATemporaryUpdateOfTriggerOnPickedColumnsIsCreatedAndFires)
{
    DialogScript script;
    TickInPicker(script, {QStringLiteral("my col"), QStringLiteral("select")});
    CNewTriggerDlg dialog;
    FillTrigger(dialog, QStringLiteral("on change"), QStringLiteral("AFTER"), QStringLiteral("UPDATE OF"),
                QStringLiteral("my table"));
    dialog.m_checkTemporary->setChecked(true);
    Press(dialog, QStringLiteral("Column Names..."));
    EXPECT_EQ(dialog.m_editColumns->text(), QStringLiteral("my col, select"));
    dialog.m_editWhen->setPlainText(QStringLiteral("NEW.x > 0"));
    Press(dialog, QStringLiteral("Save"));
    EXPECT_EQ(m_boxes.Count(), 0u) << Utf8(m_boxes.Last().text);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.GetTriggerName(), L"on change");

    CADbSqlDb& db = CurrentDb();
    db.ExecuteCmd(L"INSERT INTO [my table](x, [my col]) VALUES (1, 'a'), (-1, 'b')");
    db.ExecuteCmd(L"UPDATE [my table] SET x = x * 2");
    db.ExecuteCmd(L"UPDATE [my table] SET [select] = 's'");
    CADbSqlQuery query;
    db.Query(query, L"SELECT count(*) FROM log");
    EXPECT_EQ(query.GetIntField(0), 1); // the one row with x > 0, only when its columns changed
    query.Finalize();
    db.Query(query, L"SELECT count(*) FROM sqlite_temp_master WHERE name = 'on change'");
    EXPECT_EQ(query.GetIntField(0), 1);
    query.Finalize();
    // Temporary: the file holds no such trigger.
    EXPECT_EQ(Raw("SELECT count(*) FROM sqlite_master WHERE type = 'trigger' AND name = 'on change'"), "0");
}

TEST_F(Designers, ATriggerNameThatExistsIsRefusedAndARefusedStatementShowsTheEnginesText)
{
    CNewTriggerDlg dialog;
    FillTrigger(dialog, QStringLiteral("KEPT"), QStringLiteral("BEFORE"), QStringLiteral("DELETE"), QStringLiteral("order"));
    Press(dialog, QStringLiteral("Save"));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, L"Trigger <KEPT> already exists.");

    // A temporary trigger of a name the file holds is refused too.
    dialog.m_checkTemporary->setChecked(true);
    Press(dialog, QStringLiteral("Save"));
    ASSERT_EQ(m_boxes.Count(), 2u);
    EXPECT_EQ(m_boxes.Last().text, L"Trigger <KEPT> already exists.");
    EXPECT_EQ(Raw("SELECT count(*) FROM sqlite_master WHERE type = 'trigger'"), "1");

    // INSTEAD OF on a table: the engine's own words.
    dialog.m_checkTemporary->setChecked(false);
    dialog.m_editName->setText(QStringLiteral("instead"));
    Choose(dialog.m_comboTime, QStringLiteral("INSTEAD OF"));
    Press(dialog, QStringLiteral("Save"));
    ASSERT_EQ(m_boxes.Count(), 3u);
    EXPECT_NE(m_boxes.Last().text.find(L"INSTEAD OF"), std::wstring::npos) << Utf8(m_boxes.Last().text);
    EXPECT_EQ(m_boxes.Last().caption, STR_PRODUCT_NAME);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

TEST_F(Designers, AViewIsCreatedAndItsChecksAndExistingNameAreReported)
{
    CNewViewDlg dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("New View"));
    Press(dialog, QStringLiteral("OK"));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, STR_VIEW_NAME_REQUIRED);
    EXPECT_EQ(m_boxes.Last().text, L"View name is require.");
    QTest::keyClicks(dialog.m_editName, QStringLiteral("shown"));
    Press(dialog, QStringLiteral("OK"));
    ASSERT_EQ(m_boxes.Count(), 2u);
    EXPECT_EQ(m_boxes.Last().text, STR_VIEW_SELECT_REQUIRED);
    dialog.m_editSelect->setPlainText(QStringLiteral("SELECT qty\nFROM [order]"));
    Press(dialog, QStringLiteral("OK"));
    ASSERT_EQ(m_boxes.Count(), 3u);
    EXPECT_EQ(m_boxes.Last().text, L"View <shown> already exists.");
    EXPECT_EQ(Raw("SELECT sql FROM sqlite_master WHERE name = 'Shown'"), "CREATE VIEW Shown AS SELECT 1");

    dialog.m_editName->setText(QStringLiteral("quantities"));
    QTest::keyClick(dialog.m_editName, Qt::Key_Return);
    EXPECT_EQ(m_boxes.Count(), 3u) << Utf8(m_boxes.Last().text);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.GetViewName(), L"quantities");
    ExecRaw(m_path, "INSERT INTO [order](qty) VALUES (4), (5)");
    EXPECT_EQ(Raw("SELECT group_concat(qty) FROM quantities"), "4,5");
}

// Fault: tables, views and indexes share their names, and CREATE VIEW IF NOT EXISTS did
// nothing, silently, when a table held the name: the dialog closed as if the view were
// made. A name another object holds, in any ASCII case, is refused by a box saying which
// kind holds it; the dialog stays open and the file is as it was.
TEST_F(Designers, ANameTakenByATableViewOrIndexIsRefusedByTheViewAndIndexDesigners)
{
    struct Case {
        bool view; // the view designer, else the index designer
        const wchar_t* name;
        const wchar_t* box;
    };
    const Case cases[] = {
        {true, L"MY TABLE", L"The name <MY TABLE> is already used by a table."},
        {true, L"SHOWN", L"View <SHOWN> already exists."},
        {true, L"existing", L"The name <existing> is already used by an index."},
        {false, L"My Table", L"The name <My Table> is already used by a table."},
        {false, L"shown", L"The name <shown> is already used by a view."},
        {false, L"EXISTING", L"Index <EXISTING> already exists."},
    };
    const std::string schema = Raw("SELECT group_concat(type || ':' || name || ':' || sql, '|') FROM sqlite_master");
    DialogScript script;
    TickInPicker(script, {QStringLiteral("qty")});
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.name));
        m_boxes.Clear();
        std::unique_ptr<QDialog> dialog;
        QLineEdit* nameEdit = nullptr;
        if (c.view) {
            auto* view = new CNewViewDlg;
            view->m_editSelect->setPlainText(QStringLiteral("SELECT 1"));
            nameEdit = view->m_editName;
            dialog.reset(view);
        } else {
            auto* index = new CNewIndexDlg;
            Choose(index->m_comboTable, QStringLiteral("order"));
            Press(*index, QStringLiteral("On Field(s)..."));
            nameEdit = index->m_editName;
            dialog.reset(index);
        }
        dialog->show();
        nameEdit->setText(QString::fromWCharArray(c.name));
        Press(*dialog, c.view ? QStringLiteral("OK") : QStringLiteral("Save"));
        ASSERT_EQ(m_boxes.Count(), 1u);
        EXPECT_EQ(m_boxes.Last().text, c.box);
        EXPECT_EQ(m_boxes.Last().caption, STR_PRODUCT_NAME);
        EXPECT_NE(dialog->result(), QDialog::Accepted);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->focusWidget(), nameEdit);
    }
    EXPECT_EQ(Raw("SELECT group_concat(type || ':' || name || ':' || sql, '|') FROM sqlite_master"), schema);
}

TEST_F(Designers, AViewTheEngineRefusesKeepsTheDialogOpen)
{
    CNewViewDlg dialog;
    dialog.m_editName->setText(QStringLiteral("broken"));
    dialog.m_editSelect->setPlainText(QStringLiteral("SELECT qty FROM [order] WHERE"));
    Press(dialog, QStringLiteral("OK"));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_NE(m_boxes.Last().text.find(L"incomplete input"), std::wstring::npos) << Utf8(m_boxes.Last().text);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_editSelect->toPlainText(), QStringLiteral("SELECT qty FROM [order] WHERE"));
    EXPECT_EQ(Raw("SELECT count(*) FROM sqlite_master WHERE name = 'broken'"), "0");
}

// The designers write the file another connection works on, in either journal mode: what
// that connection wrote first is seen (a unique index over its duplicates is refused), and
// what the designers made serves it afterwards.
class DesignersOnASharedFile : public Designers, public testing::WithParamInterface<const char*> {
protected:
    void SetUp() override
    {
        Designers::SetUp();
        ExecRaw(m_path, std::string("PRAGMA journal_mode = ") + GetParam());
    }
};

TEST_P(DesignersOnASharedFile, AnotherConnectionSeesAndUsesWhatTheyCreate)
{
    ASSERT_EQ(Raw("PRAGMA journal_mode"), GetParam());
    ExecRaw(m_path, "INSERT INTO [order](qty) VALUES (1), (1)");
    DialogScript script;
    TickInPicker(script, {QStringLiteral("qty")});
    CNewIndexDlg index;
    index.m_editName->setText(QStringLiteral("one qty"));
    index.m_checkUnique->setChecked(true);
    index.m_comboTable->setEditText(QStringLiteral("order"));
    Press(index, QStringLiteral("On Field(s)..."));
    Press(index, QStringLiteral("Save"));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_NE(m_boxes.Last().text.find(L"UNIQUE"), std::wstring::npos) << Utf8(m_boxes.Last().text);
    ExecRaw(m_path, "DELETE FROM [order] WHERE rowid = (SELECT max(rowid) FROM [order])");
    Press(index, QStringLiteral("Save"));
    EXPECT_EQ(index.result(), QDialog::Accepted);

    CNewTriggerDlg trigger;
    FillTrigger(trigger, QStringLiteral("logged"), QStringLiteral("AFTER"), QStringLiteral("INSERT"),
                QStringLiteral("order"));
    Press(trigger, QStringLiteral("Save"));
    EXPECT_EQ(trigger.result(), QDialog::Accepted);

    CNewViewDlg view;
    view.m_editName->setText(QStringLiteral("quantities"));
    view.m_editSelect->setPlainText(QStringLiteral("SELECT qty FROM [order]"));
    Press(view, QStringLiteral("OK"));
    EXPECT_EQ(view.result(), QDialog::Accepted);
    EXPECT_EQ(m_boxes.Count(), 1u) << Utf8(m_boxes.Last().text);

    ExecRaw(m_path, "INSERT INTO [order](qty) VALUES (2)");
    EXPECT_EQ(Raw("SELECT group_concat(what) FROM log"), "logged");
    EXPECT_EQ(Raw("SELECT group_concat(qty) FROM quantities"), "1,2");
    EXPECT_EQ(Raw("SELECT count(*) FROM [order] WHERE qty = 1"), "1");
    EXPECT_EQ(Raw("PRAGMA integrity_check"), "ok");
}

INSTANTIATE_TEST_SUITE_P(JournalModes, DesignersOnASharedFile, testing::Values("wal", "delete"));

} // namespace
