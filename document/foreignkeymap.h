#pragma once
// The foreign-key relations of the open database: one entry per table with its one
// parent table, used by the related-records dialog and the relationship diagram.
#include <QRect>

#include <string>
#include <vector>

class QWidget;

struct ForeignKeyMapEntry {
    std::vector<int> m_arrChildren;                 // entries whose parent is this table, ascending
    std::vector<std::wstring> m_arrForeignKeyColumns; // child-side columns of the key to the parent
    std::vector<std::wstring> m_arrParentColumns;   // parent-side columns, "" for the parent's primary key
    int m_nForeignKeyId = -1;                       // id of that key in "PRAGMA foreign_key_list"
    std::wstring m_strParentTable;                  // empty when the table has no foreign key
    std::wstring m_strTableName;
    QRect m_rcDiagram;                              // the table's window in the diagram
    QWidget* m_pDiagramWnd = nullptr;               // that window; never owned
};

class ForeignKeyMap {
public:
    // The first entry whose table has the name, ASCII letters compared without case
    // as the engine compares names; -1 when none.
    int FindTable(const std::wstring& name) const;

    int m_bIndexed = 0;
    std::vector<ForeignKeyMapEntry> m_arrEntries;
};

// ASCII-case-insensitive equality of two names.
bool SameSqlName(const std::wstring& a, const std::wstring& b);
