#include "shell/cworkspacebar.h"

#include "document/pictures/cobjectimagelist.h"
#include "document/session/currentdatabase.h"
#include "platform/utf16.h"
#include "shell/ctabulonapp.h"

#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr int BUTTON_SIZE = 18;

// The plus and minus signs of Add and Delete.
QIcon SignIcon(bool plus)
{
    QPixmap pixmap(BUTTON_SIZE, BUTTON_SIZE);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const QColor colour = plus ? QColor(0, 128, 0) : QColor(192, 0, 0);
    painter.fillRect(3, 8, 12, 3, colour);
    if (plus)
        painter.fillRect(8, 3, 3, 12, colour);
    return QIcon(pixmap);
}

} // namespace

CWorkspaceBar::CWorkspaceBar(QWidget* parent) : QDockWidget(parent)
{
    setWindowTitle(platform::ToQString(STR_WORKSPACE_TITLE));
    setObjectName(QStringLiteral("workspace"));
    // No caption buttons: the pane is neither closed nor floated from its caption.
    setFeatures(QDockWidget::DockWidgetMovable);

    m_wndToolBar.setObjectName(QStringLiteral("workspaceToolBar%1").arg(TOOLBAR_ID));
    m_wndToolBar.setMovable(false);
    m_wndToolBar.setFloatable(false);
    m_wndToolBar.setIconSize(QSize(BUTTON_SIZE, BUTTON_SIZE));
    const auto addButton = [this](const QIcon& icon, const wchar_t* tip, int id, void (CWorkspaceBar::*handler)()) {
        QAction* action = m_wndToolBar.addAction(icon, platform::ToQString(tip));
        action->setToolTip(platform::ToQString(tip));
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return action;
    };
    QStyle* style = this->style();
    m_pActAdd = addButton(SignIcon(true), STR_TIP_ADD_OBJECT, ID_ADD_OBJECT, &CWorkspaceBar::OnAddObject);
    m_pActDelete = addButton(SignIcon(false), STR_TIP_DELETE_OBJECT, ID_DELETE_OBJECT, &CWorkspaceBar::OnDeleteObject);
    m_wndToolBar.addSeparator();
    m_pActViewSchema = addButton(style->standardIcon(QStyle::SP_FileDialogContentsView), STR_TIP_VIEW_SCHEMA,
                                 ID_VIEW_SCHEMA, &CWorkspaceBar::OnViewSchema);
    m_pActViewData = addButton(style->standardIcon(QStyle::SP_FileDialogDetailedView), STR_TIP_VIEW_DATA,
                               ID_VIEW_DATA, &CWorkspaceBar::OnViewData);
    m_wndToolBar.addSeparator();
    m_pActReload =
        addButton(style->standardIcon(QStyle::SP_BrowserReload), STR_TIP_RELOAD, ID_RELOAD, &CWorkspaceBar::OnReload);

    m_wndTabs.setObjectName(QStringLiteral("workspaceTabs%1").arg(TABS_ID));
    m_wndTabs.setTabPosition(QTabWidget::South);
    m_wndTabs.setTabsClosable(false);
    m_wndTabs.setDocumentMode(true);
    m_wndTabs.setIconSize(QSize(OBJECT_IMAGE_SIZE, OBJECT_IMAGE_SIZE));
    const QIcon databaseIcon = g_pTabulonApp ? g_pTabulonApp->m_imageList.GetIcon(OBJECT_IMAGE_DATABASE) : QIcon();
    m_wndTabs.addTab(&m_wndTree, databaseIcon, platform::ToQString(STR_TAB_DATABASE));
    m_wndTabs.addTab(&m_wndRecentFiles, style->standardIcon(QStyle::SP_FileDialogDetailedView),
                     platform::ToQString(STR_TAB_RECENT_FILE));

    auto* layout = new QVBoxLayout(&m_wndClient);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(&m_wndToolBar);
    layout->addWidget(&m_wndTabs, 1);
    setWidget(&m_wndClient);

    m_wndTabs.setCurrentIndex(TAB_RECENT_FILES);
    connect(&m_wndTabs, &QTabWidget::currentChanged, this, [this] { UpdateCommands(); });
    UpdateCommands();
}

CWorkspaceBar::~CWorkspaceBar() = default;

void CWorkspaceBar::SetObjectKind(int kind)
{
    const ObjectCommands commands = AvailableObjectCommands(kind);
    m_bCanAdd = commands.bAdd;
    m_bCanDelete = commands.bDelete;
    m_bCanViewSchema = commands.bViewSchema;
    m_bCanViewData = commands.bViewData;
    UpdateCommands();
}

void CWorkspaceBar::ShowTreeTab()
{
    m_wndTabs.setCurrentIndex(TAB_TREE);
    UpdateCommands();
}

void CWorkspaceBar::UpdateCommands()
{
    const bool treeShown = m_wndTabs.currentIndex() == TAB_TREE;
    m_pActAdd->setEnabled(treeShown && m_bCanAdd);
    m_pActDelete->setEnabled(treeShown && m_bCanDelete);
    m_pActViewSchema->setEnabled(treeShown && m_bCanViewSchema);
    m_pActViewData->setEnabled(treeShown && m_bCanViewData);
    m_pActReload->setEnabled(g_pTabulonApp && g_pTabulonApp->m_bDatabaseOpen);
}

void CWorkspaceBar::OnAddObject()
{
    m_wndTree.DoAdd();
}

void CWorkspaceBar::OnDeleteObject()
{
    if (ConfirmObjectDelete(this))
        m_wndTree.DoDelete();
}

void CWorkspaceBar::OnViewSchema()
{
    m_wndTree.DoView();
}

void CWorkspaceBar::OnViewData()
{
    m_wndTree.DoEdit();
}

void CWorkspaceBar::OnReload()
{
    if (!g_pTabulonApp || !g_pTabulonApp->m_bDatabaseOpen || g_strOpenDbPath.empty())
        return;
    // The open closes the data windows and clears the workspace itself, and only once
    // the file has proved to be a database: a file replaced by anything else leaves
    // the workspace as it was.
    const std::wstring path = g_strOpenDbPath;
    g_pTabulonApp->OpenExistingDocumentFile(path);
    ShowTreeTab();
}
