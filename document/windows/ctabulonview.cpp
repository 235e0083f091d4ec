#include "document/windows/ctabulonview.h"

#include "data/cadbsqlfieldinfo.h"
#include "data/cadbsqlrecset.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "data/databasestructure.h"
#include "data/formatstring.h"
#include "data/rowloader.h"
#include "document/dialogs/blobtransfer.h"
#include "document/strip/cacaptionbar.h"
#include "document/strip/ccaptiondlg.h"
#include "document/report/cchildview.h"
#include "document/report/cdatasheetreportsource.h"
#include "document/grid/clistctrlcombo.h"
#include "document/session/cmainframebase.h"
#include "document/diagram/crelationshipdiagram.h"
#include "document/windows/ctabulondoc.h"
#include "document/session/currentdatabase.h"
#include "document/session/openrequest.h"
#include "platform/waitcursor.h"
#include "platform/widgets/presenters.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMdiArea>

namespace {

// The editor of a datasheet column by its type code.
GridEditorKind EditorKindOf(int typeCode)
{
    switch (typeCode) {
    case FIELDTYPE_BLOB:
        return GRID_BUTTON;
    case FIELDTYPE_DATE:
    case FIELDTYPE_DATETIME:
        return GRID_DATE_EDIT;
    case FIELDTYPE_TIME:
        return GRID_TIME_EDIT;
    default:
        return GRID_EDIT;
    }
}

CCaptionDlg* Strip() { return MainCaptionBar() ? MainCaptionBar()->GetCaptionDlg() : nullptr; }

std::unique_ptr<CDocTemplate> g_pDataWindowTemplate;

} // namespace

CTabulonView::CTabulonView() = default;

CTabulonView::~CTabulonView()
{
    delete m_pReportView.data();
    // The last data window gone: the strip names no window any more.
    CDocument* document = CView::GetDocument();
    CDocTemplate* docTemplate = document ? document->GetDocTemplate() : nullptr;
    if (docTemplate && MainCaptionBar() && document->GetViews().size() == 1) {
        const std::vector<CDocument*> documents = docTemplate->GetDocuments();
        if (documents.size() == 1 && documents.front() == document)
            MainCaptionBar()->Clear();
    }
    // The grid frame goes next, while the document and its model are still there: it
    // stores a text still typed in an open cell and lets go of the bridge itself.
}

CTabulonDoc* CTabulonView::GetDocument() const { return static_cast<CTabulonDoc*>(CView::GetDocument()); }

bool CTabulonView::IsDatasheetKind() const
{
    const int kind = GetDocument()->m_nKind;
    return kind == OpenTableData || kind == OpenSqlQuery || kind == OpenViewData;
}

bool CTabulonView::IsFirstWindow() const
{
    const std::vector<CView*>& views = GetDocument()->GetViews();
    return !views.empty() && views.front() == this;
}

bool CTabulonView::CanOpenNewWindow() const
{
    return IsDatasheetKind() && GetDocument()->m_pDataAccess && GetDocument()->m_pDataAccess->m_bOpen;
}

bool CTabulonView::HasGrid() const
{
    const int kind = GetDocument()->m_nKind;
    return IsDatasheetKind() || kind == OpenPragmaQuery || kind == OpenDatabaseSettings;
}

int CTabulonView::OnCreate()
{
    CTabulonDoc* document = GetDocument();
    // The document's first window takes its kind from the request; a further window
    // (New Window) shows the kind the document has.
    if (IsFirstWindow())
        document->m_nKind = g_openRequest.m_nMode;
    if (IsDatasheetKind()) {
        m_pDatasheet = std::make_unique<DatasheetFrame>(m_wndGrid, document->m_rows, document->m_wndDataInterface);
        if (!m_wndGrid.Create(this))
            return -1;
        // The report view waits hidden in the main window until Print Report shows it.
        m_pReportView = new CChildView(platform::MainWindow());
        m_pReportView->hide();
    } else if (HasGrid()) {
        m_wndGrid.m_nMode = CListFrame::MODE_LIST;
        if (!m_wndGrid.Create(this))
            return -1;
    } else if (document->m_nKind == OpenRelationships) {
        m_pDiagram = new CRelationshipDiagram(this);
    }
    // The keyboard given to the window goes to what it shows.
    if (HasGrid())
        setFocusProxy(m_wndGrid.GetGrid());
    else if (m_pDiagram)
        setFocusProxy(m_pDiagram);
    return 0;
}

