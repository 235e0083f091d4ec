#pragma once
// The hidden bridge of a data window: it receives the row loader's progress and the
// model's row-edit state, and passes the grid's sort and search requests to the model.
#include "data/cadbsqlrecset.h"
#include "platform/messagetarget.h"

#include <string>

class CDataAccess;
class DatasheetLines;

// Sent by the model: wParam 1 a row edit began, 0 it ended (undone, or undo is off).
inline constexpr UINT UM_ROW_EDIT_STATE = 0x291D;

class CDataInterface : public platform::MessageTarget {
public:
    CDataInterface() = default;
    // A window closed while its rows still load lifts the loading lock of File > Open.
    // The lines and the model that outlive it let go of it.
    ~CDataInterface() override;

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // direction 1 descending, 2 ascending.
    bool Sort(const std::wstring& column, int direction);
    bool Search(int column, const std::wstring& text, int mode);

    // UM_LOAD_TABLE_DATA: the line count follows the record set's state, so a
    // message of an earlier load (before a re-sort) changes nothing. Once loading has
    // ended the new-row line is added and File > Open is enabled again.
    LRESULT LoadTableData(WPARAM wParam, LPARAM lParam);
    // UM_ROW_EDIT_STATE: Undo on the caption strip follows it.
    LRESULT OnRowEditState(WPARAM wParam, LPARAM lParam);

    // Tells the lines their count from the model: the rows known, plus the new-row line
    // once loading has ended.
    void UpdateItemCount();
    // The model is going: the bridge lets go of it, and a load still running has ended.
    void DetachDataAccess(CDataAccess* model);

    // Each cleared when its object goes first, so a load message queued before then
    // reaches neither.
    DatasheetLines* m_pLines = nullptr; // the document's rows, which every grid over them shows
    CDataAccess* m_pDataAccess = nullptr;

private:
    // Loading has ended for this window: File > Open is enabled again.
    void EndLoading();

    bool m_bLoadEnded = false;
};
