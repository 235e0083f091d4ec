// "New Table": the input checks in their order, the records that stay with their rows,
// the column and table constraints composed into one CREATE TABLE that the engine reads
// back, and a refused statement that leaves the dialog open.
#include "designers/ctableschemadlg.h"

#include "data/cadbsqldb.h"
#include "data/currentdb.h"
#include "data/settings.h"
#include "designers/ccolumnconstraintdlg.h"
#include "designers/cforkeyclausedlg.h"
#include "designers/cnewindexdlg.h"
#include "designers/ctableconstraintdlg.h"
#include "designers/ctblconstprimuniqkeydlg.h"
#include "dialogscript.h"
#include "document/grid/clistctrlcombo.h"
#include "document/grid/cplheaderctrl.h"
#include "platform/widgets/combobox.h"
#include "tabledesignfixture.h"

#include <QApplication>
#include <QScrollBar>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <deque>
#include <functional>

namespace {

enum { NAME, TYPE, SIZE, PRECISION, DEFAULT, PRIMARY, NOT_NULL, UNIQUE, CONSTRAINT };

class TableDesigner : public TableDesignFixture {
protected:
    // Appends rows through Add Field and fills their cells.
    static void AddRows(CTableSchemaDlg& dialog, std::initializer_list<std::initializer_list<const wchar_t*>> rows)
    {
        for (const auto& cells : rows) {
            const int row = dialog.m_wndList.GetGrid()->GetItemCount();
            dialog.OnAddField();
            SetRow(dialog.m_wndList, row, cells);
        }
    }