void CTabulonView::OnInitialUpdate()
{
    CTabulonDoc* document = GetDocument();
    switch (document->m_nKind) {
    case OpenTableData:
    case OpenSqlQuery:
    case OpenViewData:
        if (document->m_pDataAccess->m_bOpen) {
            // A further window shares the rows and the row buffers of the first.
            if (IsFirstWindow())
                document->m_pDataAccess->InitRowBuffers();
            m_wndGrid.m_strTitle = document->GetTitle();
            SetupDatasheet();
        }
        break;
    case OpenRelationships:
        if (m_pDiagram && g_pForeignKeyMap)
            m_pDiagram->BuildRelationshipDiagram(*g_pForeignKeyMap);
        break;
    case OpenPragmaQuery:
        RunPragmaQuery();
        break;
    case OpenDatabaseSettings:
        FillDatabaseSettings();
        break;
    default:
        break;
    }
    platform::PostMessage(this, UM_VIEW_READY, 0, 0);
}

void CTabulonView::SetupDatasheet()
{
    CTabulonDoc* document = GetDocument();
    CDataAccess& data = *document->m_pDataAccess;
    if (g_pMainFrame)
        g_pMainFrame->m_bDatasheetLoading = true;
    CADbSqlRecSet& recset = *data.m_pRecSet;
    for (int i = 0; i < recset.m_nFields; ++i) {
        CADbSqlFieldInfo info;
        recset.GetFieldInfo(i, info);
        const int type = info.GetType();
        m_wndGrid.AddColumn(info.m_strName, EditorKindOf(type), DATASHEET_COLUMN_WIDTH, GRID_ALIGN_LEFT, type);
    }
    // A query or a view is shown, never edited; so is a table whose rows have no usable
    // rowid or whose file cannot be written, which says why when a cell is chosen.
    if (document->m_nKind != OpenTableData || !recset.GetReadOnlyReason().empty())
        m_wndGrid.m_bReadOnly = 1;
    m_wndGrid.m_strReadOnlyReason = recset.GetReadOnlyReason();
    m_pDatasheet->InitGrid();
    document->m_wndDataInterface.UpdateItemCount();
    // Every row came with the first page: nothing more will tell the tree and File > Open.
    if (g_bLoaderBusy == 0 || data.IsLoadEnded()) {
        if (g_pMainFrame) {
            platform::PostMessage(g_pMainFrame->m_pWorkspaceTree, UM_TREE_UNLOCK, 0, 0);
            g_pMainFrame->m_bDatasheetLoading = false;
        }
    }
}

void CTabulonView::AppendListRow(const std::vector<std::wstring>& texts)
{
    CListCtrlCombo* grid = m_wndGrid.GetGrid();
    const int item = grid->InsertItem(grid->GetItemCount(), texts.empty() ? std::wstring() : texts.front());
    grid->EndEdit(-1);
    grid->BeginEdit(item, 0, true);
    for (size_t column = 1; column < texts.size(); ++column)
        grid->SetItemText(item, static_cast<int>(column), texts[column]);
}

void CTabulonView::RunPragmaQuery()
{
    // The rows of the statement's one run, made by the document.
    platform::WaitCursor wait;
    const CTabulonDoc* document = GetDocument();
    if (document->m_arrPragmaColumns.empty()) {
        m_wndGrid.AddColumn(STR_PRAGMA_NO_RESULT, GRID_TEXT_ONLY, 300, GRID_ALIGN_LEFT, GRID_NO_VALUE_TYPE);
        m_wndGrid.InitGrid();
        return;
    }
    for (const std::wstring& name : document->m_arrPragmaColumns)
        m_wndGrid.AddColumn(name, GRID_TEXT_ONLY, 100, GRID_ALIGN_LEFT, GRID_NO_VALUE_TYPE);
    m_wndGrid.InitGrid();
    for (const std::vector<std::wstring>& row : document->m_arrPragmaRows)
        AppendListRow(row);
}

void CTabulonView::FillDatabaseSettings()
{
    static constexpr GridColumnSpec kColumns[] = {{L"Name", GRID_TEXT_ONLY, 200}, {L"Setting", GRID_TEXT_ONLY, 500}};
    m_wndGrid.AddColumns(kColumns);
    m_wndGrid.InitGrid();
    // The values as they are now; the list keeps what it read last.
    for (const PragmaSetting& setting : PragmaSettingList)
        AppendListRow({setting.first, g_pCurrentDb ? ReadPragmaValue(*g_pCurrentDb, setting.first) : std::wstring()});
}

