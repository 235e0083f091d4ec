#pragma once
// The workspace pane's "Recent File" tab: one row per entry of the recent-file list as
// it stood when the pane was made. Activating a row opens that file; a file that can
// no longer be read is reported and taken off both lists.
#include "document/grid/clistframe.h"
#include "platform/messagetarget.h"

#include <QWidget>

inline constexpr wchar_t STR_RECENT_FILE_COLUMN[] = L"Recent File";
inline constexpr wchar_t STR_FILE_NOT_EXIST[] = L"<%s> is not exist";
inline constexpr wchar_t STR_FILE_NOT_EXIST_CAPTION[] = L"Nonexistent file";

class CRecentFileWnd : public QWidget, public platform::MessageTarget {
public:
    static constexpr int WINDOW_ID = 9008;
    static constexpr int LIST_ID = 45308;

    // Makes the list and fills it.
    explicit CRecentFileWnd(QWidget* parent = nullptr);
    ~CRecentFileWnd() override;

    // UM_LIST_ROW_ACTIVATE from the list: wParam column, lParam row.
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnRowActivate(int column, int row);

    CListFrame& GetList() { return m_wndList; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void FillList();

    CListFrame m_wndList;
    int m_bFilling = 1; // activations while the list fills open nothing
};
