#include "shell/cdbtreectrl.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/constants.h"
#include "data/currentdb.h"
#include "data/formatstring.h"
#include "document/session/cmainframebase.h"
#include "document/pictures/cobjectimagelist.h"
#include "document/session/currentdatabase.h"
#include "platform/messagebox.h"
#include "platform/names.h"
#include "platform/utf16.h"
#include "platform/widgets/popupmenu.h"
#include "shell/ctabulonapp.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPersistentModelIndex>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>

#include <algorithm>
#include <vector>

int g_bTreeClickLock = 0;

namespace {

constexpr int KIND_ROLE = Qt::UserRole;

// What opening an object asks of the main frame.
constexpr CDbTreeCtrl::ObjectMessages kOpenMessages{UM_OPEN_TABLE_DATA, UM_OPEN_INDEX, UM_EDIT_TRIGGER,
                                                    UM_OPEN_VIEW_DATA};

int KindValue(NodeKind kind)
{
    return static_cast<int>(kind);
}

} // namespace

ObjectCommands ObjectCommandsForKind(int kind)
{
    ObjectCommands commands;
    switch (static_cast<NodeKind>(kind)) {
    case NodeKind::TablesFolder:
    case NodeKind::IndexesFolder:
    case NodeKind::TriggersFolder:
    case NodeKind::ViewsFolder:
    case NodeKind::FieldsFolder: commands.bAdd = true; break;
    case NodeKind::Table:
        commands.bDelete = commands.bViewSchema = commands.bViewData = commands.bRename = true;
        break;
    case NodeKind::Index:
    case NodeKind::Trigger: commands.bDelete = commands.bViewSchema = true; break;
    case NodeKind::View: commands.bDelete = commands.bViewSchema = commands.bViewData = true; break;
    default: break;
    }
    return commands;
}

ObjectCommands AvailableObjectCommands(int kind)
{
    ObjectCommands commands = ObjectCommandsForKind(kind);
    if (g_pCurrentDb && g_pCurrentDb->IsReadOnly())
        commands.bAdd = commands.bDelete = commands.bRename = false;
    return commands;
}

bool ConfirmObjectDelete(QWidget* owner)
{
    return platform::MessageBox(owner, STR_DELETE_CONFIRM, STR_DELETE_CONFIRM_CAPTION,
                                platform::MB_YESNO | platform::MB_ICONWARNING | platform::MB_DEFBUTTON2) ==
           platform::IDYES;
}

CObjectTreeView::CObjectTreeView(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(OBJECT_IMAGE_SIZE, OBJECT_IMAGE_SIZE));
    setUniformRowHeights(true);
}

QRect CObjectTreeView::ItemTextRect(QTreeWidgetItem* item) const
{
    const QModelIndex index = indexFromItem(item);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    option.features |= QStyleOptionViewItem::HasDisplay;
    option.text = item->text(0);
    if (!item->icon(0).isNull()) {
        option.features |= QStyleOptionViewItem::HasDecoration;
        option.icon = item->icon(0);
        option.decorationSize = iconSize();
    }
    return style()->subElementRect(QStyle::SE_ItemViewItemText, &option, this);
}

void CObjectTreeView::mousePressEvent(QMouseEvent* event)
{
    QTreeWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && g_bTreeClickLock == 0)
        platform::SendMessage(dynamic_cast<platform::MessageTarget*>(parentWidget()), UM_TREE_CLICK, 0, 0);
}

void CObjectTreeView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const int kind = CDbTreeCtrl::KindOf(itemAt(event->position().toPoint()));
    const bool opens = kind == KindValue(NodeKind::Table) || kind == KindValue(NodeKind::Index) ||
                       kind == KindValue(NodeKind::Trigger) || kind == KindValue(NodeKind::View);
    setExpandsOnDoubleClick(!opens);
    QTreeWidget::mouseDoubleClickEvent(event);
    setExpandsOnDoubleClick(true);
    if (event->button() == Qt::LeftButton && g_bTreeClickLock == 0)
        platform::SendMessage(dynamic_cast<platform::MessageTarget*>(parentWidget()), UM_TREE_DBLCLK, 0, 0);
}