    // Shows the dialog active, as the user meets it, so that typed keys reach it.
    static void ShowActive(QDialog& dialog)
    {
        dialog.resize(700, 400);
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    // Presses the "..." cell of the row as the grid reports it.
    static void PressConstraintCell(CTableSchemaDlg& dialog, int row)
    {
        platform::SendMessage(&dialog, UM_CELL_BUTTON, CONSTRAINT, row);
    }

    // The field picker answered in turn by each list of names.
    void QueuePicks(DialogScript& script, std::vector<std::vector<std::wstring>> picks)
    {
        m_picks.assign(picks.begin(), picks.end());
        script.On("CSelectField", [this](QDialog& picker) {
            ASSERT_FALSE(m_picks.empty());
            TickAndOk(picker, m_picks.front());
            m_picks.pop_front();
        });
    }

    // The Table Constraint dialog's answer: `work` presses its buttons, then Apply.
    static DialogScript::Step TableConstraint(const wchar_t* name, const wchar_t* check,
                                              std::function<void(CTableConstraintDlg&)> work)
    {
        return [=](QDialog& shown) {
            auto& dialog = static_cast<CTableConstraintDlg&>(shown);
            if (work)
                work(dialog);
            dialog.m_editName->setText(QString::fromWCharArray(name));
            dialog.m_editCheck->setText(QString::fromWCharArray(check));
            QTest::mouseClick(dialog.m_btnApply, Qt::LeftButton);
        };
    }

    std::deque<std::vector<std::wstring>> m_picks;
};

// The designers' grids are set in their dialog's font, not in the large datasheet font
// (even once the grid has painted with the datasheet settings changed), and their columns
// fit the dialog: nothing is cut off and nothing needs scrolling sideways, with the
// vertical scroll bar shown or room left for it.
TEST_F(TableDesigner, DesignerGridsUseTheDialogsFontAndFitItsWidth)
{
    const std::wstring face = g_strFontFace;
    const std::wstring size = g_strFontSize;
    g_strFontFace = L"Tahoma";
    g_strFontSize = L"14";
    std::vector<ColumnDefinition> columns(3);
    std::vector<KeyColumn> keys(3, KeyColumn{L"a key column name", L"NOCASE", L"DESC"});
    std::wstring conflict;
    CTableSchemaDlg table;
    for (int i = 0; i < 30; ++i)
        table.OnAddField();
    CTblConstPrimUniqKeyDlg key(&columns, &keys, &conflict, nullptr);
    CNewIndexDlg index;
    const std::pair<QDialog*, CListFrame*> dialogs[] = {
        {&table, &table.m_wndList}, {&key, &key.m_wndList}, {&index, &index.m_grid}};
    for (const auto& [dialog, frame] : dialogs) {
        SCOPED_TRACE(dialog->windowTitle().toStdString());
        dialog->show();
        g_strFontSize = L"20";
        dialog->grab(); // a paint looks at the datasheet settings
        CListCtrlCombo* grid = frame->GetGrid();
        EXPECT_EQ(grid->font(), dialog->font());
        EXPECT_EQ(grid->horizontalHeader()->font(), dialog->font());
        int width = 0;
        for (int i = 0; i < grid->GetColumnCount(); ++i)
            width += grid->columnWidth(i);
        const QScrollBar* bar = grid->verticalScrollBar();
        if (dialog == &table) {
            // Thirty rows do not fit.
            EXPECT_TRUE(QTest::qWaitFor([bar] { return bar->isVisible(); }, 5000));
        }
        const int room = grid->viewport()->width() - (bar->isVisible() ? 0 : bar->sizeHint().width());
        EXPECT_LE(width, room);
        EXPECT_EQ(grid->horizontalScrollBar()->maximum(), 0);
        dialog->hide();
    }
    g_strFontFace = face;
    g_strFontSize = size;
}

// The checks run in their order, row by row, and the first failing one alone is shown;
// nothing is run while one fails.
TEST_F(TableDesigner, InputChecksStopAtTheFirstFailureInTheirOrder)
{
    OpenDatabase(L"design.db", "");
    using Rows = std::vector<std::vector<const wchar_t*>>;
    struct Case {
        const char* what;
        const wchar_t* table;
        Rows rows;
        const wchar_t* text; // null: no box, the table is made
        UINT icon;
    };
    const wchar_t* const sizeText = L"Size field must be an Integer";
    const wchar_t* const precisionText = L"Precision field must be an Integer";
    const wchar_t* const needsSize = L"Field precision requires field size.\nPlease enter field size";
    const Case cases[] = {
        {"no name, no rows", L"", {}, L"Table name is requred.", platform::MB_ICONWARNING},
        {"a name of blanks", L"  ", {{L"a"}}, L"Table name is requred.", platform::MB_ICONWARNING},
        {"no rows", L"t", {}, L"Please add at least one field to the table", platform::MB_ICONWARNING},
        {"a row without a name", L"t", {{L"a"}, {L""}}, L"Field name is required", platform::MB_ICONWARNING},
        {"a row named with blanks", L"t", {{L" "}}, L"Field name is required", platform::MB_ICONWARNING},
        {"size x before the precision", L"t", {{L"a", L"", L"x", L"2"}}, sizeText, platform::MB_ICONWARNING},
        {"precision x", L"t", {{L"a", L"", L"5", L"x"}}, precisionText, platform::MB_ICONWARNING},
        {"precision without size", L"t", {{L"a", L"", L"", L"2"}}, needsSize, platform::MB_ICONINFORMATION},
        {"the first failing row wins", L"t", {{L"a", L"", L"", L"2"}, {L""}}, needsSize, platform::MB_ICONINFORMATION},
        {"a later row's fault after a good row", L"t", {{L"a"}, {L"b", L"", L"1.5"}}, sizeText, platform::MB_ICONWARNING},
        {"all good", L"made", {{L"a", L"Integer", L"10", L"2"}, {L"a2"}}, nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CTableSchemaDlg dialog;
        dialog.m_editTableName->setText(QString::fromWCharArray(c.table));
        for (const auto& cells : c.rows) {
            const int row = dialog.m_wndList.GetGrid()->GetItemCount();
            dialog.OnAddField();
            int column = 0;
            for (const wchar_t* cell : cells)
                dialog.m_wndList.GetGrid()->SetItemText(row, column++, cell);
        }
        m_boxes.Clear();
        QTest::mouseClick(dialog.m_btnSave, Qt::LeftButton);
        if (c.text) {
            ASSERT_EQ(m_boxes.Count(), 1u);
            EXPECT_EQ(m_boxes.Last().text, c.text);
            EXPECT_EQ(m_boxes.Last().caption, L"Invalid Input");
            EXPECT_EQ(m_boxes.Last().style, platform::MB_OK | c.icon);
            EXPECT_NE(dialog.result(), QDialog::Accepted);
            EXPECT_EQ(Raw("SELECT count(*) FROM sqlite_master"), "0");
        } else {
            EXPECT_EQ(m_boxes.Count(), 0u);
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_EQ(dialog.GetTableName(), L"made");
            EXPECT_EQ(Columns("made"), "a:Integer(10,2):0::0 | a2::0::0");
        }
    }
}

// Every column form and every table constraint piece in one table, created and read back
// by another connection: the columns, their indexes and both foreign keys.
TEST_F(TableDesigner, AFullDesignIsCreatedAsDesigned)
{
    OpenDatabase(L"design.db", "CREATE TABLE parent(pid INTEGER PRIMARY KEY, code TEXT UNIQUE);");
    CTableSchemaDlg dialog;
    dialog.m_editTableName->setText(QStringLiteral("order"));
    AddRows(dialog, {{L"id", L"Integer", L"", L"", L"", L"1"},
                     {L"name", L"VarChar", L"20", L"", L"'none'", L"0", L"1"},
                     {L"qty", L"Real", L"10", L"2"},
                     {L"code", L"Text"},
                     {L"parent_id", L"Integer"}});

    DialogScript script;
    // qty: NOT NULL with a conflict clause, UNIQUE and a CHECK; code: a collation;
    // parent_id: a column foreign key to parent(pid) that cascades.
    int constraintRow = 0;
    script.On("CColumnConstraintDlg", [&](QDialog& shown) {
        auto& column = static_cast<CColumnConstraintDlg&>(shown);
        if (constraintRow == 2) {
            column.m_chkNotNull->setChecked(true);
            column.m_cbNotNullConflict->setEditText(QStringLiteral("ABORT"));
            column.m_chkUnique->setChecked(true);
            column.m_edCheck->setPlainText(QStringLiteral("qty >= 0"));
        } else if (constraintRow == 3) {
            column.m_cbCollate->setEditText(QStringLiteral("NOCASE"));
        } else {
            QTest::mouseClick(column.m_btnSetForeignKey, Qt::LeftButton);
        }
        QTest::mouseClick(column.m_btnApply, Qt::LeftButton);
    });
    script.On("CForKeyClauseDlg", [&](QDialog& shown) {
        auto& clause = static_cast<CForKeyClauseDlg&>(shown);
        if (clause.m_nMode == CForKeyClauseDlg::MODE_COLUMN) {
            clause.m_cbParentTable->setCurrentText(QStringLiteral("parent"));
            QTest::mouseClick(clause.m_btnSetParentKey, Qt::LeftButton);
            clause.m_cbOnDelete->setEditText(QStringLiteral("CASCADE"));
        } else {
            clause.m_cbParentTable->setCurrentText(QStringLiteral("parent"));
            QTest::mouseClick(clause.m_btnSetParentKey, Qt::LeftButton);
            QTest::mouseClick(clause.m_btnSetChildKey, Qt::LeftButton);
        }
        QTest::mouseClick(clause.m_btnApply, Qt::LeftButton);
    });
    // Parent key of the column's key, then the table key's parent and child columns,
    // then the UNIQUE list.
    QueuePicks(script, {{L"pid"}, {L"code"}, {L"code"}, {L"name", L"code"}});
    for (constraintRow = 2; constraintRow <= 4; ++constraintRow)
        PressConstraintCell(dialog, constraintRow);

    script.On("CTblConstPrimUniqKeyDlg", [](QDialog& shown) {
        auto& keys = static_cast<CTblConstPrimUniqKeyDlg&>(shown);
        QTest::mouseClick(keys.m_btnAddKey, Qt::LeftButton);
        keys.m_wndList.GetGrid()->SetItemText(1, 2, L"DESC");
        QTest::mouseClick(keys.m_btnApply, Qt::LeftButton);
    });
    script.On("CTableConstraintDlg", TableConstraint(L"tc", L"qty < 1000", [](CTableConstraintDlg& constraint) {
                  QTest::mouseClick(constraint.m_btnForeignKey, Qt::LeftButton);
                  QTest::mouseClick(constraint.m_btnUniqueKey, Qt::LeftButton);
              }));
    QTest::mouseClick(dialog.m_btnTableConstraint, Qt::LeftButton);
    QTest::mouseClick(dialog.m_btnSave, Qt::LeftButton);
    ASSERT_EQ(m_boxes.Count(), 0u) << testing_support::Utf8(m_boxes.Last().text);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(m_picks.empty());

    // The engine spells the types it knows in capitals.
    EXPECT_EQ(Columns("order"), "id:INTEGER:0::1 | name:VarChar(20):1:'none':0 | qty:Real(10,2):1::0 | code:TEXT:0::0 | "
                                "parent_id:INTEGER:0::0");
    // The UNIQUE of qty and the table's UNIQUE (name, code DESC).
    EXPECT_EQ(Raw("SELECT group_concat(il.\"unique\" || ':' || (SELECT group_concat(name || '/' || \"desc\") "
                  "FROM pragma_index_xinfo(il.name) WHERE key), ' | ') FROM pragma_index_list('order') il"),
              "1:name/0,code/1 | 1:qty/0");
    EXPECT_EQ(Raw("SELECT group_concat(\"from\" || '>' || \"table\" || '.' || \"to\" || ':' || on_delete, ' | ') "
                  "FROM (SELECT * FROM pragma_foreign_key_list('order') ORDER BY id)"),
              "code>parent.code:NO ACTION | parent_id>parent.pid:CASCADE");
    const std::string schema = Schema("order");
    EXPECT_NE(schema.find("CONSTRAINT [tc]"), std::string::npos) << schema;
    EXPECT_NE(schema.find("COLLATE NOCASE"), std::string::npos) << schema;
    // The CHECKs hold: the column's and the table's.
    EXPECT_NE(OtherConnection("INSERT INTO \"order\"(id, name, qty) VALUES (1, 'a', -1)"), "");
    EXPECT_NE(OtherConnection("INSERT INTO \"order\"(id, name, qty) VALUES (1, 'a', 5000)"), "");
    EXPECT_EQ(OtherConnection("INSERT INTO \"order\"(id, name, qty) VALUES (1, 'a', 5)"), "");
}

// A composite PRIMARY KEY, and a composite FOREIGN KEY to it from a second design,
// enforced by another connection, in either journal mode.
class CompositeKeys : public TableDesigner, public testing::WithParamInterface<const char*> {};

TEST_P(CompositeKeys, ACompositeForeignKeyToACompositePrimaryKeyIsEnforced)
{
    OpenDatabase(L"keys.db", std::string("PRAGMA journal_mode=") + GetParam() + "; CREATE TABLE other(z);");
    // Another connection writes while the designer's connection is open.
    EXPECT_EQ(OtherConnection("INSERT INTO other VALUES (1)"), "");
    DialogScript script;
    script.On("CTblConstPrimUniqKeyDlg", [](QDialog& shown) {
        auto& keys = static_cast<CTblConstPrimUniqKeyDlg&>(shown);
        QTest::mouseClick(keys.m_btnAddKey, Qt::LeftButton);
        QTest::mouseClick(keys.m_btnApply, Qt::LeftButton);
    });
    script.On("CForKeyClauseDlg", [](QDialog& shown) {
        auto& clause = static_cast<CForKeyClauseDlg&>(shown);
        clause.m_cbParentTable->setCurrentText(QStringLiteral("p"));
        QTest::mouseClick(clause.m_btnSetParentKey, Qt::LeftButton);
        QTest::mouseClick(clause.m_btnSetChildKey, Qt::LeftButton);
        QTest::mouseClick(clause.m_btnApply, Qt::LeftButton);
    });
    {
        QueuePicks(script, {{L"a", L"b"}});
        script.On("CTableConstraintDlg", TableConstraint(L"", L"", [](CTableConstraintDlg& constraint) {
                      QTest::mouseClick(constraint.m_btnPrimaryKey, Qt::LeftButton);
                  }));
        CTableSchemaDlg parent;
        parent.m_editTableName->setText(QStringLiteral("p"));
        AddRows(parent, {{L"a", L"Integer"}, {L"b", L"Text"}});
        QTest::mouseClick(parent.m_btnTableConstraint, Qt::LeftButton);
        QTest::mouseClick(parent.m_btnSave, Qt::LeftButton);
        ASSERT_EQ(parent.result(), QDialog::Accepted);
    }
    {
        QueuePicks(script, {{L"a", L"b"}, {L"x", L"y"}});
        script.On("CTableConstraintDlg", TableConstraint(L"", L"", [](CTableConstraintDlg& constraint) {
                      QTest::mouseClick(constraint.m_btnForeignKey, Qt::LeftButton);
                  }));
        CTableSchemaDlg child;
        child.m_editTableName->setText(QStringLiteral("c"));
        AddRows(child, {{L"x", L"Integer"}, {L"y", L"Text"}});
        QTest::mouseClick(child.m_btnTableConstraint, Qt::LeftButton);
        QTest::mouseClick(child.m_btnSave, Qt::LeftButton);
        ASSERT_EQ(child.result(), QDialog::Accepted);
    }
    ASSERT_EQ(m_boxes.Count(), 0u);
    EXPECT_EQ(Columns("p"), "a:INTEGER:0::1 | b:TEXT:0::2");
    EXPECT_EQ(Raw("SELECT group_concat(\"from\" || '>' || \"to\", ',') FROM pragma_foreign_key_list('c')"), "x>a,y>b");
    const std::string on = "PRAGMA foreign_keys=ON;";
    EXPECT_EQ(OtherConnection(on + "INSERT INTO p VALUES (1, 'k'); INSERT INTO c VALUES (1, 'k');"), "");
    EXPECT_EQ(OtherConnection(on + "INSERT INTO c VALUES (1, 'other')"), "FOREIGN KEY constraint failed");
    EXPECT_EQ(Raw("PRAGMA integrity_check"), "ok");
    EXPECT_EQ(Raw("SELECT count(*) FROM c"), "1");
}

INSTANTIATE_TEST_SUITE_P(JournalModes, CompositeKeys, testing::Values("WAL", "DELETE"));

// Fault: a deleted row that leaves its record behind hands row 1's constraint to the row
// that moves up. Deleting row 1 of three keeps rows 0 and 2 with their own records.
TEST_F(TableDesigner, DeletingARowTakesItsRecordWithIt)
{
    OpenDatabase(L"design.db", "");
    CTableSchemaDlg dialog;
    dialog.m_editTableName->setText(QStringLiteral("t"));
    AddRows(dialog, {{L"a"}, {L"b"}, {L"c"}});
    DialogScript script;
    script.On("CColumnConstraintDlg", [](QDialog& shown) {
        auto& column = static_cast<CColumnConstraintDlg&>(shown);
        column.m_edCheck->setPlainText(QString::fromStdWString(column.m_column.m_strName) + QStringLiteral(" > 0"));
        QTest::mouseClick(column.m_btnApply, Qt::LeftButton);
    });
    for (int row = 0; row < 3; ++row)
        PressConstraintCell(dialog, row);

    CListCtrlCombo* grid = dialog.m_wndList.GetGrid();
    grid->SelectRows(1, 1);
    m_boxes.QueueAnswer(platform::IDYES);
    grid->DeleteSelectedRows();
    ASSERT_EQ(dialog.m_arrColumns.size(), 2u);
    EXPECT_EQ(dialog.m_arrColumns[0].m_strCheck, L"a > 0");
    EXPECT_EQ(dialog.m_arrColumns[1].m_strCheck, L"c > 0");

    QTest::mouseClick(dialog.m_btnSave, Qt::LeftButton);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Columns("t"), "a::0::0 | c::0::0");
    const std::string schema = Schema("t");
    EXPECT_NE(schema.find("CHECK (a > 0)"), std::string::npos) << schema;
    EXPECT_NE(schema.find("CHECK (c > 0)"), std::string::npos) << schema;
    EXPECT_EQ(schema.find("b > 0"), std::string::npos) << schema;
}

// The "..." cell opens the column constraint dialog with the row as the grid shows it;
// Apply shows the result's flags and default in the row, Cancel changes nothing, and a
// report for a row without a record is ignored.
TEST_F(TableDesigner, TheConstraintCellEditsItsRowsRecord)
{
    OpenDatabase(L"design.db", "");
    CTableSchemaDlg dialog;
    AddRows(dialog, {{L"a", L"Integer", L"", L"", L"7", L"1", L"0", L"0"}});
    DialogScript script;
    ColumnDefinition seen;
    bool apply = false;
    script.On("CColumnConstraintDlg", [&](QDialog& shown) {
        auto& column = static_cast<CColumnConstraintDlg&>(shown);
        seen = column.m_column;
        column.m_chkPrimaryKey->setChecked(false);
        column.m_chkUnique->setChecked(true);
        column.m_edDefault->setPlainText(QStringLiteral("9"));
        if (apply)
            QTest::mouseClick(column.m_btnApply, Qt::LeftButton);
        else
            column.reject();
    });
    PressConstraintCell(dialog, 0);
    EXPECT_EQ(seen.m_strName, L"a");
    EXPECT_EQ(seen.m_strDefault, L"7");
    EXPECT_EQ(seen.m_bPrimaryKey, 1);
    EXPECT_EQ(dialog.m_arrColumns[0].m_bHasConstraint, 0);
    EXPECT_EQ(dialog.m_wndList.GetItemText(0, DEFAULT), L"7");

    apply = true;
    PressConstraintCell(dialog, 0);
    EXPECT_EQ(dialog.m_arrColumns[0].m_bHasConstraint, 1);
    EXPECT_EQ(dialog.m_wndList.GetItemText(0, PRIMARY), L"0");
    EXPECT_EQ(dialog.m_wndList.GetItemText(0, NOT_NULL), L"0");
    EXPECT_EQ(dialog.m_wndList.GetItemText(0, UNIQUE), L"1");
    EXPECT_EQ(dialog.m_wndList.GetItemText(0, DEFAULT), L"9");

    const size_t shown = script.Shown().size();
    for (int row : {-1, 1, 100})
        PressConstraintCell(dialog, row);
    EXPECT_EQ(script.Shown().size(), shown);
}

// Typed into the grid as a user does: Tab through an empty Type cell leaves it empty (its
// list's first entry is not taken for a choice), and a name typed and never left is saved.
TEST_F(TableDesigner, TypingThroughTheGridKeepsAnEmptyTypeAndTheLastTypedName)
{
    OpenDatabase(L"design.db", "");
    CTableSchemaDlg dialog;
    ASSERT_NO_FATAL_FAILURE(ShowActive(dialog));
    dialog.m_editTableName->setText(QStringLiteral("typed"));
    QTest::mouseClick(dialog.m_btnAddField, Qt::LeftButton);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("first"));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(dialog.m_wndList.GetGrid()->m_nCurrentColumn, PRECISION);
    QTest::mouseClick(dialog.m_btnAddField, Qt::LeftButton);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("second"));
    QTest::mouseClick(dialog.m_btnSave, Qt::LeftButton);
    ASSERT_EQ(dialog.result(), QDialog::Accepted) << testing_support::Utf8(m_boxes.Count() ? m_boxes.Last().text : L"");
    EXPECT_EQ(dialog.m_wndList.GetItemText(0, TYPE), L"");
    EXPECT_EQ(Columns("typed"), "first::0::0 | second::0::0");
}

