#pragma once
// The main frame's object commands: what the workspace tree asks of the frame for one
// database object (drop, rename, and the designers that create objects). They act on
// the open database and keep the tree, the cached name lists and the foreign-key map in
// step; the frame itself stays a window and hands these messages on.
#include "platform/wintypes.h"

#include <functional>
#include <string>
#include <vector>

class CDbTreeCtrl;
class QWidget;

class CObjectCommands {
public:
    // The commands keep `tree` in step and own their dialogs and boxes by `owner`;
    // canCloseWindow is asked before a command closes a data window (false while a
    // report is previewed, having said so).
    CObjectCommands(CDbTreeCtrl& tree, QWidget* owner, std::function<bool()> canCloseWindow);

    // One of the object messages: its handler runs, result gets its answer and the
    // call returns true. Any other message: false, nothing done.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // The one way the workspace learns of a changed schema (a designer's object, a drop,
    // a rename, the console's statements): the name lists and the foreign-key map are
    // read again from the main and the temporary schema, and the tree's folders follow
    // them. The tables named in changedTables show their columns afresh.
    void RefreshSchema(const std::vector<std::wstring>& changedTables = {});

private:
    // The designers; the tree gains the object only when the designer created it.
    LRESULT OnNewTable();
    LRESULT OnNewColumn(std::wstring table);
    LRESULT OnNewIndex();
    LRESULT OnNewTrigger();
    LRESULT OnNewView();
    LRESULT OnDropTable(std::wstring name);
    LRESULT OnRenameTable(const std::vector<std::wstring>& names);
    // Drops an index, a trigger or a view; when the engine did, the tree follows.
    void DropObject(const std::wstring& name, bool (*drop)(const std::wstring&));

    CDbTreeCtrl& m_tree;
    QWidget* m_pOwner;
    std::function<bool()> m_canCloseWindow;
};