void CObjectTreeView::contextMenuEvent(QContextMenuEvent* event)
{
    // The menu key asks for the menu at the mouse position, as a right click does.
    const QPoint point = event->reason() == QContextMenuEvent::Keyboard ? QPoint(-1, -1) : event->globalPos();
    if (auto* owner = dynamic_cast<CDbTreeCtrl*>(parentWidget()))
        owner->OnContextMenu(point);
    event->accept();
}

void CObjectTreeView::keyPressEvent(QKeyEvent* event)
{
    auto* owner = dynamic_cast<CDbTreeCtrl*>(parentWidget());
    const ObjectCommands commands = AvailableObjectCommands(CDbTreeCtrl::KindOf(currentItem()));
    if (owner && event->modifiers() == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (g_bTreeClickLock == 0)
                owner->OnTreeDblClk();
            event->accept();
            return;
        case Qt::Key_Delete:
            if (commands.bDelete)
                owner->OnDelete();
            event->accept();
            return;
        case Qt::Key_F2:
            if (commands.bRename)
                owner->OnRename();
            event->accept();
            return;
        default:
            break;
        }
    }
    QTreeWidget::keyPressEvent(event);
}

CDbTreeCtrl::CDbTreeCtrl(QWidget* parent) : QWidget(parent), m_tree(this), m_editRename(this)
{
    setFocusPolicy(Qt::TabFocus);
    // The focus that comes to this window (Tab, the pane) goes on to the tree itself.
    setFocusProxy(&m_tree);
    m_tree.setObjectName(QStringLiteral("tree%1").arg(TREE_ID));
    // The box lies in the tree's viewport, so that it scrolls and clips with the items.
    m_editRename.setParent(m_tree.viewport());
    m_editRename.setObjectName(QStringLiteral("renameEdit%1").arg(RENAME_EDIT_ID));
    m_editRename.hide();
    m_editRename.installEventFilter(this);
    m_tree.setGeometry(rect());
    // The focus leaving the box (not for its own context menu) commits.
    connect(&m_editRename, &QLineEdit::editingFinished, this, [this] { CommitRename(); });
    const auto follow = [this] { PlaceRenameEdit(); };
    connect(m_tree.verticalScrollBar(), &QScrollBar::valueChanged, this, follow);
    connect(m_tree.horizontalScrollBar(), &QScrollBar::valueChanged, this, follow);
    connect(&m_tree, &QTreeWidget::itemExpanded, this, follow);
    connect(&m_tree, &QTreeWidget::itemCollapsed, this, follow);
    connect(&m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { ReportSelection(current); });
}

bool CDbTreeCtrl::eventFilter(QObject* watched, QEvent* event)
{
    // Enter and Escape end the rename here: neither goes on to the tree, where Enter
    // would open the item.
    if (watched == &m_editRename && event->type() == QEvent::KeyPress && m_hRenameItem) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            CommitRename();
            return true;
        case Qt::Key_Escape:
            CancelRename();
            m_tree.setFocus();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

CDbTreeCtrl::~CDbTreeCtrl() = default;

void CDbTreeCtrl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_tree.setGeometry(0, 0, width(), height());
}

int CDbTreeCtrl::KindOf(const QTreeWidgetItem* item)
{
    return item ? item->data(0, KIND_ROLE).toInt() : -1;
}

QTreeWidgetItem* CDbTreeCtrl::SelectedItem() const
{
    return m_tree.currentItem();
}

QTreeWidgetItem* CDbTreeCtrl::AddItem(QTreeWidgetItem* parent, const std::wstring& text, NodeKind kind, int image)
{
    auto* item = new QTreeWidgetItem;
    item->setText(0, platform::ToQString(text));
    item->setData(0, KIND_ROLE, KindValue(kind));
    if (g_pTabulonApp)
        item->setIcon(0, g_pTabulonApp->m_imageList.GetIcon(image));
    if (parent)
        parent->addChild(item);
    else
        m_tree.addTopLevelItem(item);
    return item;
}

QTreeWidgetItem* CDbTreeCtrl::Root() const
{
    return m_tree.topLevelItemCount() ? m_tree.topLevelItem(0) : nullptr;
}