// The grid's keys and clicks as a keyboard user meets them: Space toggles the Primary,
// Not NULL and Unique cells, and Enter, Space or one click on the "..." cell opens the
// column's constraint dialog. The saved table has what the check cells say.
TEST_F(TableDesigner, SpaceTogglesTheFlagsAndOneKeyOrClickOpensTheConstraintCell)
{
    OpenDatabase(L"design.db", "");
    CTableSchemaDlg dialog;
    ASSERT_NO_FATAL_FAILURE(ShowActive(dialog));
    DialogScript script;
    script.On("CColumnConstraintDlg", [](QDialog& shown) { shown.reject(); });
    CListCtrlCombo* grid = dialog.m_wndList.GetGrid();
    const auto key = [](Qt::Key pressed) { QTest::keyClick(QApplication::focusWidget(), pressed); };

    dialog.m_editTableName->setText(QStringLiteral("k"));
    QTest::mouseClick(dialog.m_btnAddField, Qt::LeftButton);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("a"));
    for (int i = NAME; i < PRIMARY; ++i)
        key(Qt::Key_Tab);
    ASSERT_EQ(grid->m_nCurrentColumn, PRIMARY);
    key(Qt::Key_Space);
    key(Qt::Key_Tab);
    key(Qt::Key_Space);
    key(Qt::Key_Space);
    key(Qt::Key_Tab);
    key(Qt::Key_Space);
    EXPECT_EQ(dialog.m_wndList.GetItemText(0, PRIMARY), L"1");
    EXPECT_EQ(dialog.m_wndList.GetItemText(0, NOT_NULL), L"0");
    EXPECT_EQ(dialog.m_wndList.GetItemText(0, UNIQUE), L"1");

    key(Qt::Key_Tab);
    ASSERT_EQ(grid->m_nCurrentColumn, CONSTRAINT);
    key(Qt::Key_Return);
    EXPECT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(grid->m_nCurrentColumn, CONSTRAINT);
    key(Qt::Key_Space);
    EXPECT_EQ(script.Shown().size(), 2u);

    // One click, on a row whose cells are not open.
    QTest::mouseClick(dialog.m_btnAddField, Qt::LeftButton);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("b"));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::KeyboardModifiers(),
                      grid->GetCellRect(0, CONSTRAINT).center());
    EXPECT_EQ(script.Shown(), std::vector<std::string>(3, "CColumnConstraintDlg"));
    EXPECT_EQ(std::make_pair(grid->m_nCurrentRow, grid->m_nCurrentColumn), std::make_pair(0, int(CONSTRAINT)));

    QTest::mouseClick(dialog.m_btnSave, Qt::LeftButton);
    ASSERT_EQ(dialog.result(), QDialog::Accepted) << testing_support::Utf8(m_boxes.Count() ? m_boxes.Last().text : L"");
    EXPECT_EQ(Columns("k"), "a::0::1 | b::0::0");
    const std::string schema = Schema("k");
    EXPECT_NE(schema.find("UNIQUE"), std::string::npos) << schema;
    EXPECT_EQ(schema.find("NOT NULL"), std::string::npos) << schema;
}

