#pragma once
// The receiver of the caption strip's commands: the grid frame of the active datasheet.
// The strip sends the UM_GRID_ messages below; OnMessage hands each to its handler.
#include "data/constants.h"
#include "platform/messagetarget.h"

#include <memory>
#include <string>

// Messages from the caption strip to its target frame.
inline constexpr UINT UM_GRID_SEARCH = WM_USER + 8;          // wParam search type (SEARCH_), lParam const std::wstring* text; TRUE on a hit
inline constexpr UINT UM_GRID_FIND_NEXT = WM_USER + 9;       // 1 when a row was selected
inline constexpr UINT UM_GRID_FIND_PREV = WM_USER + 10;      // 1 when a row was selected
inline constexpr UINT UM_GRID_ADD_ROW = WM_USER + 11;
inline constexpr UINT UM_GRID_DELETE_ROWS = WM_USER + 12;
inline constexpr UINT UM_GRID_REFERENCE_DOWN = WM_USER + 13; // related records in the child tables
inline constexpr UINT UM_GRID_REFERENCE_UP = WM_USER + 14;   // related record in the parent table
inline constexpr UINT UM_GRID_UNDO_ROW = WM_USER + 16;

class CaptionTarget : public platform::MessageTarget {
public:
    CaptionTarget();

    // The UM_GRID_ messages go to the handlers below; any other message gives 0.
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // True when a search hit was selected.
    virtual bool OnGridSearch(int searchType, const std::wstring& text) = 0;
    // True when a row was selected.
    virtual bool OnGridFindNext() = 0;
    virtual bool OnGridFindPrev() = 0;
    virtual void OnGridAddRow() = 0;
    virtual void OnGridDeleteRows() = 0;
    virtual void OnGridReferenceDown() = 0;
    virtual void OnGridReferenceUp() = 0;
    virtual void OnGridUndoRow() = 0;

    // Expires when this target is destroyed, so that whoever holds it never calls a dead frame.
    std::weak_ptr<CaptionTarget*> GetLifetimeToken() const { return m_pSelf; }

private:
    std::shared_ptr<CaptionTarget*> m_pSelf;
};
