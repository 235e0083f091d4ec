#include "designers/designerkit.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "data/dbschema.h"
#include "designers/cselectfield.h"
#include "document/grid/clistframe.h"
#include "document/session/cmainframebase.h"
#include "platform/messagebox.h"
#include "platform/widgets/combobox.h"

namespace {

// The field picker, without a parent window, over the fields; true after its Ok.
bool RunPicker(std::vector<CADbSqlFieldInfo>& fields, std::vector<std::wstring>& chosen)
{
    CSelectField picker(&chosen, &fields);
    return picker.DoModal() == QDialog::Accepted;
}

} // namespace

std::vector<std::wstring> ValueListEntries(const wchar_t* firstEntry, const std::wstring& node)
{
    std::vector<std::wstring> entries = {firstEntry};
    const std::vector<std::wstring> values = ReadValueList(node);
    entries.insert(entries.end(), values.begin(), values.end());
    return entries;
}

void CreateDesignerGrid(CListFrame& grid, QWidget* dialog, int controlId)
{
    grid.m_nMode = CListFrame::MODE_LIST;
    grid.m_bDialogGrid = 1;
    grid.m_bSortable = 0;
    grid.Create(dialog);
    grid.setObjectName(QStringLiteral("control%1").arg(controlId));
}

void ShowDesignerFailure(QWidget* owner, const CADbSqlException& e)
{
    platform::MessageBox(owner, e.GetErrorText(), STR_PRODUCT_NAME, platform::MB_OK);
}

void FillTableNames(QWidget* owner, platform::ComboBox& box)
{
    if (!g_pCurrentDb)
        return;
    std::wstring errorText;
    CADbSqlQuery query;
    GetTableNames(CurrentDb(), query, errorText);
    if (!errorText.empty()) {
        platform::MessageBox(owner, errorText, STR_PRODUCT_NAME, platform::MB_OK);
        return;
    }
    // A failed step ends the iteration: the list ends there.
    for (; !query.Eof(); query.NextRow()) {
        const wchar_t* name = query.GetFieldValue(0);
        box.AddString(name ? name : L"");
    }
    query.Finalize();
}

bool TableChosen(QWidget* owner, const std::wstring& table)
{
    if (!table.empty())
        return true;
    platform::MessageBox(owner, STR_SELECT_TABLE_NAME, STR_SELECT_TABLE_NAME_CAPTION,
                         platform::MB_OK | platform::MB_ICONINFORMATION);
    return false;
}

bool PickTableColumns(QWidget* owner, const std::wstring& table, std::vector<std::wstring>& chosen)
{
    if (!TableChosen(owner, table))
        return false;
    std::vector<CADbSqlFieldInfo> fields;
    try {
        GetTableFieldInfo(table, fields);
    } catch (const CADbSqlException& e) {
        ShowDesignerFailure(owner, e);
        return false;
    }
    return RunPicker(fields, chosen);
}

bool PickNames(const std::vector<std::wstring>& offered, std::vector<std::wstring>& chosen)
{
    std::vector<CADbSqlFieldInfo> fields;
    for (const std::wstring& name : offered) {
        CADbSqlFieldInfo field;
        field.m_strName = name;
        fields.push_back(field);
    }
    return RunPicker(fields, chosen);
}