// Row i is record i: a header click sorts nothing.
TEST_F(TableDesigner, AHeaderClickDoesNotSortTheRows)
{
    OpenDatabase(L"design.db", "");
    CTableSchemaDlg dialog;
    dialog.resize(700, 400);
    dialog.show();
    AddRows(dialog, {{L"b"}, {L"a"}});
    CPLHeaderCtrl* header = dialog.m_wndList.GetGrid()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(NAME) + 5, 5));
    EXPECT_EQ(dialog.m_wndList.GetItemText(0, NAME), L"b");
    EXPECT_EQ(dialog.m_wndList.GetItemText(1, NAME), L"a");
}

// A statement the engine refuses shows its text in the designers' box; the dialog stays
// open with the design as it was, and saves once the name is mended.
TEST_F(TableDesigner, ARefusedStatementLeavesTheDialogOpen)
{
    OpenDatabase(L"design.db", "CREATE TABLE taken(a);");
    CTableSchemaDlg dialog;
    dialog.m_editTableName->setText(QStringLiteral("taken"));
    AddRows(dialog, {{L"a"}});
    QTest::mouseClick(dialog.m_btnSave, Qt::LeftButton);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_NE(m_boxes.Last().text.find(L"table [taken] already exists"), std::wstring::npos)
        << testing_support::Utf8(m_boxes.Last().text);
    EXPECT_EQ(m_boxes.Last().caption, STR_PRODUCT_NAME);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_wndList.GetGrid()->GetItemCount(), 1);

    dialog.m_editTableName->setText(QStringLiteral("a]b"));
    QTest::mouseClick(dialog.m_btnSave, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.GetTableName(), L"a]b");
    EXPECT_EQ(Columns("a]b"), "a::0::0");
}

