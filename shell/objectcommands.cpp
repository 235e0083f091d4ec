#include "shell/objectcommands.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/currentdb.h"
#include "data/dbschema.h"
#include "data/formatstring.h"
#include "data/textutil.h"
#include "designers/caddnewcolumndlg.h"
#include "designers/cnewindexdlg.h"
#include "designers/cnewtriggerdlg.h"
#include "designers/cnewviewdlg.h"
#include "designers/ctablescriptdlg.h"
#include "designers/ctriggerdlg.h"
#include "designers/cviewdlg.h"
#include "designers/cviewindexdlg.h"
#include "designers/ctableschemadlg.h"
#include "designers/cviewtriggerdlg.h"
#include "designers/designerkit.h"
#include "document/session/currentdatabase.h"
#include "document/windows/ctabulondoc.h"
#include "document/windows/datawindows.h"
#include "shell/cdbtreectrl.h"
#include "shell/ctabulonapp.h"

#include <optional>
#include <utility>
#include <vector>

namespace {

const std::wstring& NameAt(LPARAM lParam) { return *reinterpret_cast<const std::wstring*>(lParam); }

// Shows the dialog of an object's stored statement for the name, owned by the owner; how
// it ends changes nothing here.
template <typename Dialog>
void ShowStatementDialog(const std::wstring& name, QWidget* owner)
{
    Dialog(name, owner).DoModal();
}

// The statement viewers and the trigger editor, by the tree's message.
const struct {
    UINT message;
    void (*show)(const std::wstring& name, QWidget* owner);
} kStatementDialogs[] = {
    {UM_SHOW_TABLE_SCRIPT, ShowStatementDialog<CTableScriptDlg>},
    {UM_SHOW_INDEX_SCRIPT, ShowStatementDialog<CViewIndexDlg>},
    {UM_SHOW_TRIGGER_SCRIPT, ShowStatementDialog<CViewTriggerDlg>},
    {UM_SHOW_VIEW_SCRIPT, ShowStatementDialog<CViewDlg>},
    {UM_EDIT_TRIGGER, ShowStatementDialog<CTriggerDlg>},
};

} // namespace

CObjectCommands::CObjectCommands(CDbTreeCtrl& tree, QWidget* owner, std::function<bool()> canCloseWindow)
    : m_tree(tree)
    , m_pOwner(owner)
    , m_canCloseWindow(std::move(canCloseWindow))
{
}

bool CObjectCommands::OnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result)
{
    result = 0;
    for (const auto& dialog : kStatementDialogs) {
        if (dialog.message == message) {
            dialog.show(NameAt(lParam), m_pOwner);
            return true;
        }
    }
    switch (message) {
    case UM_NEW_TABLE: result = OnNewTable(); return true;
    case UM_NEW_COLUMN: result = OnNewColumn(NameAt(lParam)); return true;
    case UM_NEW_INDEX: result = OnNewIndex(); return true;
    case UM_NEW_TRIGGER: result = OnNewTrigger(); return true;
    case UM_NEW_VIEW: result = OnNewView(); return true;
    case UM_DROP_TABLE: result = OnDropTable(NameAt(lParam)); return true;
    case UM_DROP_INDEX: DropObject(NameAt(lParam), DropIndex); return true;
    case UM_DROP_TRIGGER: DropObject(NameAt(lParam), DropTrigger); return true;
    // An open data window of the view stays open.
    case UM_DROP_VIEW: DropObject(NameAt(lParam), DropView); return true;
    case UM_RENAME_TABLE:
        result = OnRenameTable(*reinterpret_cast<const std::vector<std::wstring>*>(lParam));
        return true;
    default: return false;
    }
}

LRESULT CObjectCommands::OnNewTable()
{
    if (!g_pCurrentDb)
        return 0;
    CTableSchemaDlg dialog;
    if (dialog.DoModal() != QDialog::Accepted)
        return 0;
    RefreshSchema();
    return 0;
}

LRESULT CObjectCommands::OnNewColumn(std::wstring table)
{
    if (!g_pCurrentDb)
        return 0;
    CAddNewColumnDlg dialog(table, m_pOwner);
    if (dialog.DoModal() != QDialog::Accepted)
        return 0;
    m_tree.AddField(table, dialog.GetColumnName());
    // The column may reference another table.
    RefreshSchema();
    return 0;
}

LRESULT CObjectCommands::OnDropTable(std::wstring name)
{
    if (!g_pCurrentDb)
        return 0;
    if (CTabulonDoc* document = g_pTabulonApp->FindDataDocument(OpenTableData, name)) {
        // The table's window closes first; not while its report is previewed.
        if (!m_canCloseWindow())
            return 0;
        document->OnCloseDocument();
    }
    // The table's indexes and triggers, temporary ones too, go with it.
    if (DropTable(name))
        RefreshSchema();
    return 0;
}

void CObjectCommands::DropObject(const std::wstring& name, bool (*drop)(const std::wstring&))
{
    if (g_pCurrentDb && drop(name))
        RefreshSchema();
}

void CObjectCommands::RefreshSchema(const std::vector<std::wstring>& changedTables)
{
    LoadSchemaNames();
    m_tree.FollowNameLists(changedTables);
}

LRESULT CObjectCommands::OnRenameTable(const std::vector<std::wstring>& names)
{
    if (names.size() < 2 || !g_pCurrentDb)
        return 0;
    const std::wstring& oldName = names[0];
    const std::wstring& newName = names[1];
    if (IsEmptyName(newName))
        return 0;
    // The table's open window closes first (a text typed in one of its cells is stored
    // under the old name) and comes back where it was, on the name the table bears then.
    std::optional<TableWindowPlace> window;
    if (CTabulonDoc* document = g_pTabulonApp->FindDataDocument(OpenTableData, oldName)) {
        if (!m_canCloseWindow())
            return 0;
        window.emplace(document);
    }
    std::wstring sql;
    FormatString(sql, L"ALTER TABLE [%s] RENAME TO [%s]", SqlName{oldName}, SqlName{newName});
    bool renamed = true;
    try {
        CurrentDb().ExecuteCmd(sql);
    } catch (const CADbSqlException& e) {
        ShowDesignerFailure(m_pOwner, e);
        renamed = false;
    }
    // The engine renamed the references to the table too: the map follows.
    if (renamed)
        RefreshSchema();
    if (window)
        window->Reopen(renamed ? newName : oldName);
    return renamed ? 1 : 0;
}

LRESULT CObjectCommands::OnNewIndex()
{
    CNewIndexDlg dialog(m_pOwner);
    if (dialog.DoModal() == QDialog::Accepted)
        RefreshSchema();
    return 0;
}

LRESULT CObjectCommands::OnNewTrigger()
{
    CNewTriggerDlg dialog(m_pOwner);
    if (dialog.DoModal() == QDialog::Accepted)
        RefreshSchema();
    return 0;
}

LRESULT CObjectCommands::OnNewView()
{
    CNewViewDlg dialog(m_pOwner);
    if (dialog.DoModal() == QDialog::Accepted)
        RefreshSchema();
    return 0;
}