void CDbTreeCtrl::LoadTables()
{
    QTreeWidgetItem* root = AddItem(nullptr, g_strDocDbPath, NodeKind::DatabaseRoot, OBJECT_IMAGE_DATABASE);
    std::wstring caption;
    FormatString(caption, STR_FOLDER_COUNT_FORMAT, STR_TABLE_FOLDER_WORD, static_cast<int>(g_arrTableNames.size()));
    QTreeWidgetItem* folder = AddItem(root, caption, NodeKind::TablesFolder, OBJECT_IMAGE_TABLE);
    // A copy: reading a table's columns must not disturb the list being walked.
    const std::vector<std::wstring> names = g_arrTableNames;
    for (const std::wstring& name : names)
        AddFieldsFolder(name, AddItem(folder, name, NodeKind::Table, OBJECT_IMAGE_TABLE));
    root->setExpanded(true);
}

void CDbTreeCtrl::LoadFolder(NodeKind folderKind, const wchar_t* word, int image, const std::vector<std::wstring>& names)
{
    QTreeWidgetItem* root = Root();
    if (!root)
        return;
    std::wstring caption;
    FormatString(caption, STR_FOLDER_COUNT_FORMAT, word, static_cast<int>(names.size()));
    QTreeWidgetItem* folder = AddItem(root, caption, folderKind, image);
    const auto itemKind = static_cast<NodeKind>(KindValue(folderKind) + 1);
    for (const std::wstring& name : names)
        AddItem(folder, name, itemKind, image);
}

void CDbTreeCtrl::LoadIndexes()
{
    LoadFolder(NodeKind::IndexesFolder, STR_INDEX_FOLDER_WORD, OBJECT_IMAGE_INDEX, g_arrIndexNames);
}

void CDbTreeCtrl::LoadTriggers()
{
    LoadFolder(NodeKind::TriggersFolder, STR_TRIGGER_FOLDER_WORD, OBJECT_IMAGE_TRIGGER, g_arrTriggerNames);
}

void CDbTreeCtrl::LoadViews()
{
    LoadFolder(NodeKind::ViewsFolder, STR_VIEW_FOLDER_WORD, OBJECT_IMAGE_VIEW, g_arrViewNames);
}

void CDbTreeCtrl::AddFieldsFolder(const std::wstring& table, QTreeWidgetItem* tableItem)
{
    std::vector<CADbSqlFieldInfo> fields;
    try {
        GetTableFields(table, fields);
    } catch (const CADbSqlException&) {
        // A table whose columns cannot be read still shows, with no columns.
        fields.clear();
    }
    std::wstring caption;
    FormatString(caption, STR_FOLDER_COUNT_FORMAT, STR_FIELD_FOLDER_WORD, static_cast<int>(fields.size()));
    QTreeWidgetItem* folder = AddItem(tableItem, caption, NodeKind::FieldsFolder, OBJECT_IMAGE_COLUMN_FOLDER);
    for (const CADbSqlFieldInfo& field : fields)
        AddItem(folder, field.m_strName, NodeKind::Field, OBJECT_IMAGE_COLUMN);
}

QTreeWidgetItem* CDbTreeCtrl::FindItemByKind(QTreeWidgetItem* start, NodeKind kind) const
{
    if (!start)
        return nullptr;
    if (KindOf(start) == KindValue(kind))
        return start;
    for (int i = 0; i < start->childCount(); ++i)
        if (QTreeWidgetItem* found = FindItemByKind(start->child(i), kind))
            return found;
    return nullptr;
}

QTreeWidgetItem* CDbTreeCtrl::FindChildByName(QTreeWidgetItem* folder, const std::wstring& name)
{
    if (!folder)
        return nullptr;
    const int index = platform::FindName(
        folder->childCount(), [folder](int i) { return platform::FromQString(folder->child(i)->text(0)); }, name);
    return index < 0 ? nullptr : folder->child(index);
}

QTreeWidgetItem* CDbTreeCtrl::FindItemByText(QTreeWidgetItem* folder, const std::wstring& text) const
{
    QTreeWidgetItem* item = FindChildByName(folder, text);
    return item && KindOf(item) == KindValue(NodeKind::Table) ? item : nullptr;
}

