#pragma once
// Where the relationship diagram puts its table windows: every table without a parent
// (a root) in a column at the left, each row 88 pixels below the last row its tree used;
// a table's children in the row below it, 150 pixels apart, each child's own subtree
// below it before its next sibling. The windows of the first root's tree are 140 by 68
// pixels, those of every later tree 150 by 68. Tables the trees leave out (a key to a
// missing table or to the table itself, keys in a cycle) follow as roots of their own
// in map order, so every table has its window.
#include "document/session/foreignkeymap.h"

#include <QRect>

#include <vector>

inline constexpr int DIAGRAM_MARGIN = 10;
inline constexpr int DIAGRAM_COLUMN_STEP = 150;
inline constexpr int DIAGRAM_ROW_STEP = 88;
inline constexpr int DIAGRAM_FIRST_WIDTH = 140;
inline constexpr int DIAGRAM_WIDTH = 150;
inline constexpr int DIAGRAM_HEIGHT = 68;

struct DiagramLayout {
    std::vector<int> m_arrRoots;       // map indices of the roots: the tables without a parent, then the others left out
    std::vector<int> m_arrOrder;       // map indices in the order their windows are made
    std::vector<QRect> m_arrRects;     // by map index: the window's rectangle in client pixels
    int m_nMaxRight = 0;               // right and bottom extent of the layout
    int m_nMaxBottom = 0;
};

DiagramLayout LayoutRelationshipDiagram(const ForeignKeyMap& map);
