// "Primary - Unique Key": the key list follows the picked columns by name, the grid's rows
// stay the keys, Delete Key removes the selected rows after the grid's question, and Add
// Key and Apply write the list and the conflict clause at once.
#include "designers/ctblconstprimuniqkeydlg.h"

#include "data/cadbsqldb.h"
#include "data/currentdb.h"
#include "dialogscript.h"
#include "platform/widgets/combobox.h"
#include "tabledesignfixture.h"

#include "document/grid/ccomboboxplus.h"

#include <QLineEdit>

namespace {

enum { KEY_NAME, COLLATE, SORT };

class KeyDialog : public TableDesignFixture {
protected:
    void SetUp() override
    {
        TableDesignFixture::SetUp();
        OpenDatabase(L"keys.db", "");
        for (const wchar_t* name : {L"a", L"b", L"c"}) {
            ColumnDefinition column;
            column.m_strName = name;
            m_columns.push_back(column);
        }
    }

    // The grid's rows as "name:collate:sort".
    static std::vector<std::wstring> Rows(CTblConstPrimUniqKeyDlg& dialog)
    {
        std::vector<std::wstring> rows;
        for (int row = 0; row < dialog.m_wndList.GetGrid()->GetItemCount(); ++row)
            rows.push_back(dialog.m_wndList.GetItemText(row, KEY_NAME) + L":" + dialog.m_wndList.GetItemText(row, COLLATE) +
                           L":" + dialog.m_wndList.GetItemText(row, SORT));
        return rows;
    }
    std::vector<std::wstring> Keys() const
    {
        std::vector<std::wstring> keys;
        for (const KeyColumn& key : m_keys)
            keys.push_back(key.m_strName + L":" + key.m_strCollate + L":" + key.m_strSort);
        return keys;
    }

    // Add Key with the picker answered by ticking the names.
    static void AddKey(CTblConstPrimUniqKeyDlg& dialog, const std::vector<std::wstring>& names)
    {
        DialogScript script;
        script.On("CSelectField", [&](QDialog& picker) { TickAndOk(picker, names); });
        QTest::mouseClick(dialog.m_btnAddKey, Qt::LeftButton);
        ASSERT_EQ(script.Shown(), std::vector<std::string>{"CSelectField"});
    }

    std::vector<ColumnDefinition> m_columns;
    std::vector<KeyColumn> m_keys;
    std::wstring m_conflict;
};

// The picked keys come in the table's column order, whatever the order of ticking, and
// unticking every name empties the list and the grid.
TEST_F(KeyDialog, AddKeyGivesTheTickedColumnsInColumnOrder)
{
    CTblConstPrimUniqKeyDlg dialog(&m_columns, &m_keys, &m_conflict, nullptr);
    EXPECT_EQ(dialog.windowTitle(), "Primary - Unique Key");
    EXPECT_TRUE(Rows(dialog).empty());
    AddKey(dialog, {L"c", L"a"});
    EXPECT_EQ(Keys(), (std::vector<std::wstring>{L"a::", L"c::"}));
    EXPECT_EQ(Rows(dialog), Keys());
    AddKey(dialog, {});
    EXPECT_TRUE(m_keys.empty());
    EXPECT_TRUE(Rows(dialog).empty());
}

// Fault: keys rebuilt position by position hand c's sort order to b when b is picked
// before c, and a Cancel then carries it into the statement. Matched by name, each key
// keeps its own settings wherever it moves, and a new key starts without any.
TEST_F(KeyDialog, AKeyKeepsItsCollationAndSortWhereverItMovesAndANewKeyHasNone)
{
    m_keys = {{L"a", L"NOCASE", L""}, {L"c", L"", L"DESC"}};
    {
        CTblConstPrimUniqKeyDlg dialog(&m_columns, &m_keys, &m_conflict, nullptr);
        EXPECT_EQ(Rows(dialog), (std::vector<std::wstring>{L"a:NOCASE:", L"c::DESC"}));
        AddKey(dialog, {L"a", L"b", L"c"});
        EXPECT_EQ(Rows(dialog), (std::vector<std::wstring>{L"a:NOCASE:", L"b::", L"c::DESC"}));
        dialog.reject();
    }
    // Cancel keeps what Add Key wrote.
    EXPECT_EQ(Keys(), (std::vector<std::wstring>{L"a:NOCASE:", L"b::", L"c::DESC"}));

    // The statement's key is what the list says, as the engine reads it back.
    TableConstraint constraint;
    constraint.m_arrPrimaryKey = m_keys;
    g_pCurrentDb->ExecuteCmd(CreateTableText(L"t", m_columns, constraint));
    EXPECT_EQ(Raw("SELECT group_concat(name || ':' || coll || ':' || \"desc\", ' | ') "
                  "FROM pragma_index_xinfo('sqlite_autoindex_t_1') WHERE key"),
              "a:NOCASE:0 | b:BINARY:0 | c:BINARY:1");

    // Dropping a from the keys moves b and c up with their own settings.
    CTblConstPrimUniqKeyDlg dialog(&m_columns, &m_keys, &m_conflict, nullptr);
    AddKey(dialog, {L"b", L"c"});
    EXPECT_EQ(Keys(), (std::vector<std::wstring>{L"b::", L"c::DESC"}));
}

// Apply writes each row into its key and the conflict clause as the box holds it, typed
// text included; Cancel drops what was chosen since the last write.
TEST_F(KeyDialog, ApplyWritesTheRowsAndTheConflictClauseCancelDropsThem)
{
    m_keys = {{L"a", L"", L""}, {L"b", L"", L""}};
    m_conflict = L"replace";
    {
        CTblConstPrimUniqKeyDlg dialog(&m_columns, &m_keys, &m_conflict, nullptr);
        EXPECT_EQ(dialog.m_cbConflict->currentText(), "REPLACE"); // the entry, found ignoring case
        dialog.m_wndList.GetGrid()->SetItemText(1, SORT, L"DESC");
        dialog.m_cbConflict->setEditText(QStringLiteral("abort"));
        dialog.reject();
    }
    EXPECT_EQ(Keys(), (std::vector<std::wstring>{L"a::", L"b::"}));
    EXPECT_EQ(m_conflict, L"replace");

    CTblConstPrimUniqKeyDlg dialog(&m_columns, &m_keys, &m_conflict, nullptr);
    dialog.m_wndList.GetGrid()->SetItemText(1, SORT, L"DESC");
    dialog.m_wndList.GetGrid()->SetItemText(0, COLLATE, L"RTRIM");
    dialog.m_cbConflict->setEditText(QStringLiteral("abort"));
    QTest::mouseClick(dialog.m_btnApply, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Keys(), (std::vector<std::wstring>{L"a:RTRIM:", L"b::DESC"}));
    EXPECT_EQ(m_conflict, L"abort");
}

// Delete Key removes the selected rows with their keys after the grid's question; No
// keeps them. The rows left are written into the keys left, one to one.
TEST_F(KeyDialog, DeleteKeyRemovesTheSelectedRowsAfterTheQuestion)
{
    m_keys = {{L"a", L"NOCASE", L""}, {L"b", L"", L"ASC"}, {L"c", L"", L"DESC"}};
    CTblConstPrimUniqKeyDlg dialog(&m_columns, &m_keys, &m_conflict, nullptr);
    CListCtrlCombo* grid = dialog.m_wndList.GetGrid();

    grid->SelectRows(1, 1);
    m_boxes.QueueAnswer(platform::IDNO);
    QTest::mouseClick(dialog.m_btnDeleteKey, Qt::LeftButton);
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().caption, L"Delete Confirmation");
    EXPECT_EQ(m_keys.size(), 3u);

