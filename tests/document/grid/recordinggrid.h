#pragma once
// A stand-in for the grid that owns the cell editors: it records each cell message and
// each stored cell, and can filter keys the way the grid does (Tab and Enter turned into
// Right, Shift+Tab into Left, with the pending flags set).
#include "document/grid/celleditorowner.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QObject>

#include <functional>
#include <map>
#include <string>
#include <vector>

class RecordingGrid : public CellEditorOwner {
public:
    std::vector<std::string> calls;
    std::map<int, int> valueTypes;    // column -> type code; -1 for any other column
    std::function<void()> onSetCell;  // runs inside SetCell, after the call is recorded
    QWidget* gridWidget = nullptr;    // the grid's window, parent of the editors

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case UM_CELL_LEFT: calls.push_back("left"); break;
        case UM_CELL_RIGHT: calls.push_back("right"); break;
        case UM_CELL_UP: calls.push_back("up"); break;
        case UM_CELL_DOWN: calls.push_back("down"); break;
        case UM_CELL_BUTTON:
            calls.push_back("button " + std::to_string(wParam) + " " + std::to_string(lParam));
            break;
        default: calls.push_back("message " + std::to_string(message)); break;
        }
        return 0;
    }

    int GetValueType(int column) const override
    {
        const auto found = valueTypes.find(column);
        return found == valueTypes.end() ? -1 : found->second;
    }

    void SetCell(int row, int column, const std::wstring& text, bool rowChanged) override
    {
        calls.push_back("set " + std::to_string(row) + " " + std::to_string(column) + " " + testing_support::Utf8(text) +
                        (rowChanged ? " changed" : " same"));
        if (onSetCell)
            onSetCell();
    }

    QWidget* GetGridWidget() const override { return gridWidget; }
};

// The grid's keyboard filter, installed on an editor: Tab and Enter become Right with
// Tab-right pending, Shift+Tab becomes Left with Shift+Tab-left pending.
class GridKeyFilter : public QObject {
public:
    explicit GridKeyFilter(RecordingGrid& grid) : m_grid(grid) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        int turned = 0;
        if (key->key() == Qt::Key_Backtab || (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ShiftModifier))) {
            m_grid.m_bShiftTabLeftPending = true;
            turned = Qt::Key_Left;
        } else if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            m_grid.m_bTabRightPending = true;
            turned = Qt::Key_Right;
        } else {
            return false;
        }
        QKeyEvent replacement(QEvent::KeyPress, turned, Qt::NoModifier);
        QCoreApplication::sendEvent(watched, &replacement);
        return true;
    }

private:
    RecordingGrid& m_grid;
};