int CDbTreeCtrl::CountChildren(const QTreeWidgetItem* item)
{
    return item ? item->childCount() : 0;
}

void CDbTreeCtrl::UpdateFolderCaption(QTreeWidgetItem* folder, const wchar_t* word)
{
    std::wstring caption;
    FormatString(caption, STR_FOLDER_COUNT_FORMAT, word, CountChildren(folder));
    folder->setText(0, platform::ToQString(caption));
}

void CDbTreeCtrl::AddObject(NodeKind folderKind, const wchar_t* word, int image, const std::wstring& name)
{
    QTreeWidgetItem* folder = FindItemByKind(Root(), folderKind);
    if (!folder)
        return;
    QTreeWidgetItem* item = AddItem(folder, name, static_cast<NodeKind>(KindValue(folderKind) + 1), image);
    UpdateFolderCaption(folder, word);
    if (folderKind == NodeKind::TablesFolder)
        AddFieldsFolder(name, item);
}

void CDbTreeCtrl::AddTable(const std::wstring& name)
{
    AddObject(NodeKind::TablesFolder, STR_TABLE_FOLDER_WORD, OBJECT_IMAGE_TABLE, name);
}

void CDbTreeCtrl::AddIndex(const std::wstring& name)
{
    AddObject(NodeKind::IndexesFolder, STR_INDEX_FOLDER_WORD, OBJECT_IMAGE_INDEX, name);
}

void CDbTreeCtrl::AddTrigger(const std::wstring& name)
{
    AddObject(NodeKind::TriggersFolder, STR_TRIGGER_FOLDER_WORD, OBJECT_IMAGE_TRIGGER, name);
}

void CDbTreeCtrl::AddView(const std::wstring& name)
{
    AddObject(NodeKind::ViewsFolder, STR_VIEW_FOLDER_WORD, OBJECT_IMAGE_VIEW, name);
}

void CDbTreeCtrl::AddField(const std::wstring& table, const std::wstring& column)
{
    QTreeWidgetItem* tableItem = FindItemByText(FindItemByKind(Root(), NodeKind::TablesFolder), table);
    QTreeWidgetItem* fields = tableItem ? FindItemByKind(tableItem, NodeKind::FieldsFolder) : nullptr;
    if (!fields)
        return;
    AddItem(fields, column, NodeKind::Field, OBJECT_IMAGE_COLUMN);
    UpdateFolderCaption(fields, STR_FIELD_FOLDER_WORD);
}

void CDbTreeCtrl::RemoveObject(NodeKind folderKind, const wchar_t* word, const std::wstring& name)
{
    QTreeWidgetItem* folder = FindItemByKind(Root(), folderKind);
    QTreeWidgetItem* child = FindChildByName(folder, name);
    if (!child)
        return;
    CancelRenameWithin(child);
    delete child;
    UpdateFolderCaption(folder, word);
}

void CDbTreeCtrl::RemoveTable(const std::wstring& name)
{
    RemoveObject(NodeKind::TablesFolder, STR_TABLE_FOLDER_WORD, name);
}

void CDbTreeCtrl::RemoveIndex(const std::wstring& name)
{
    RemoveObject(NodeKind::IndexesFolder, STR_INDEX_FOLDER_WORD, name);
}

void CDbTreeCtrl::RemoveTrigger(const std::wstring& name)
{
    RemoveObject(NodeKind::TriggersFolder, STR_TRIGGER_FOLDER_WORD, name);
}

void CDbTreeCtrl::RemoveView(const std::wstring& name)
{
    RemoveObject(NodeKind::ViewsFolder, STR_VIEW_FOLDER_WORD, name);
}