    grid->SelectRows(1, 1);
    m_boxes.QueueAnswer(platform::IDYES);
    QTest::mouseClick(dialog.m_btnDeleteKey, Qt::LeftButton);
    EXPECT_EQ(Keys(), (std::vector<std::wstring>{L"a:NOCASE:", L"c::DESC"}));
    EXPECT_EQ(Rows(dialog), Keys());

    grid->SetItemText(1, COLLATE, L"RTRIM");
    QTest::mouseClick(dialog.m_btnApply, Qt::LeftButton);
    EXPECT_EQ(Keys(), (std::vector<std::wstring>{L"a:NOCASE:", L"c:RTRIM:DESC"}));
}

// The grid offers the value lists with their first entries; the box holds an empty entry
// and the conflict clauses; the key names are shown, not edited.
TEST_F(KeyDialog, TheGridAndTheBoxOfferTheValueLists)
{
    m_keys = {{L"a", L"", L""}};
    CTblConstPrimUniqKeyDlg dialog(&m_columns, &m_keys, &m_conflict, nullptr);
    CListCtrlCombo* grid = dialog.m_wndList.GetGrid();
    ASSERT_EQ(grid->GetColumnCount(), 3);
    const std::vector<std::pair<std::wstring, GridEditorKind>> columns = {
        {L"Key Name", GRID_TEXT_ONLY}, {L"Collate", GRID_COMBO}, {L"Sort", GRID_COMBO}};
    for (int column = 0; column < 3; ++column) {
        EXPECT_EQ(grid->m_arrColumns[column].m_strTitle, columns[column].first);
        EXPECT_EQ(grid->m_arrColumns[column].m_nEditorKind, columns[column].second);
    }
    const auto entries = [](QComboBox* box) {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
        return texts;
    };
    EXPECT_EQ(entries(grid->m_arrColumns[COLLATE].m_pCombo), (QStringList{" ", "BINARY", "NOCASE", "RTRIM"}));
    EXPECT_EQ(entries(grid->m_arrColumns[SORT].m_pCombo), (QStringList{"", "ASC", "DESC"}));
    EXPECT_EQ(entries(dialog.m_cbConflict), (QStringList{"", "ABORT", "FAIL", "IGNORE", "REPLACE", "ROLLBACK"}));
    EXPECT_EQ(dialog.m_cbConflict->currentText(), "");
}

} // namespace