// Fault: the engine folds only ASCII letters, so "É" and "é" are two tables; a column's
// key to "é", opened again, showed and stored "É", which Unicode case folding equates with
// it, and the key then referenced the other table. Each key, reopened and applied
// unchanged, keeps its own table.
TEST_F(TableDesigner, AReopenedForeignKeyKeepsItsParentTableExactly)
{
    OpenDatabase(L"names.db", "CREATE TABLE \"É\"(k INTEGER PRIMARY KEY); CREATE TABLE \"é\"(k INTEGER PRIMARY KEY);");
    DialogScript script;
    script.On("CColumnConstraintDlg", [](QDialog& shown) {
        auto& column = static_cast<CColumnConstraintDlg&>(shown);
        QTest::mouseClick(column.m_btnSetForeignKey, Qt::LeftButton);
        QTest::mouseClick(column.m_btnApply, Qt::LeftButton);
    });
    QueuePicks(script, {{L"k"}, {L"k"}});
    for (const char* parent : {"é", "É"}) {
        SCOPED_TRACE(parent);
        const std::string table = std::string("child of ") + parent;
        CTableSchemaDlg dialog;
        dialog.m_editTableName->setText(QString::fromStdString(table));
        AddRows(dialog, {{L"x", L"Integer"}});
        script.On("CForKeyClauseDlg", [&](QDialog& shown) {
            auto& clause = static_cast<CForKeyClauseDlg&>(shown);
            clause.m_cbParentTable->setCurrentText(QString::fromUtf8(parent));
            QTest::mouseClick(clause.m_btnSetParentKey, Qt::LeftButton);
            QTest::mouseClick(clause.m_btnApply, Qt::LeftButton);
        });
        PressConstraintCell(dialog, 0);
        QString reopened;
        script.On("CForKeyClauseDlg", [&](QDialog& shown) {
            auto& clause = static_cast<CForKeyClauseDlg&>(shown);
            reopened = clause.m_cbParentTable->currentText();
            QTest::mouseClick(clause.m_btnApply, Qt::LeftButton);
        });
        PressConstraintCell(dialog, 0);
        EXPECT_EQ(reopened, QString::fromUtf8(parent));
        QTest::mouseClick(dialog.m_btnSave, Qt::LeftButton);
        ASSERT_EQ(dialog.result(), QDialog::Accepted) << testing_support::Utf8(m_boxes.Last().text);
        EXPECT_EQ(Raw("SELECT \"table\" || '.' || \"to\" FROM pragma_foreign_key_list('" + table + "')"),
                  std::string(parent) + ".k");
    }
    EXPECT_TRUE(m_picks.empty());
}