void CDbTreeCtrl::FollowFolder(NodeKind folderKind, const std::vector<std::wstring>& names,
                               void (CDbTreeCtrl::*remove)(const std::wstring&),
                               void (CDbTreeCtrl::*add)(const std::wstring&))
{
    QTreeWidgetItem* folder = FindItemByKind(Root(), folderKind);
    if (!folder)
        return;
    // Each shown name takes up one equal name of the list; what the list has left is
    // missing from the tree.
    std::vector<std::wstring> missing = names;
    std::vector<std::wstring> extra;
    for (int i = 0; i < folder->childCount(); ++i) {
        const std::wstring text = platform::FromQString(folder->child(i)->text(0));
        const auto listed = std::find(missing.begin(), missing.end(), text);
        if (listed != missing.end())
            missing.erase(listed);
        else
            extra.push_back(text);
    }
    for (const std::wstring& name : extra)
        (this->*remove)(name);
    for (const std::wstring& name : missing)
        (this->*add)(name);
}

void CDbTreeCtrl::FollowNameLists(const std::vector<std::wstring>& changedTables)
{
    FollowFolder(NodeKind::TablesFolder, g_arrTableNames, &CDbTreeCtrl::RemoveTable, &CDbTreeCtrl::AddTable);
    FollowFolder(NodeKind::IndexesFolder, g_arrIndexNames, &CDbTreeCtrl::RemoveIndex, &CDbTreeCtrl::AddIndex);
    FollowFolder(NodeKind::TriggersFolder, g_arrTriggerNames, &CDbTreeCtrl::RemoveTrigger, &CDbTreeCtrl::AddTrigger);
    FollowFolder(NodeKind::ViewsFolder, g_arrViewNames, &CDbTreeCtrl::RemoveView, &CDbTreeCtrl::AddView);
    QTreeWidgetItem* tables = FindItemByKind(Root(), NodeKind::TablesFolder);
    for (const std::wstring& table : changedTables) {
        QTreeWidgetItem* item = FindItemByText(tables, table);
        if (!item)
            continue;
        if (QTreeWidgetItem* fields = FindItemByKind(item, NodeKind::FieldsFolder)) {
            CancelRenameWithin(fields);
            delete fields;
        }
        AddFieldsFolder(platform::FromQString(item->text(0)), item);
    }
}

void CDbTreeCtrl::Clear()
{
    CancelRename();
    m_tree.clear();
    ReportSelection(nullptr);
}

void CDbTreeCtrl::CancelRename()
{
    // No rename is pending before the box hides: its losing the focus commits nothing.
    m_hRenameItem = nullptr;
    m_editRename.hide();
}

void CDbTreeCtrl::ReportSelection(QTreeWidgetItem* item)
{
    if (m_bSelectionReported && item == m_pReportedItem)
        return;
    m_bSelectionReported = true;
    m_pReportedItem = item;
    m_strSentText = item ? platform::FromQString(item->text(0)) : std::wstring();
    platform::SendMessage(g_pMainFrame, UM_TREE_SELECTION, static_cast<WPARAM>(item ? KindOf(item) : -1),
                          reinterpret_cast<LPARAM>(&m_strSentText));
}

void CDbTreeCtrl::CancelRenameWithin(QTreeWidgetItem* item)
{
    for (QTreeWidgetItem* pending = m_hRenameItem; pending; pending = pending->parent())
        if (pending == item) {
            CancelRename();
            return;
        }
}

LRESULT CDbTreeCtrl::OnMessage(UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case UM_TREE_CLICK: OnTreeClick(); break;
    case UM_TREE_DBLCLK: OnTreeDblClk(); break;
    case UM_TREE_LOCK: g_bTreeClickLock = 1; break;
    case UM_TREE_UNLOCK: g_bTreeClickLock = 0; break;
    default: break;
    }
    return 0;
}

LRESULT CDbTreeCtrl::SendToMainFrame(UINT message, const std::wstring* text)
{
    return platform::SendMessage(g_pMainFrame, message, 0, reinterpret_cast<LPARAM>(text));
}

void CDbTreeCtrl::OnTreeClick()
{
    if (m_tree.topLevelItemCount() == 0)
        return;
    // The click that commits a rename is still a click: its selection notice follows.
    if (m_hRenameItem) {
        CommitRename();
        m_bSelectionReported = false;
    }
    QTreeWidgetItem* item = SelectedItem();
    if (!item || item->text(0).isEmpty())
        return;
    ReportSelection(item);
}

