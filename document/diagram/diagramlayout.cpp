#include "document/diagram/diagramlayout.h"

#include <algorithm>

namespace {

// The right edge just outside a rectangle, as the layout counts extents.
int RightEdge(const QRect& r) { return r.x() + r.width(); }
int BottomEdge(const QRect& r) { return r.y() + r.height(); }

class DiagramPlacer {
public:
    DiagramPlacer(const ForeignKeyMap& map, DiagramLayout& layout)
        : m_map(map)
        , m_layout(layout)
        , m_placed(map.m_arrEntries.size(), false)
    {
        m_layout.m_arrRects.assign(map.m_arrEntries.size(), QRect());
    }

    bool IsPlaced(int entry) const { return m_placed[static_cast<size_t>(entry)]; }

    void PlaceRoot(int root, QRect& cursor)
    {
        m_layout.m_arrRoots.push_back(root);
        m_layout.m_arrRects[static_cast<size_t>(root)] = cursor;
        Place(root);
        m_layout.m_nMaxRight = std::max(m_layout.m_nMaxRight, RightEdge(cursor));
        LayoutChildren(cursor, root);
        cursor = QRect(DIAGRAM_MARGIN, cursor.y() + DIAGRAM_ROW_STEP, DIAGRAM_WIDTH, DIAGRAM_HEIGHT);
    }

private:
    void Place(int entry)
    {
        m_placed[static_cast<size_t>(entry)] = true;
        m_layout.m_arrOrder.push_back(entry);
    }

    // The children of the entry in the row below it, from its left edge; the cursor ends
    // where the next table of that row would go. A child placed already (the table itself,
    // or a table of a cycle) keeps its window.
    void LayoutChildren(QRect& cursor, int entry)
    {
        QRect slot = m_layout.m_arrRects[static_cast<size_t>(entry)].translated(0, DIAGRAM_ROW_STEP);
        for (int child : m_map.m_arrEntries[static_cast<size_t>(entry)].m_arrChildren) {
            if (IsPlaced(child))
                continue;
            m_layout.m_arrRects[static_cast<size_t>(child)] = slot;
            Place(child);
            slot.translate(DIAGRAM_COLUMN_STEP, 0);
            LayoutChildren(slot, child);
            m_layout.m_nMaxRight = std::max(m_layout.m_nMaxRight, RightEdge(slot));
            m_layout.m_nMaxBottom = std::max(m_layout.m_nMaxBottom, BottomEdge(slot));
            cursor = slot;
        }
    }

    const ForeignKeyMap& m_map;
    DiagramLayout& m_layout;
    std::vector<bool> m_placed;
};

} // namespace

DiagramLayout LayoutRelationshipDiagram(const ForeignKeyMap& map)
{
    DiagramLayout layout;
    DiagramPlacer placer(map, layout);
    QRect cursor(DIAGRAM_MARGIN, DIAGRAM_MARGIN, DIAGRAM_FIRST_WIDTH, DIAGRAM_HEIGHT);
    const int count = static_cast<int>(map.m_arrEntries.size());
    for (int i = 0; i < count; ++i)
        if (map.m_arrEntries[static_cast<size_t>(i)].m_strParentTable.empty() && !placer.IsPlaced(i))
            placer.PlaceRoot(i, cursor);
    for (int i = 0; i < count; ++i)
        if (!placer.IsPlaced(i))
            placer.PlaceRoot(i, cursor);
    // The extent reaches one row below the last row used.
    layout.m_nMaxBottom = std::max(layout.m_nMaxBottom, BottomEdge(cursor));
    return layout;
}