LRESULT CTabulonView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case UM_VIEW_READY:
        return OnViewReady();
    case UM_CELL_BUTTON:
        return OnCellButton(static_cast<int>(wParam), static_cast<int>(lParam));
    default:
        return 0;
    }
}

LRESULT CTabulonView::OnViewReady()
{
    m_bLayoutReady = 1;
    LayOut();
    return 1;
}

void CTabulonView::resizeEvent(QResizeEvent* event)
{
    CView::resizeEvent(event);
    LayOut();
}

void CTabulonView::LayOut()
{
    if (!m_bLayoutReady)
        return;
    if (HasGrid()) {
        if (m_wndGrid.parentWidget() != this)
            return;
        // The frame's border lies just outside the view.
        m_wndGrid.setGeometry(rect().adjusted(-2, -3, 2, 3));
        m_wndGrid.raise();
        m_wndGrid.show();
    } else if (m_pDiagram) {
        m_pDiagram->setGeometry(rect());
        m_pDiagram->show();
    }
}

void CTabulonView::contextMenuEvent(QContextMenuEvent* event) { event->accept(); }

void CTabulonView::OnActivateView(bool activate, CView*, CView*)
{
    if (!activate)
        return;
    CCaptionDlg* strip = Strip();
    const CTabulonDoc* document = GetDocument();
    // Only a datasheet takes the strip's commands: for any other window the strip is off,
    // and its target stays the datasheet activated last.
    if (m_pDatasheet)
        m_pDatasheet->UpdateCaptionBar();
    else if (strip)
        strip->DisableAllButtons();
    if (!strip)
        return;
    if (document->m_nKind == OpenTableData) {
        const CDataAccess& data = *document->m_pDataAccess;
        strip->EnableButton(data.HasNextHit(), CCaptionDlg::FindNext);
        strip->EnableButton(data.m_nEditRow != -1, CCaptionDlg::UndoRow);
    }
    std::wstring text;
    strip->SetMessage(FormatString(text, STR_ACTIVE_VIEW, document->GetTitle()), 1);
}

void CTabulonView::OnPrintReportCommand()
{
    if (!OnUpdatePrintReportCommand() || !m_pReportView)
        return;
    if (g_pMainFrame)
        g_pMainFrame->m_pReportView = m_pReportView;
    m_pReportView->PrintPreview(GetDocument()->m_pDataAccess.get());
}

bool CTabulonView::OnUpdatePrintReportCommand() const { return IsDatasheetKind(); }

void CTabulonView::OnFilePrintCommand()
{
    CDataAccess* data = GetDocument()->m_pDataAccess.get();
    if (!OnUpdatePrintReportCommand() || !m_pReportView || !data || m_pReportView->m_bPrinting)
        return;
    if (g_pMainFrame)
        g_pMainFrame->m_pReportView = m_pReportView;
    CDatasheetReportSource source(*data);
    m_pReportView->OnFilePrint(source);
}

LRESULT CTabulonView::OnCellButton(int column, int row)
{
    CDataAccess* data = GetDocument()->m_pDataAccess.get();
    if (data && IsDatasheetKind())
        HandleBlobCellButton(*data, row, column, this);
    return 0;
}

CDocTemplate& DataWindowTemplate()
{
    if (!g_pDataWindowTemplate) {
        g_pDataWindowTemplate = std::make_unique<CDocTemplate>([] { return std::make_unique<CTabulonDoc>(); },
                                                               [] { return new CTabulonView; });
        // The data windows close while the program's other windows still exist.
        if (QCoreApplication* app = QCoreApplication::instance())
            QObject::connect(app, &QCoreApplication::aboutToQuit, app, [] {
                if (g_pDataWindowTemplate)
                    g_pDataWindowTemplate->CloseAllDocuments();
            });
    }
    QMdiArea* area = g_pMainFrame ? g_pMainFrame->m_pMdiArea : nullptr;
    if (g_pDataWindowTemplate->GetMdiArea() != area)
        g_pDataWindowTemplate->SetMdiArea(area);
    return *g_pDataWindowTemplate;
}
