#pragma once
// The object tree of the open database in the workspace pane: the file, its tables
// (each with a folder of its columns), indexes, triggers and views. It turns clicks,
// double-clicks and object commands into requests to the main frame, offers the main
// frame the operations that fill the tree and keep it in step, and renames a table in
// place.
#include "platform/messagetarget.h"

#include <QLineEdit>
#include <QTreeWidget>
#include <QWidget>

#include <string>
#include <vector>

class QMenu;

// The tree's requests to the main frame, sent on the user-interface thread; a name goes
// by pointer (lParam a std::wstring*). The frame's other messages, and the tree's lock,
// are in document/session/cmainframebase.h.
inline constexpr UINT UM_OPEN_TABLE_DATA = WM_USER + 0x03;
inline constexpr UINT UM_OPEN_INDEX = WM_USER + 0x10;
inline constexpr UINT UM_EDIT_TRIGGER = WM_USER + 0x11;
inline constexpr UINT UM_OPEN_VIEW_DATA = WM_USER + 0x12;
inline constexpr UINT UM_TREE_SELECTION = WM_USER + 0x14; // wParam the item's NodeKind
inline constexpr UINT UM_NEW_TABLE = WM_USER + 0x15;
inline constexpr UINT UM_NEW_INDEX = WM_USER + 0x16;
inline constexpr UINT UM_NEW_TRIGGER = WM_USER + 0x17;
inline constexpr UINT UM_NEW_VIEW = WM_USER + 0x18;
inline constexpr UINT UM_DROP_TABLE = WM_USER + 0x19;
inline constexpr UINT UM_DROP_INDEX = WM_USER + 0x1A;
inline constexpr UINT UM_DROP_TRIGGER = WM_USER + 0x1B;
inline constexpr UINT UM_DROP_VIEW = WM_USER + 0x1C;
inline constexpr UINT UM_SHOW_TABLE_SCRIPT = WM_USER + 0x1D;
inline constexpr UINT UM_SHOW_INDEX_SCRIPT = WM_USER + 0x1E;
inline constexpr UINT UM_SHOW_TRIGGER_SCRIPT = WM_USER + 0x1F;
inline constexpr UINT UM_SHOW_VIEW_SCRIPT = WM_USER + 0x20;
inline constexpr UINT UM_NEW_COLUMN = WM_USER + 0x27;
inline constexpr UINT UM_RENAME_TABLE = WM_USER + 0x28; // lParam std::vector<std::wstring>* {old, new}; 1 done

// The tree's own messages, from its control.
inline constexpr UINT UM_TREE_DBLCLK = WM_USER + 0x02;
inline constexpr UINT UM_TREE_CLICK = WM_USER + 0x13;

// The kind of a tree item, kept as its item data.
enum class NodeKind : int {
    DatabaseRoot = 0,
    TablesFolder = 1,
    Table = 2,
    IndexesFolder = 3,
    Index = 4,
    TriggersFolder = 5,
    Trigger = 6,
    ViewsFolder = 7,
    View = 8,
    FieldsFolder = 9,
    Field = 10,
};

// Which object commands an item of a kind offers; the context menu and the workspace
// toolbar enable theirs from this one table.
struct ObjectCommands {
    bool bAdd = false;
    bool bDelete = false;
    bool bViewSchema = false;
    bool bViewData = false;
    bool bRename = false;
};
// Any value outside 0 to 10 offers nothing.
ObjectCommands ObjectCommandsForKind(int kind);
// What an item of the kind offers on the open database: on one that cannot be written
// nothing is added, dropped or renamed.
ObjectCommands AvailableObjectCommands(int kind);

