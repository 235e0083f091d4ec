// What the designers share: value lists read from the main frame's store, the table
// names of the open database, the field picker over a table's columns, and the box of a
// refused statement. (The box pair of an unreadable table list is the console's test.)
#include "designers/designerkit.h"

#include "data/cadbsqldb.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "designerfixture.h"
#include "designers/cselectfield.h"
#include "platform/widgets/combobox.h"
#include "platform/widgets/reportlist.h"
#include "scopedhandlers.h"

#include <QPushButton>
#include <QWidget>

namespace {

class DesignerKit : public DesignerFixture {};

// The first entry, then every value in stored order (a value's single quotes were stored
// as backquotes); a list that does not exist gives the first entry only.
TEST_F(DesignerKit, ValueListEntriesStartWithTheirFirstEntry)
{
    m_store.CreateNode(L"LIST", NODE_TYPE_TEXT);
    for (const wchar_t* value : {L"zeta", L"Alpha", L"it's", L"🎉"})
        m_store.AddTextValue(L"LIST", value);
    EXPECT_EQ(ValueListEntries(VALUE_LIST_BLANK_ENTRY, L"LIST"),
              (std::vector<std::wstring>{L" ", L"zeta", L"Alpha", L"it`s", L"🎉"}));
    EXPECT_EQ(ValueListEntries(VALUE_LIST_EMPTY_ENTRY, L"MISSING"), std::vector<std::wstring>{L""});
    EXPECT_EQ(ReadValueList(L"LIST").size(), 4u);

    g_pMainFrame = nullptr;
    EXPECT_TRUE(ReadValueList(L"LIST").empty());
    EXPECT_EQ(MainAppDataFile(), nullptr);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(DesignerKit, FailureShowsTheBareTextUnderTheProductName)
{
    QWidget owner;
    ShowDesignerFailure(&owner, CADbSqlException(1, L"table \"t\" already exists", L"ExecuteCmd"));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, L"SQLITE_ERROR:<table \"t\" already exists>:<ExecuteCmd>");
    EXPECT_EQ(m_boxes.Last().caption, STR_PRODUCT_NAME);
    EXPECT_EQ(m_boxes.Last().style, platform::MB_OK);
    EXPECT_EQ(m_boxes.Last().owner, &owner);
}

TEST_F(DesignerKit, TableNamesAreListedSortedWithoutTheEnginesOwn)
{
    OpenDatabase(L"t.db", "CREATE TABLE zeta (a); CREATE TABLE \"a]b\" (a); CREATE TABLE Ärger (a INTEGER PRIMARY KEY "
                          "AUTOINCREMENT); CREATE VIEW v AS SELECT 1;");
    platform::ComboBox box(true, false);
    FillTableNames(nullptr, box);
    std::vector<std::wstring> names;
    for (int i = 0; i < box.count(); ++i)
        names.push_back(box.itemText(i).toStdWString());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"a]b", L"zeta", L"Ärger"}));
    EXPECT_EQ(box.currentIndex(), -1);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// The picker offers the table's columns with the chosen names ticked and gives back the
// ticked ones; no table, or a table whose columns cannot be read, opens no picker.
TEST_F(DesignerKit, PickTableColumnsRunsThePickerOverTheTablesColumns)
{
    OpenDatabase(L"t.db", "CREATE TABLE \"p]q\" (\"a]\" INTEGER, \"🎉\" TEXT, c);");
    QWidget owner;
    std::vector<std::wstring> offered;
    ScopedDialogHandler handler([&](QDialog& dialog) {
        auto& picker = static_cast<CSelectField&>(dialog);
        for (int row = 0; row < picker.m_list->RowCount(); ++row)
            offered.push_back(picker.m_list->RowText(row) + (picker.m_list->IsChecked(row) ? L"*" : L""));
        picker.m_list->SetChecked(0, true);
        picker.m_list->SetChecked(1, false);
        DesignerFixture::ClickButton(picker, "Ok");
        return picker.result();
    });
    std::vector<std::wstring> chosen = {L"🎉", L"C"};
    EXPECT_TRUE(PickTableColumns(&owner, L"p]q", chosen));
    EXPECT_EQ(offered, (std::vector<std::wstring>{L"a]", L"🎉*", L"c*"}));
    EXPECT_EQ(chosen, (std::vector<std::wstring>{L"a]", L"c"}));
    EXPECT_EQ(m_boxes.Count(), 0u);

    offered.clear();
    EXPECT_FALSE(PickTableColumns(&owner, L"", chosen));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, L"Please select table name.");
    EXPECT_EQ(m_boxes.Last().caption, L"Select table name");
    EXPECT_EQ(m_boxes.Last().style, platform::MB_OK | platform::MB_ICONINFORMATION);
    EXPECT_TRUE(offered.empty());

    // A file that is no database: the column read fails inside the designer's box.
    ResetDatabaseGlobals();
    g_pCurrentDb->m_strDbPath = m_folder.MakeJunkFile(L"junk.db");
    m_boxes.Clear();
    EXPECT_FALSE(PickTableColumns(&owner, L"p]q", chosen));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().caption, STR_PRODUCT_NAME);
    EXPECT_EQ(m_boxes.Last().text.substr(0, 11), L"SQLITE_NOTA");
    EXPECT_TRUE(offered.empty());
    EXPECT_EQ(chosen, (std::vector<std::wstring>{L"a]", L"c"}));
}

} // namespace
