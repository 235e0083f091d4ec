#pragma once
// The main frame's object commands: what the workspace tree asks of the frame for one
// database object (drop, rename, and the designers that create objects). They act on
// the open database and keep the tree, the cached name lists and the foreign-key map in
// step; the frame itself stays a window and hands these messages on.
#include "platform/wintypes.h"

#include <string>
#include <vector>

class CDbTreeCtrl;
class CMainFrame;

class CObjectCommands {
public:
    explicit CObjectCommands(CMainFrame& frame);

    // One of the object messages: its handler runs, result gets its answer and the
    // call returns true. Any other message: false, nothing done.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // The designers; the tree gains the object only when the designer created it.
    LRESULT OnNewTable(WPARAM wParam, LPARAM lParam);
    LRESULT OnNewColumn(WPARAM wParam, LPARAM lParam);
    LRESULT OnDropTable(WPARAM wParam, LPARAM lParam);
    LRESULT OnDropIndex(WPARAM wParam, LPARAM lParam);
    LRESULT OnDropTrigger(WPARAM wParam, LPARAM lParam);
    LRESULT OnDropView(WPARAM wParam, LPARAM lParam);
    LRESULT OnRenameTable(WPARAM wParam, LPARAM lParam);
    // The designers: on OK the tree gains the new object.
    LRESULT OnNewIndex(WPARAM wParam, LPARAM lParam);
    LRESULT OnNewTrigger(WPARAM wParam, LPARAM lParam);
    LRESULT OnNewView(WPARAM wParam, LPARAM lParam);
    // The statement viewers and the trigger editor; how they end changes nothing here.
    LRESULT OnShowTableScript(WPARAM wParam, LPARAM lParam);
    LRESULT OnShowIndexScript(WPARAM wParam, LPARAM lParam);
    LRESULT OnShowTriggerScript(WPARAM wParam, LPARAM lParam);
    LRESULT OnShowViewScript(WPARAM wParam, LPARAM lParam);
    LRESULT OnEditTrigger(WPARAM wParam, LPARAM lParam);

    // The one way the workspace learns of a changed schema (a designer's object, a drop,
    // a rename, the console's statements): the name lists and the foreign-key map are
    // read again from the main and the temporary schema, and the tree's folders follow
    // them. The tables named in changedTables show their columns afresh.
    void RefreshSchema(const std::vector<std::wstring>& changedTables = {});

private:
    // The workspace pane's tree; the pane exists once the frame is created.
    CDbTreeCtrl& Tree() const;
    // Drops an index, a trigger or a view; when the engine did, the tree follows.
    void DropObject(const std::wstring& name, bool (*drop)(const std::wstring&));

    CMainFrame& m_frame;
};