// The tree's texts.
inline constexpr wchar_t STR_TABLE_FOLDER_WORD[] = L"Table";
inline constexpr wchar_t STR_INDEX_FOLDER_WORD[] = L"Index";
inline constexpr wchar_t STR_TRIGGER_FOLDER_WORD[] = L"Trigger";
inline constexpr wchar_t STR_VIEW_FOLDER_WORD[] = L"View";
inline constexpr wchar_t STR_FIELD_FOLDER_WORD[] = L"Field";
inline constexpr wchar_t STR_FOLDER_COUNT_FORMAT[] = L"%s(%d)";
inline constexpr wchar_t STR_INVALID_OBJECT_COMMAND[] = L"Invalid Add Command:CDbTreeCtrl::DoAdd()";
inline constexpr wchar_t STR_EMPTY_NAME_VIEW[] = L"Identifier is empty <CDbTreeCtrl::DoView>";
inline constexpr wchar_t STR_EMPTY_NAME_EDIT[] = L"Identifier is empty <CDbTreeCtrl::DoEdit>";
inline constexpr wchar_t STR_DELETE_CONFIRM[] = L"Click Yes button to proceed.";
inline constexpr wchar_t STR_DELETE_CONFIRM_CAPTION[] = L"Delete Confirmation";
inline constexpr wchar_t STR_MENU_ADD[] = L"Add";
inline constexpr wchar_t STR_MENU_DELETE[] = L"Delete";
inline constexpr wchar_t STR_MENU_VIEW_SCHEMA[] = L"View Schema";
inline constexpr wchar_t STR_MENU_VIEW_DATA[] = L"View Data";
inline constexpr wchar_t STR_MENU_RENAME[] = L"Rename";

// The box before an object is dropped; true for Yes.
bool ConfirmObjectDelete(QWidget* owner);

// While nonzero the tree's clicks select and expand items but send no messages.
extern int g_bTreeClickLock;

// The tree control: it handles each left click and double-click as usual first (the
// selection moves, a double-click expands or collapses) and then tells its
// CDbTreeCtrl, unless clicks are locked.
class CObjectTreeView : public QTreeWidget {
public:
    explicit CObjectTreeView(QWidget* parent);
    // The item's text area, in this control's viewport coordinates.
    QRect ItemTextRect(QTreeWidgetItem* item) const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    // A double-click on an item that opens something (a table) only opens it; on a
    // folder it folds or unfolds as usual.
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Enter opens the current item as a double-click does, Delete drops it as the menu's
    // Delete does, F2 renames it; each only where the item's kind offers the command.
    void keyPressEvent(QKeyEvent* event) override;
};

class CDbTreeCtrl : public QWidget, public platform::MessageTarget {
public:
    static constexpr int TREE_ID = 9007;
    static constexpr int RENAME_EDIT_ID = 100012;
    // Context-menu commands.
    static constexpr int ID_ADD = 32803;
    static constexpr int ID_DELETE = 32799;
    static constexpr int ID_VIEW_SCHEMA = 32800;
    static constexpr int ID_VIEW_DATA = 32801;
    static constexpr int ID_RENAME = 32802;

    // The messages of one object command for a table, an index, a trigger and a view.
    struct ObjectMessages {
        UINT table, index, trigger, view;
    };

    explicit CDbTreeCtrl(QWidget* parent = nullptr);
    ~CDbTreeCtrl() override;

    // Filling, in this order, from the cached name lists of the open database.
    void LoadTables();
    void LoadIndexes();
    void LoadTriggers();
    void LoadViews();

    // Keeping the tree in step after a create, a column add or a drop.
    void AddTable(const std::wstring& name);
    void AddIndex(const std::wstring& name);
    void AddTrigger(const std::wstring& name);
    void AddView(const std::wstring& name);
    void AddField(const std::wstring& table, const std::wstring& column);
    void RemoveTable(const std::wstring& name);
    void RemoveIndex(const std::wstring& name);
    void RemoveTrigger(const std::wstring& name);
    void RemoveView(const std::wstring& name);
    // Brings the four folders to the cached name lists: an item that a list lacks goes
    // (and an item shown twice goes once), a listed name that the tree lacks is appended.
    // The tables named in changedTables show their columns as they are now.
    void FollowNameLists(const std::vector<std::wstring>& changedTables);
    void Clear();

    // Object commands on the selected item (the callers confirm a delete first). Each
    // returns the result of the message it sent, 0 when it sent none.
    LRESULT DoAdd();
    LRESULT DoDelete();
    LRESULT DoView();
    LRESULT DoEdit();