LRESULT CDbTreeCtrl::OpenDataWindow(int kind, UINT message, const std::wstring* name)
{
    if (g_pTabulonApp && g_pTabulonApp->ActivateOpenDocument(kind, *name))
        return 0;
    return SendToMainFrame(message, name);
}

void CDbTreeCtrl::OnTreeDblClk()
{
    // As View Data, without its boxes.
    DoObjectCommand(kOpenMessages, nullptr, false);
}

void CDbTreeCtrl::ShowCommandBox(const wchar_t* text)
{
    platform::MessageBox(this, text, STR_PRODUCT_NAME, platform::MB_OK);
}

LRESULT CDbTreeCtrl::DoAdd()
{
    QTreeWidgetItem* item = SelectedItem();
    if (!item)
        return 0;
    switch (static_cast<NodeKind>(KindOf(item))) {
    case NodeKind::TablesFolder: return SendToMainFrame(UM_NEW_TABLE, nullptr);
    case NodeKind::IndexesFolder: return SendToMainFrame(UM_NEW_INDEX, nullptr);
    case NodeKind::TriggersFolder: return SendToMainFrame(UM_NEW_TRIGGER, nullptr);
    case NodeKind::ViewsFolder: return SendToMainFrame(UM_NEW_VIEW, nullptr);
    case NodeKind::FieldsFolder:
        if (!item->parent())
            return 0;
        m_strSentText = platform::FromQString(item->parent()->text(0));
        return SendToMainFrame(UM_NEW_COLUMN, &m_strSentText);
    default: ShowCommandBox(STR_INVALID_OBJECT_COMMAND); return 0;
    }
}

LRESULT CDbTreeCtrl::DoObjectCommand(const ObjectMessages& messages, const wchar_t* emptyNameBox, bool otherKindBox)
{
    QTreeWidgetItem* item = SelectedItem();
    if (!item)
        return 0;
    m_strSentText = platform::FromQString(item->text(0));
    if (emptyNameBox && m_strSentText.empty()) {
        ShowCommandBox(emptyNameBox);
        return 0;
    }
    switch (static_cast<NodeKind>(KindOf(item))) {
    case NodeKind::Table:
        m_strTableName = m_strSentText;
        if (messages.table == UM_OPEN_TABLE_DATA)
            return OpenDataWindow(OpenTableData, UM_OPEN_TABLE_DATA, &m_strTableName);
        return SendToMainFrame(messages.table, &m_strTableName);
    case NodeKind::Index: return SendToMainFrame(messages.index, &m_strSentText);
    case NodeKind::Trigger: return SendToMainFrame(messages.trigger, &m_strSentText);
    case NodeKind::View:
        if (messages.view == UM_OPEN_VIEW_DATA)
            return OpenDataWindow(OpenViewData, UM_OPEN_VIEW_DATA, &m_strSentText);
        return SendToMainFrame(messages.view, &m_strSentText);
    default:
        if (otherKindBox)
            ShowCommandBox(STR_INVALID_OBJECT_COMMAND);
        return 0;
    }
}

LRESULT CDbTreeCtrl::DoDelete()
{
    return DoObjectCommand({UM_DROP_TABLE, UM_DROP_INDEX, UM_DROP_TRIGGER, UM_DROP_VIEW}, nullptr, true);
}

LRESULT CDbTreeCtrl::DoView()
{
    return DoObjectCommand({UM_SHOW_TABLE_SCRIPT, UM_SHOW_INDEX_SCRIPT, UM_SHOW_TRIGGER_SCRIPT, UM_SHOW_VIEW_SCRIPT},
                           STR_EMPTY_NAME_VIEW, true);
}

LRESULT CDbTreeCtrl::DoEdit()
{
    return DoObjectCommand(kOpenMessages, STR_EMPTY_NAME_EDIT, true);
}

