#include "shell/objectcommands.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/constants.h"
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
#include "shell/cmainframe.h"
#include "shell/ctabulonapp.h"
#include "shell/cworkspacebar.h"

#include <optional>
#include <vector>

namespace {

const std::wstring& NameAt(LPARAM lParam) { return *reinterpret_cast<const std::wstring*>(lParam); }

} // namespace

CObjectCommands::CObjectCommands(CMainFrame& frame)
    : m_frame(frame)
{
}

bool CObjectCommands::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case UM_NEW_TABLE: result = OnNewTable(wParam, lParam); return true;
    case UM_NEW_COLUMN: result = OnNewColumn(wParam, lParam); return true;
    case UM_DROP_TABLE: result = OnDropTable(wParam, lParam); return true;
    case UM_DROP_INDEX: result = OnDropIndex(wParam, lParam); return true;
    case UM_DROP_TRIGGER: result = OnDropTrigger(wParam, lParam); return true;
    case UM_DROP_VIEW: result = OnDropView(wParam, lParam); return true;
    case UM_RENAME_TABLE: result = OnRenameTable(wParam, lParam); return true;
    case UM_NEW_INDEX: result = OnNewIndex(wParam, lParam); return true;
    case UM_NEW_TRIGGER: result = OnNewTrigger(wParam, lParam); return true;
    case UM_NEW_VIEW: result = OnNewView(wParam, lParam); return true;
    case UM_SHOW_TABLE_SCRIPT: result = OnShowTableScript(wParam, lParam); return true;
    case UM_SHOW_INDEX_SCRIPT: result = OnShowIndexScript(wParam, lParam); return true;
    case UM_SHOW_TRIGGER_SCRIPT: result = OnShowTriggerScript(wParam, lParam); return true;
    case UM_SHOW_VIEW_SCRIPT: result = OnShowViewScript(wParam, lParam); return true;
    case UM_EDIT_TRIGGER: result = OnEditTrigger(wParam, lParam); return true;
    default: return false;
    }
}

CDbTreeCtrl& CObjectCommands::Tree() const { return m_frame.m_wndWorkspace->m_wndTree; }

LRESULT CObjectCommands::OnNewTable(WPARAM, LPARAM)
{
    if (!g_pCurrentDb)
        return 0;
    CTableSchemaDlg dialog;
    if (dialog.DoModal() != QDialog::Accepted)
        return 0;
    RefreshSchema();
    return 0;
}

LRESULT CObjectCommands::OnNewColumn(WPARAM, LPARAM lParam)
{
    const std::wstring table = NameAt(lParam);
    if (!g_pCurrentDb)
        return 0;
    CAddNewColumnDlg dialog(table, &m_frame);
    if (dialog.DoModal() != QDialog::Accepted)
        return 0;
    Tree().AddField(table, dialog.GetColumnName());
    // The column may reference another table.
    RefreshSchema();
    return 0;
}

LRESULT CObjectCommands::OnDropTable(WPARAM, LPARAM lParam)
{
    const std::wstring name = NameAt(lParam);
    if (!g_pCurrentDb)
        return 0;
    if (CTabulonDoc* document = g_pTabulonApp->FindDataDocument(OpenTableData, name)) {
        // The table's window closes first; not while its report is previewed.
        if (!m_frame.CanCloseFrame())
            return 0;
        document->OnCloseDocument();
    }
    // The table's indexes and triggers, temporary ones too, go with it.
    if (DropTable(name))
        RefreshSchema();
    return 0;
}

LRESULT CObjectCommands::OnDropIndex(WPARAM, LPARAM lParam)
{
    DropObject(NameAt(lParam), DropIndex);
    return 0;
}

LRESULT CObjectCommands::OnDropTrigger(WPARAM, LPARAM lParam)
{
    DropObject(NameAt(lParam), DropTrigger);
    return 0;
}

LRESULT CObjectCommands::OnDropView(WPARAM, LPARAM lParam)
{
    // An open data window of the view stays open.
    DropObject(NameAt(lParam), DropView);
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
    if (m_frame.m_wndWorkspace)
        Tree().FollowNameLists(changedTables);
}

LRESULT CObjectCommands::OnRenameTable(WPARAM, LPARAM lParam)
{
    const auto& names = *reinterpret_cast<const std::vector<std::wstring>*>(lParam);
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
        if (!m_frame.CanCloseFrame())
            return 0;
        window.emplace(document);
    }
    std::wstring sql;
    FormatString(sql, L"ALTER TABLE [%s] RENAME TO [%s]", SqlName{oldName}, SqlName{newName});
    bool renamed = true;
    try {
        g_pCurrentDb->ExecuteCmd(sql);
    } catch (const CADbSqlException& e) {
        ShowDesignerFailure(&m_frame, e);
        renamed = false;
    }
    // The engine renamed the references to the table too: the map follows.
    if (renamed)
        RefreshSchema();
    if (window)
        window->Reopen(renamed ? newName : oldName);
    return renamed ? 1 : 0;
}

LRESULT CObjectCommands::OnNewIndex(WPARAM, LPARAM)
{
    CNewIndexDlg dialog(&m_frame);
    if (dialog.DoModal() == QDialog::Accepted)
        RefreshSchema();
    return 0;
}

LRESULT CObjectCommands::OnNewTrigger(WPARAM, LPARAM)
{
    CNewTriggerDlg dialog(&m_frame);
    if (dialog.DoModal() == QDialog::Accepted)
        RefreshSchema();
    return 0;
}

LRESULT CObjectCommands::OnNewView(WPARAM, LPARAM)
{
    CNewViewDlg dialog(&m_frame);
    if (dialog.DoModal() == QDialog::Accepted)
        RefreshSchema();
    return 0;
}

LRESULT CObjectCommands::OnShowTableScript(WPARAM, LPARAM lParam)
{
    CTableScriptDlg(NameAt(lParam)).DoModal();
    return 0;
}

LRESULT CObjectCommands::OnShowIndexScript(WPARAM, LPARAM lParam)
{
    CViewIndexDlg(NameAt(lParam), &m_frame).DoModal();
    return 0;
}

LRESULT CObjectCommands::OnShowTriggerScript(WPARAM, LPARAM lParam)
{
    CViewTriggerDlg(NameAt(lParam), &m_frame).DoModal();
    return 0;
}

LRESULT CObjectCommands::OnShowViewScript(WPARAM, LPARAM lParam)
{
    CViewDlg(NameAt(lParam), &m_frame).DoModal();
    return 0;
}

LRESULT CObjectCommands::OnEditTrigger(WPARAM, LPARAM lParam)
{
    CTriggerDlg(NameAt(lParam), &m_frame).DoModal();
    return 0;
}