    // UM_TREE_CLICK, UM_TREE_DBLCLK, UM_TREE_LOCK, UM_TREE_UNLOCK.
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnTreeClick();
    void OnTreeDblClk();
    // The menu for the item under the screen point; (-1, -1) stands for the mouse position.
    void OnContextMenu(QPoint point);
    // Enables the menu's five commands for the item's kind.
    void EnableMenuItems(QMenu& menu, QTreeWidgetItem* item);

    // The context menu's commands.
    void OnAdd();
    void OnDelete();
    void OnRename();
    void OnViewData();
    void OnViewSchema();

    // Opens the rename box over the selected item. Enter and the box's losing the focus
    // commit the rename, Escape drops it; the box stays over its item as the tree scrolls.
    void StartRename();
    // Ends a pending rename: the new name goes to the main frame when it differs.
    void CommitRename();

    // The selected item: the tree's current item, however it became current (a click,
    // the keyboard, the context menu); null when none.
    QTreeWidgetItem* SelectedItem() const;
    static int KindOf(const QTreeWidgetItem* item);
    CObjectTreeView* GetTreeView() { return &m_tree; }
    QLineEdit* GetRenameEdit() { return &m_editRename; }
    QTreeWidgetItem* GetRenameItem() const { return m_hRenameItem; }
    // The item of the kind: the start item itself, else among its descendants, depth first.
    QTreeWidgetItem* FindItemByKind(QTreeWidgetItem* start, NodeKind kind) const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Escape in the rename box drops the rename.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTreeWidgetItem* AddItem(QTreeWidgetItem* parent, const std::wstring& text, NodeKind kind, int image);
    void LoadFolder(NodeKind folderKind, const wchar_t* word, int image, const std::vector<std::wstring>& names);
    void AddFieldsFolder(const std::wstring& table, QTreeWidgetItem* tableItem);
    void AddObject(NodeKind folderKind, const wchar_t* word, int image, const std::wstring& name);
    void RemoveObject(NodeKind folderKind, const wchar_t* word, const std::wstring& name);
    void FollowFolder(NodeKind folderKind, const std::vector<std::wstring>& names,
                      void (CDbTreeCtrl::*remove)(const std::wstring&), void (CDbTreeCtrl::*add)(const std::wstring&));
    QTreeWidgetItem* Root() const;
    // The child that bears the name: the equal one, else one equal but for ASCII letter case.
    static QTreeWidgetItem* FindChildByName(QTreeWidgetItem* folder, const std::wstring& name);
    QTreeWidgetItem* FindItemByText(QTreeWidgetItem* folder, const std::wstring& text) const;
    static int CountChildren(const QTreeWidgetItem* item);
    static void UpdateFolderCaption(QTreeWidgetItem* folder, const wchar_t* word);
    // Drops a pending rename of the item or of an item below it.
    void CancelRenameWithin(QTreeWidgetItem* item);
    void CancelRename();
    // Puts the rename box over its item's text, where the item is now.
    void PlaceRenameEdit();
    // Tells the main frame which item is current, once per change (UM_TREE_SELECTION;
    // an empty tree or no current item allows no command).
    void ReportSelection(QTreeWidgetItem* item);
    // The command on the selected object. emptyNameBox: the box for an item without a
    // text, none when null; otherKindBox: whether an item of another kind gets the box.
    LRESULT DoObjectCommand(const ObjectMessages& messages, const wchar_t* emptyNameBox, bool otherKindBox);
    // Activates the open data window of the kind showing the object, or asks the main
    // frame for one with the message.
    LRESULT OpenDataWindow(int kind, UINT message, const std::wstring* name);
    LRESULT SendToMainFrame(UINT message, const std::wstring* text);
    void ShowCommandBox(const wchar_t* text);

    CObjectTreeView m_tree;
    std::wstring m_strRenameOld;
    QLineEdit m_editRename;
    QTreeWidgetItem* m_hRenameItem = nullptr;
    std::wstring m_strTableName; // sent with UM_OPEN_TABLE_DATA and UM_SHOW_TABLE_SCRIPT
    std::wstring m_strSentText;  // every other text the tree sends
    QTreeWidgetItem* m_pReportedItem = nullptr; // the item the main frame heard of last
    bool m_bSelectionReported = false;
};
