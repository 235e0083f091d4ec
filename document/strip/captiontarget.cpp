#include "document/strip/captiontarget.h"

CaptionTarget::CaptionTarget()
    : m_pSelf(std::make_shared<CaptionTarget*>(this))
{
}

LRESULT CaptionTarget::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case UM_GRID_SEARCH: {
        const auto* text = reinterpret_cast<const std::wstring*>(lParam);
        return OnGridSearch(static_cast<int>(wParam), text ? *text : std::wstring()) ? 1 : 0;
    }
    case UM_GRID_FIND_NEXT:
        return OnGridFindNext() ? 1 : 0;
    case UM_GRID_FIND_PREV:
        return OnGridFindPrev() ? 1 : 0;
    case UM_GRID_ADD_ROW:
        OnGridAddRow();
        return 0;
    case UM_GRID_DELETE_ROWS:
        OnGridDeleteRows();
        return 0;
    case UM_GRID_REFERENCE_DOWN:
        OnGridReferenceDown();
        return 0;
    case UM_GRID_REFERENCE_UP:
        OnGridReferenceUp();
        return 0;
    case UM_GRID_UNDO_ROW:
        OnGridUndoRow();
        return 0;
    default:
        return 0;
    }
}