void CDbTreeCtrl::OnContextMenu(QPoint point)
{
    if (point == QPoint(-1, -1))
        point = QCursor::pos();
    QTreeWidgetItem* item = m_tree.itemAt(m_tree.viewport()->mapFromGlobal(point));
    if (!item)
        return;
    // Selecting through the menu tells the main frame nothing.
    m_tree.setCurrentItem(item);
    QMenu menu(this);
    struct Entry {
        const wchar_t* text;
        int id;
        void (CDbTreeCtrl::*handler)();
    };
    static const Entry entries[] = {
        {STR_MENU_ADD, ID_ADD, &CDbTreeCtrl::OnAdd},
        {STR_MENU_DELETE, ID_DELETE, &CDbTreeCtrl::OnDelete},
        {STR_MENU_VIEW_SCHEMA, ID_VIEW_SCHEMA, &CDbTreeCtrl::OnViewSchema},
        {STR_MENU_VIEW_DATA, ID_VIEW_DATA, &CDbTreeCtrl::OnViewData},
        {STR_MENU_RENAME, ID_RENAME, &CDbTreeCtrl::OnRename},
    };
    for (const Entry& entry : entries)
        menu.addAction(platform::ToQString(entry.text))->setData(entry.id);
    EnableMenuItems(menu, item);
    QAction* chosen = platform::RunPopupMenu(menu, point);
    if (!chosen || !chosen->isEnabled())
        return;
    for (const Entry& entry : entries)
        if (chosen->data().toInt() == entry.id)
            (this->*entry.handler)();
}

void CDbTreeCtrl::EnableMenuItems(QMenu& menu, QTreeWidgetItem* item)
{
    const ObjectCommands commands = AvailableObjectCommands(KindOf(item));
    for (QAction* action : menu.actions()) {
        switch (action->data().toInt()) {
        case ID_ADD: action->setEnabled(commands.bAdd); break;
        case ID_DELETE: action->setEnabled(commands.bDelete); break;
        case ID_VIEW_SCHEMA: action->setEnabled(commands.bViewSchema); break;
        case ID_VIEW_DATA: action->setEnabled(commands.bViewData); break;
        case ID_RENAME: action->setEnabled(commands.bRename); break;
        default: break;
        }
    }
}

void CDbTreeCtrl::OnAdd()
{
    DoAdd();
}

void CDbTreeCtrl::OnDelete()
{
    if (ConfirmObjectDelete(this))
        DoDelete();
}

void CDbTreeCtrl::OnRename()
{
    StartRename();
}

void CDbTreeCtrl::OnViewData()
{
    DoEdit();
}

void CDbTreeCtrl::OnViewSchema()
{
    DoView();
}

void CDbTreeCtrl::StartRename()
{
    QTreeWidgetItem* item = SelectedItem();
    if (!item)
        return;
    m_hRenameItem = item;
    m_strRenameOld = platform::FromQString(item->text(0));
    m_editRename.setFont(m_tree.font());
    m_editRename.setText(item->text(0));
    // The whole name is selected: typing replaces it.
    m_editRename.selectAll();
    PlaceRenameEdit();
    m_editRename.show();
    m_editRename.raise();
    m_editRename.setFocus();
}

void CDbTreeCtrl::PlaceRenameEdit()
{
    if (m_hRenameItem)
        m_editRename.setGeometry(m_tree.ItemTextRect(m_hRenameItem).adjusted(0, -1, 0, 1));
}

void CDbTreeCtrl::CommitRename()
{
    if (!m_hRenameItem)
        return;
    QTreeWidgetItem* item = m_hRenameItem;
    m_hRenameItem = nullptr;
    const std::wstring newName = platform::FromQString(m_editRename.text());
    // The keyboard goes on in the tree.
    if (m_editRename.hasFocus())
        m_tree.setFocus();
    m_editRename.hide();
    // A blank name is no name: the table keeps its own.
    if (m_editRename.text().trimmed().isEmpty() || newName == m_strRenameOld)
        return;
    // The item bears the new name while the main frame renames the table, so that the
    // tree it brings up to date already shows it; a refused rename gives it back its own.
    const QPersistentModelIndex index(m_tree.indexFromItem(item));
    item->setText(0, platform::ToQString(newName));
    std::vector<std::wstring> names{m_strRenameOld, newName};
    const bool renamed = platform::SendMessage(g_pMainFrame, UM_RENAME_TABLE, 0, reinterpret_cast<LPARAM>(&names)) != 0;
    if (!renamed && index.isValid())
        m_tree.itemFromIndex(index)->setText(0, platform::ToQString(m_strRenameOld));
}