// Cancel of the Table Constraint dialog keeps what its key dialog wrote, but not the name
// and CHECK typed into it.
TEST_F(TableDesigner, CancellingTheTableConstraintKeepsTheKeysOnly)
{
    OpenDatabase(L"design.db", "");
    CTableSchemaDlg dialog;
    AddRows(dialog, {{L"a"}, {L"b"}});
    DialogScript script;
    QueuePicks(script, {{L"b"}});
    script.On("CTblConstPrimUniqKeyDlg", [](QDialog& shown) {
        QTest::mouseClick(static_cast<CTblConstPrimUniqKeyDlg&>(shown).m_btnAddKey, Qt::LeftButton);
        shown.reject();
    });
    script.On("CTableConstraintDlg", [](QDialog& shown) {
        auto& constraint = static_cast<CTableConstraintDlg&>(shown);
        QTest::mouseClick(constraint.m_btnUniqueKey, Qt::LeftButton);
        constraint.m_editName->setText(QStringLiteral("lost"));
        constraint.m_editCheck->setText(QStringLiteral("a > 0"));
        constraint.reject();
    });
    QTest::mouseClick(dialog.m_btnTableConstraint, Qt::LeftButton);
    ASSERT_EQ(dialog.m_constraint.m_arrUnique.size(), 1u);
    EXPECT_EQ(dialog.m_constraint.m_arrUnique[0].m_strName, L"b");
    EXPECT_TRUE(dialog.m_constraint.m_strName.empty());
    EXPECT_TRUE(dialog.m_constraint.m_strCheck.empty());
}

} // namespace
